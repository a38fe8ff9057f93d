#pragma once
// Adoption of a loaded data set: the staged copy from a data file or a radio becomes the working one.
#include "base/Messenger.h"
#include "model/Document.h"

namespace velora {

enum class LoadOrigin { File, Radio };

// Warnings of the adoption beyond the narrow-band ones (553, 554).
inline constexpr int kTextNoApplicationTag = 214; // the data set was replaced by defaults
inline constexpr int kTextChannelsTrimmed = 215;  // format with %d: channels removed for normal mode
inline constexpr int kTextTablesRebuilt = 221;    // inconsistent channel tables were rebuilt

// What the adoption did, for callers that want to tell more than the messages already did.
struct AdoptResult {
    bool reinitialised = false; // no application tag: replaced by the defaults of its model
    bool tablesRebuilt = false; // channel tables broke their invariants and were rebuilt
    int channelsTrimmed = 0;    // channels removed to fit the normal capacity
    bool narrowed = false;      // wide channels in the narrow-band ranges were made narrow
};

// Turns the staged data set into the working one: copy, repair, capacity check, narrow-band check,
// mark saved. Warnings go through the message boxes.
AdoptResult adoptLoadedDataSet(Document& doc, LoadOrigin origin, MessageBoxes& boxes);

} // namespace velora
