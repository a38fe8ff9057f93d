#pragma once
// Default initialisation and adoption of a loaded data set.
#include "app/Messenger.h"
#include "model/Document.h"

namespace velora {

enum class LoadOrigin { File, Radio };

// Writes the complete default data set into the working copy, which the caller has reset.
// defaultModel: take the catalogue's default model identification first; startup: the start-up variant.
void defaultInitialise(Document& doc, bool defaultModel, bool startup);

// Turns the staged data set into the working one: copy, repair, capacity check, narrow-band check,
// mark saved. Warnings go through the message boxes.
void adoptLoadedDataSet(Document& doc, LoadOrigin origin, MessageBoxes& boxes);

} // namespace velora
