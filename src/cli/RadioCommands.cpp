// velora-cli read / write.
#include "CliArgs.h"
#include "CliSession.h"

namespace velora::cli {

int cmdRead(CliSession&, const std::vector<std::string>&) {
    printError("read: not available yet");
    return kExitFailure;
}

int cmdWrite(CliSession&, const std::vector<std::string>&) {
    printError("write: not available yet");
    return kExitFailure;
}

} // namespace velora::cli
