#pragma once
// Checks the working copy for settings that lack the values they need before anything is sent to
// the radio. A radio given such a data set would act on references to nothing.
#include <vector>

#include "base/Messenger.h"
#include "base/TextSource.h"
#include "model/Document.h"

namespace velora::comm {

inline constexpr int kTextOstWithoutTone = 176;
inline constexpr int kTextIncompleteHeading = 173;

struct PreWriteFindings {
    bool ostWithoutTone = false; // an operator-selectable tone has a name but no tones
    std::vector<int> incomplete; // language texts naming each incomplete setting, in check order
    bool ok() const { return !ostWithoutTone && incomplete.empty(); }
};

PreWriteFindings checkBeforeWrite(Document& doc, const TextSource& texts);

// Shows the findings (text 176 alone, or text 173 with the list) and returns true when the write
// may go on.
bool runPreWriteCheck(Document& doc, const TextSource& texts, Messenger& messenger);

} // namespace velora::comm
