#include "dataset/PreWriteCheck.h"

#include <algorithm>
#include <string>

#include "channels/ChannelLayout.h"
#include "channels/ChannelListPlacement.h"
#include "channels/ChannelStore.h"
#include "channels/KeyTables.h"
#include "features/DravixFrames.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

namespace velora::comm {

namespace {

constexpr Byte kUnset = 0xFF;
constexpr std::uint16_t kUnsetWord = 0xFFFF;

// Main-area bytes the checks read (beyond those named in the shared layouts).
constexpr std::size_t kOstEntrySize = 4; // two tone words per operator-selectable tone
constexpr int kOstEntries = 16;
constexpr std::size_t kDisconnectIdLength = layout::kPttIdLengths + 1;
constexpr std::size_t kPttIdModeByte = 0x36;
constexpr std::size_t kPttIdBothByte = 0x37; // non-zero: both IDs are sent
constexpr std::size_t kDravixOwnFleet = layout::kDravix + 3;
constexpr std::size_t kDravixOwnId = layout::kDravix + 4;
constexpr std::size_t kEmergencyMode = layout::kEmergency;
constexpr std::size_t kEmergencyDtmfId = 0x3AA0;
constexpr int kOutputFunctionsChecked = 3;

// Language texts of the incomplete settings.
constexpr int kTextPriority1 = 435;
constexpr int kTextPriority2 = 436;
constexpr int kTextEmergencyChannel = 384;
constexpr int kTextHomeChannel = 383;
constexpr int kTextDravixFleet = 479;
constexpr int kTextDravixId = 480;
constexpr int kTextEmergencyFleet = 458;
constexpr int kTextEmergencyId = 459;
constexpr int kTextEmergencyDtmfId = 457;
constexpr int kTextConnectId = 431;
constexpr int kTextDisconnectId = 432;
constexpr int kTextFunctionPortOutput = 174;
constexpr int kTextFunctionPortInput = 175;
constexpr int kTextRemoteList = 254;
constexpr int kTextRepeaterList = 255;

// A reference is incomplete when it applies but is not fully set, or its group is set without channel.
bool referenceIncomplete(std::span<const Byte> m, bool applies, std::size_t at) {
    const bool groupSet = byteAt(m, at) != kUnset;
    const bool channelSet = byteAt(m, at + 1) != kUnset;
    return (applies && (!groupSet || !channelSet)) || (groupSet && !channelSet);
}

bool zeroOrUnset(Byte b) {
    return b == 0 || b == kUnset;
}

// An entry (group + 1, channel + 1) that names an existing channel.
bool namesChannel(const ChannelStore& store, Byte groupPlus1, Byte channelPlus1) {
    if (groupPlus1 == kUnset || channelPlus1 == kUnset || groupPlus1 == 0 || channelPlus1 == 0) return false;
    return store.channelExists(groupPlus1 - 1, channelPlus1 - 1);
}

} // namespace

PreWriteFindings checkBeforeWrite(Document& doc, const TextSource& texts) {
    PreWriteFindings f;
    const auto m = doc.image().main();
    const auto ext = doc.image().ext();

    for (int i = 0; i < kOstEntries; ++i) {
        const auto name =
            ext.subspan(layout::kOstNames + layout::kNameRecordSize * i, layout::kNameRecordSize);
        const bool named = std::any_of(name.begin(), name.end(), [](Byte b) { return b != kUnset; });
        const std::size_t entry = layout::kOstTable + kOstEntrySize * i;
        if (named && le16(m, entry) == kUnsetWord && le16(m, entry + 2) == kUnsetWord) {
            f.ostWithoutTone = true;
            return f;
        }
    }

    auto add = [&](bool failing, int text) {
        if (failing) f.incomplete.push_back(text);
    };
    add(referenceIncomplete(m, byteAt(m, chlayout::kCsPriority1Mode) == 1,
                            referenceOffset(ReferenceKind::Priority1)),
        kTextPriority1);
    add(referenceIncomplete(m, byteAt(m, chlayout::kCsPriority2Mode) == 1,
                            referenceOffset(ReferenceKind::Priority2)),
        kTextPriority2);
    add(referenceIncomplete(m, keys::emergencyFunctionAssigned(m), referenceOffset(ReferenceKind::Emergency)),
        kTextEmergencyChannel);
    // The same rule the editors enable the home fields by: a write is never blocked over a home
    // channel the user has no field to set.
    const bool homeUsed = keys::homeFunctionAssigned(m, keys::headSetupOf(identificationOf(doc.image())));
    add(referenceIncomplete(m, homeUsed, referenceOffset(ReferenceKind::Home)), kTextHomeChannel);

    const Byte emergencyMode = byteAt(m, kEmergencyMode);
    const Byte pttIdMode = byteAt(m, layout::kCsOptionBoardMode);
    const bool dravixUsed = emergencyMode == 1 || pttIdMode == 1;
    add(dravixUsed && byteAt(m, kDravixOwnFleet) == kUnset, kTextDravixFleet);
    add(dravixUsed && le16(m, kDravixOwnId) == kUnsetWord, kTextDravixId);
    add(emergencyMode == 1 && byteAt(m, dravix::kEmergencyFleet) == kUnset, kTextEmergencyFleet);
    add(emergencyMode == 1 && le16(m, dravix::kEmergencyId) == kUnsetWord, kTextEmergencyId);
    add(emergencyMode == 0 && byteAt(m, kEmergencyDtmfId) == kUnset, kTextEmergencyDtmfId);

    const int idMode = byteAt(m, kPttIdBothByte) != 0 ? 3 : byteAt(m, kPttIdModeByte);
    add(pttIdMode == 0 && (idMode == 1 || idMode == 3) && zeroOrUnset(byteAt(m, layout::kPttIdLengths)),
        kTextConnectId);
    add(pttIdMode == 0 && (idMode == 2 || idMode == 3) && zeroOrUnset(byteAt(m, kDisconnectIdLength)),
        kTextDisconnectId);

    bool outputMissing = false;
    for (int n = 0; n < kOutputFunctionsChecked; ++n)
        outputMissing = outputMissing || (keys::findKeyWithFunction(m, static_cast<Byte>(n)) &&
                                          byteAt(m, layout::kFunctionPortPins + n) == kUnset);
    add(outputMissing, kTextFunctionPortOutput);

    const int remoteSize = channels::remoteListSize(doc);
    add(remoteSize < 0, kTextFunctionPortInput);

    const ChannelStore store(doc, texts);
    bool remoteBad = false;
    for (int i = 0; i < chlayout::kRemoteEntries; ++i) {
        const Byte g = byteAt(m, layout::kRemoteList + 2 * i);
        const Byte c = byteAt(m, layout::kRemoteList + 2 * i + 1);
        if (g == kUnset && c == kUnset) continue;
        // An undefined size is reported on its own above; the entries are still checked for sense.
        const bool beyond = remoteSize >= 0 && i >= remoteSize;
        remoteBad = remoteBad || beyond || !namesChannel(store, g, c);
    }
    add(remoteBad, kTextRemoteList);

    if (identificationOf(doc.image()).isDualBand()) {
        const std::size_t r = chlayout::kCsRepeaterList;
        const Byte g0 = byteAt(m, r), c0 = byteAt(m, r + 1), g1 = byteAt(m, r + 2), c1 = byteAt(m, r + 3);
        if (g0 != kUnset || g1 != kUnset) {
            add(!namesChannel(store, g0, c0) || !namesChannel(store, g1, c1) ||
                    channels::sameRadioUnit(store, g0 - 1, c0 - 1, g1 - 1, c1 - 1),
                kTextRepeaterList);
        }
    }
    return f;
}

bool runPreWriteCheck(Document& doc, const TextSource& texts, Messenger& messenger) {
    const PreWriteFindings f = checkBeforeWrite(doc, texts);
    if (f.ok()) return true;
    Message msg;
    msg.caption = std::string(texts.text(MessageBoxes::kCaptionError));
    msg.icon = MsgIcon::Error;
    if (f.ostWithoutTone) {
        msg.textId = kTextOstWithoutTone;
        msg.text = std::string(texts.text(kTextOstWithoutTone));
    } else {
        msg.text = std::string(texts.text(kTextIncompleteHeading)) + "\n\n";
        for (int t : f.incomplete)
            msg.text += "\"" + std::string(texts.text(t)) + "\"\n";
    }
    messenger.show(msg);
    return false;
}

} // namespace velora::comm
