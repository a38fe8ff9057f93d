#pragma once
// Default initialisation of a data set, and the model fields every data set must keep consistent.
#include <span>

#include "model/Bytes.h"
#include "model/Document.h"

namespace velora {

// Writes the complete default data set into the working copy, which the caller has reset.
// defaultModel: take the catalogue's default model identification first; startup: the start-up variant.
void defaultInitialise(Document& doc, bool defaultModel, bool startup);

// Whether a main area carries the application tag "VELORA" at its fixed place.
bool hasApplicationTag(std::span<const Byte> mainArea);

// Brings a data set's model-dependent fields in line with its identification: the codec's band
// limits, unset bytes derived from their selectors, and no band bits in a dual-band configuration word.
void normaliseModelFields(Document& doc);

} // namespace velora
