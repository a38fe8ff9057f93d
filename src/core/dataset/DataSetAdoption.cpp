#include "dataset/DataSetAdoption.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "channels/ChannelStore.h"
#include "dataset/DataSetInit.h"
#include "features/DravixFrames.h"
#include "features/KeyAssignment.h"
#include "features/KeyDefaults.h"
#include "model/FrequencyCodec.h"
#include "model/ModelCatalogue.h"
#include "model/TestFrequency.h"

namespace velora {

namespace {

// Common settings block bytes that only the extended mode uses in full (offsets in the block).
constexpr std::size_t kCsOstBackUp = 0x19;      // values above 1 exist only in the extended mode
constexpr std::size_t kCsOstNameDisplay = 0x1D; // shown only in the extended mode

constexpr std::array<Byte, 3> kExtendedOnlyKeyFunctions{keys::kFunctionExtended3, keys::kFunctionExtended2,
                                                        keys::kFunctionExtended1};

// Normal mode has no use for the extended-only key functions and settings.
void withdrawExtendedFeatures(std::span<Byte> main, const ModelIdentification& id) {
    keys::HeadSetup heads = keys::headSetupOf(id);
    for (auto code : kExtendedOnlyKeyFunctions)
        keys::resetKeysWithFunction(main, code, heads, keys::KeyScope::BothTables);
    setByte(main, kCsOstBackUp, std::min<Byte>(byteAt(main, kCsOstBackUp), 1));
    if (byteAt(main, kCsOstNameDisplay) == 1) setByte(main, kCsOstNameDisplay, 0);
}

void warnChannelsTrimmed(MessageBoxes& boxes, int removed) {
    Message m;
    m.textId = kTextChannelsTrimmed;
    m.text = formatText(boxes.text(kTextChannelsTrimmed), {std::to_string(removed)});
    m.caption = boxes.text(MessageBoxes::kCaptionWarning);
    m.buttons = MsgButtons::Ok;
    m.icon = MsgIcon::Warning;
    boxes.show(m);
}

void setIfUnset(std::span<Byte> main, std::size_t off, Byte v) {
    if (byteAt(main, off) == 0xFF) setByte(main, off, v);
}

} // namespace

AdoptResult adoptLoadedDataSet(Document& doc, LoadOrigin origin, MessageBoxes& boxes) {
    AdoptResult result;
    MemoryImage& image = doc.image();
    image.adoptStaged();
    setIfUnset(image.main(), layout::kCsNoiseBlanker, 0);

    if (!hasApplicationTag(image.main())) {
        // Foreign data cannot be trusted byte by byte; only the model it names is kept.
        image.resetKeepingIdentification();
        if (origin == LoadOrigin::Radio) doc.setFileName(std::string(layout::kDefaultFileName));
        defaultInitialise(doc, false, false);
        result.reinitialised = true;
        boxes.warning(kTextNoApplicationTag);
    }
    auto main = image.main();
    setIfUnset(main, kCsOstNameDisplay, 0);

    if (origin == LoadOrigin::Radio && identificationOf(image).isDualBand())
        ensureTestFrequencies(image, kModel2, doc.codec());

    // The prepared frames carry the fleet and IDs the data set holds now, whatever program or hand
    // changed them since the frames were built.
    dravix::repairBlock(main);
    dravix::buildEmergencyFrame(main);

    ChannelStore store(doc, boxes.texts());
    // Trimming and every later channel operation rely on sound tables; repair them first, and only
    // when they are broken, so a consistent data set stays as it was.
    if (!store.validateTables()) {
        store.rebuildTables();
        result.tablesRebuilt = true;
        boxes.warning(kTextTablesRebuilt);
    }

    if (!doc.options().extended) withdrawExtendedFeatures(main, identificationOf(image));
    result.channelsTrimmed = store.adjustForCapacity();
    if (result.channelsTrimmed > 0) warnChannelsTrimmed(boxes, result.channelsTrimmed);

    store.padNames();
    normaliseModelFields(doc);
    result.narrowed = store.checkAllNarrowband(origin == LoadOrigin::File, &boxes);

    image.markSaved();
    if (origin == LoadOrigin::Radio) doc.setFileName(std::string(layout::kDefaultFileName));
    return result;
}

} // namespace velora
