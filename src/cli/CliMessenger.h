#pragma once
#include <string>

#include "base/Messenger.h"

namespace velora::cli {

// Messages become lines on stderr; questions take the answer that lets a script go on
// (or the one set beforehand), since nobody is there to click.
class CliMessenger : public Messenger {
  public:
    MsgAnswer show(const Message& m) override;
    std::string context; // prefixed to every line, e.g. "line 12"
    int warnings = 0;
    int errors = 0;
};

} // namespace velora::cli
