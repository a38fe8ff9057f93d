#pragma once
// Placeholder until the codec lands: the class the document owns.
namespace velora {
class FrequencyCodec {};
} // namespace velora
