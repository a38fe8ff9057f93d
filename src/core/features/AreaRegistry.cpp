#include "features/AreaRegistry.h"

#include "features/ChannelLists.h"
#include "features/Dravix.h"
#include "features/Dtmf.h"
#include "features/EmbeddedMessage.h"
#include "features/Emergency.h"
#include "features/FunctionPort.h"
#include "features/KeyAssignment.h"
#include "features/OperatorTone.h"
#include "features/OptionalFeatures.h"
#include "features/ScanInfo.h"
#include "features/TestFrequencyArea.h"
#include "features/TwoTone.h"

namespace velora::forms {

namespace {

template <typename Area> std::unique_ptr<FeatureArea> makeWithStore(AreaServices& s) {
    return std::make_unique<Area>(s.store, s.boxes);
}
template <typename Area> std::unique_ptr<FeatureArea> makeWithDocument(AreaServices& s) {
    return std::make_unique<Area>(s.doc, s.boxes);
}
template <typename Area> std::string keyOf(int page, int field) {
    return std::string(Area::fieldKey(page, field));
}

// The knob of each head's page; the keys themselves are grid cells.
std::string keysKey(int page, int field) {
    return field == keys::KeyAssignmentArea::kKnob ? std::to_string(page + 1) + ".knob" : std::string{};
}
std::string noKey(int, int) {
    return {};
}

constexpr AreaInfo kAreas[] = {
    {"keys", makeWithDocument<keys::KeyAssignmentArea>, keysKey, keys::kControlGrid},
    {"scan", makeWithStore<ScanInfoArea>, keyOf<ScanInfoArea>},
    {"function_port", makeWithDocument<port::FunctionPortArea>, noKey, port::kControlList},
    {"message", makeWithDocument<EmbeddedMessageArea>, keyOf<EmbeddedMessageArea>},
    {"options", makeWithStore<OptionalFeaturesArea>, keyOf<OptionalFeaturesArea>},
    {"two_tone", makeWithDocument<TwoToneArea>, keyOf<TwoToneArea>},
    {"dtmf", makeWithDocument<DtmfArea>, keyOf<DtmfArea>, dtmf::kControlGrid},
    {"dravix", makeWithDocument<DravixArea>, keyOf<DravixArea>},
    {"emergency", makeWithStore<EmergencyArea>, keyOf<EmergencyArea>},
    {"ost", makeWithDocument<OperatorToneArea>, keyOf<OperatorToneArea>, ost::kControlGrid},
    {"remote_list", makeWithStore<RemoteListArea>, noKey, chlists::kRemoteEditor},
    {"repeater_list", makeWithStore<RepeaterListArea>, noKey, chlists::kRepeaterEditor},
    {"test_frequency", makeWithDocument<TestFrequencyArea>, noKey, testfreq::kControlGrid},
};

} // namespace

std::span<const AreaInfo> registeredAreas() {
    return kAreas;
}

const AreaInfo* findArea(std::string_view name) {
    for (const AreaInfo& a : kAreas)
        if (a.name == name) return &a;
    return nullptr;
}

} // namespace velora::forms
