#include "dataset/ModelInfoApply.h"

#include <algorithm>

#include "channels/ChannelLayout.h"
#include "channels/ChannelStore.h"
#include "dataset/DataSetInit.h"
#include "features/KeyAssignment.h"
#include "features/KeyDefaults.h"
#include "model/FunctionPins.h"

namespace velora {

namespace {

constexpr int kTextFreshDataSet = 219;
constexpr int kTextHeadCount = 242;
constexpr int kTextHeadType = 226;

// Function-port bytes as the model change sees them: the function of each pin and the pin of each
// function of the second port kind.
constexpr std::size_t kPinFunctions = layout::kFunctionPort;
constexpr std::size_t kPinFunctionCount = pins::kInputPins;
constexpr std::size_t kFunctionPins = layout::kFunctionPortPins;
constexpr std::size_t kFunctionPinCount = 5;
constexpr Byte kPortFunctionSecondUnit = 9; // a pin function that needs the second radio unit

// Key functions withdrawn when the hardware for them is gone.
constexpr Byte kKeyNotWithKind1Board = 2;
constexpr Byte kKeyKind1Board = 24;
constexpr Byte kKeySecondUnit = 21;
constexpr Byte kKeySecondHead1 = 20;
constexpr Byte kKeySecondHead2 = 27;

constexpr std::size_t kEmergencyMode = layout::kEmergency; // emergency byte 0
constexpr Byte kEmergencyModeWithBoard = 2;
constexpr Byte kBoardModeKind2 = 2;
constexpr std::size_t kShortPowerOnText = 8;

bool secondTypeInUse(const ModelConfig& c) {
    return c.head1Type == 1 || (c.dualHead && c.head2Type == 1);
}

} // namespace

// ---- Meaning of a change -------------------------------------------------------------------------

ModelChangePlan planModelChange(const ModelIdentification& cur, const ModelConfig& c,
                                const TextSource& texts) {
    ModelChangePlan plan;
    int curModel1 = static_cast<int>(cur.modelIndex(kModel1).value_or(-1));
    int curModel2 = modelOfGroup(cur.bandGroup(kModel2));
    bool headCountDiffers = c.dualHead != cur.isDualHead();

    if (c.model1 != curModel1 || c.dualBand != cur.isDualBand()) {
        plan.kind = kModelChangeReinitialise;
        if (headCountDiffers) plan.kind |= kModelChangeHeadType;
        plan.question = texts.text(kTextFreshDataSet);
    } else if (c.dualBand && c.model2 != curModel2) {
        plan.kind = kModelChangeReinitialise;
        plan.question = texts.text(kTextFreshDataSet);
    } else if (headCountDiffers) {
        plan.kind = kModelChangeHeadCount;
        plan.question = texts.text(kTextHeadCount);
    }

    // Head 2's type counts when head 2 is fitted after the change; a head that was not fitted had
    // the first type's keys. Removing head 2 resets its keys with the head count anyway.
    const int curHead2Type = cur.isDualHead() ? cur.headType(kHead2) : 0;
    bool head2Differs = c.dualHead && c.head2Type != curHead2Type;
    if (c.head1Type != cur.headType(kHead1) || head2Differs) {
        if (plan.kind & kModelChangeHeadCount) plan.question += '\n';
        plan.question += texts.text(kTextHeadType);
        plan.kind |= kModelChangeHeadType;
    }
    return plan;
}

// ---- Applying ------------------------------------------------------------------------------------

ModelApplyResult applyModelChange(Document& doc, const TextSource& texts, const ModelConfig& c,
                                  unsigned kind) {
    auto& image = doc.image();
    const ModelIdentification before = identificationOf(image);
    const bool reinit = (kind & kModelChangeReinitialise) != 0;
    const bool headType = (kind & kModelChangeHeadType) != 0;

    if (reinit) {
        image.resetKeepingIdentification();
        defaultInitialise(doc, false, false);
    }

    // Head configuration.
    auto main = image.main();
    ModelIdentification id = identificationOf(image);
    id.setHeadType(kHead1, c.head1Type);
    id.setHeadType(kHead2, c.dualHead ? c.head2Type : 0);
    bool secondBefore = before.secondTypeHeadInUse();
    bool secondAfter = secondTypeInUse(c);
    if (secondAfter && !secondBefore) setByte(main, layout::kCsChannelNameLength, 14);
    if (!secondAfter && secondBefore) setByte(main, layout::kCsChannelNameLength, 8);
    if (c.dualHead != before.isDualHead()) keys::resetHead(main, kHead2, false);

    // Models, bands and the number of heads and units.
    id.setModelCode(static_cast<std::size_t>(c.model1));
    id.setDualHead(c.dualHead);
    id.setDualBand(c.dualBand);
    id.setBandCode(kModel1, static_cast<std::uint8_t>(c.band1));
    id.setBandCode(kModel2, c.dualBand ? static_cast<std::uint8_t>(c.band2) : kNoModel2Band);
    setIdentification(image, id);

    if (reinit) {
        defaultInitialise(doc, false, false);
        if (headType) keys::resetHead(main, kHead2, false);
    } else if (kind == kModelChangeHeadCount) {
        // With a head type change as well, the port stays: the later pin checks drop what is gone.
        fill(main, kPinFunctions, kPinFunctionCount, 0xFF);
        fill(main, kFunctionPins, kFunctionPinCount, 0xFF);
    }
    id = identificationOf(image);

    if (headType) {
        keys::resetHead(main, kHead1, id.headType(kHead1) == 1);
        keys::resetHead(main, kHead2, c.dualHead && id.headType(kHead2) == 1);
    }

    // Option boards.
    bool kind2After = c.board1 == 2 || (c.dualBand && c.board2 == 2);
    if (kind2After && !before.hasOptionBoard(2)) setByte(main, layout::kCsOptionBoardMode, kBoardModeKind2);
    if (!kind2After && byteAt(main, layout::kCsOptionBoardMode) == kBoardModeKind2)
        setByte(main, layout::kCsOptionBoardMode, 0);
    id.setOptionBoard(kModel1, std::max(c.board1, 0));
    if (c.dualBand) id.setOptionBoard(kModel2, std::max(c.board2, 0));
    setIdentification(image, id);

    // Key functions the new hardware cannot use.
    const keys::HeadSetup heads = keys::headSetupOf(id);
    keys::resetKeysWithFunction(main, id.hasOptionBoard(1) ? kKeyNotWithKind1Board : kKeyKind1Board, heads);
    if (!c.dualBand) keys::resetKeysWithFunction(main, kKeySecondUnit, heads);
    if (!c.dualHead) {
        keys::resetKeysWithFunction(main, kKeySecondHead1, heads);
        keys::resetKeysWithFunction(main, kKeySecondHead2, heads);
    }
    if (!id.hasOptionBoard(2) && byteAt(main, kEmergencyMode) == kEmergencyModeWithBoard)
        setByte(main, kEmergencyMode, 0xFF);

    // PTT ID needs a kind-2 board on the channel's own radio unit.
    ChannelStore store(doc, texts);
    store.clearPttIdWithoutOption();

    // Only the 14-character display shows more than 8 characters of the power-on text. An unset
    // tail stays unset, so a data set without such text is not changed by any model change.
    if (!id.secondTypeHeadInUse()) {
        bool longText = false;
        for (std::size_t i = kShortPowerOnText; i < layout::kPowerOnTextSize; ++i) {
            Byte b = byteAt(main, layout::kPowerOnText + i);
            if (b != ' ' && b != 0xFF) longText = true;
        }
        if (longText)
            fill(main, layout::kPowerOnText + kShortPowerOnText, layout::kPowerOnTextSize - kShortPowerOnText,
                 ' ');
    }

    // Function-port assignments for a unit or head that is gone.
    for (std::size_t i = 0; i < kPinFunctionCount; ++i)
        if (!c.dualBand && byteAt(main, kPinFunctions + i) == kPortFunctionSecondUnit)
            setByte(main, kPinFunctions + i, 0xFF);
    for (std::size_t i = 0; i < kFunctionPinCount; ++i) {
        Byte pin = byteAt(main, kFunctionPins + i);
        if (pin == 0xFF) continue;
        if (!pins::outputPinExists(pin, {c.dualHead, c.dualBand})) setByte(main, kFunctionPins + i, 0xFF);
    }

    // Special channel references whose key or port function is gone.
    if (!store.referenceApplies(ReferenceKind::Home))
        fill(main, referenceOffset(ReferenceKind::Home), chlayout::kEntrySize, 0xFF);
    if (!store.referenceApplies(ReferenceKind::Emergency))
        fill(main, referenceOffset(ReferenceKind::Emergency), chlayout::kEntrySize, 0xFF);

    doc.codec().loadBandLimits(id);

    ModelApplyResult result;
    result.kind = kind;
    if (kind != kModelChangeNone) {
        doc.setFileName(std::string(layout::kDefaultFileName));
        result.discardClipboard = true;
    }
    if (reinit) image.markSaved();
    return result;
}

ModelOkOutcome confirmModelChange(Document& doc, MessageBoxes& boxes, const ModelConfig& chosen,
                                  ModelChangeHost& host, ModelApplyResult* result) {
    auto plan = planModelChange(identificationOf(doc.image()), chosen, boxes.texts());
    if (!plan.question.empty()) {
        // Starting afresh loses every setting, so a hasty Enter must not do it.
        const bool defaultCancel = (plan.kind & kModelChangeReinitialise) != 0;
        if (boxes.questionText(plan.question, MsgButtons::OkCancel, defaultCancel) != MsgAnswer::Ok)
            return ModelOkOutcome::Cancelled;
    }
    // A fresh data set replaces the current one, so unsaved edits are offered for saving first.
    if ((plan.kind & kModelChangeReinitialise) && !host.confirmDiscard()) return ModelOkOutcome::Cancelled;
    host.closeAllEditors();
    auto r = applyModelChange(doc, boxes.texts(), chosen, plan.kind);
    if (result) *result = r;
    return ModelOkOutcome::Applied;
}

} // namespace velora
