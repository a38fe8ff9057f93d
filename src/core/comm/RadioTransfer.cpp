#include "comm/RadioTransfer.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "comm/SerialPort.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"

namespace velora::comm {

namespace {

constexpr int kCaptionError = MessageBoxes::kCaptionError;
constexpr int kCaptionQuestion = MessageBoxes::kCaptionQuestion;
constexpr Byte kVersionBits = 0xF0;
constexpr std::size_t kIdConfigLow = layout::kModelId + ModelIdentification::kConfigWord;
constexpr std::size_t kIdModel2Flags = layout::kModelId + ModelIdentification::kModel2Flags;

// Version warning: language texts in the order they are shown.
constexpr int kTextVersionIntro = 230;
constexpr int kTextVersionOst = 231; // only below version 4
constexpr int kTextVersionDravix = 232;
constexpr int kTextVersionTimedOff = 233;
constexpr int kTextVersionFuncPort = 234;
constexpr int kTextVersionBeatShift = 235; // only at version 0
constexpr int kTextVersionScrambler = 236;
constexpr int kTextOptionalFeatures = 245;
constexpr int kTextChannelInformation = 256;
constexpr int kTextCompander = 380; // only at version 0
constexpr int kTextPowerOnText = 402;
constexpr int kVersionWithoutOst = 4;

// A data set on its way to the radio carries no version bits in its model identification and
// names the format version it was written in.
void markForRadio(ImageCopy& copy) {
    copy.main[kIdConfigLow] &= static_cast<Byte>(~kVersionBits);
    copy.main[kIdModel2Flags] &= static_cast<Byte>(~kVersionBits);
    putText(copy.main, layout::kFormatVersion, layout::kVersionText);
}

std::uint16_t blockAddress(std::size_t n) {
    return static_cast<std::uint16_t>(kMainBlockBase + n);
}

} // namespace

std::string unitName(Byte selector) {
    switch (selector) {
    case kSelectorDeck1:
        return "deck 1";
    case kSelectorDeck2:
        return "deck 2";
    case kSelectorHead1:
        return "head 1";
    case kSelectorHead2:
        return "head 2";
    default:
        return "radio";
    }
}

std::string describe(const TransferOutcome& o) {
    const std::string code = " (status " + std::to_string(static_cast<int>(o.status)) + ")";
    switch (o.stage) {
    case TransferStage::None:
        return o.ok() ? "done" : "failed";
    case TransferStage::OpenPort:
        return "the port cannot be opened: " + o.port.message;
    case TransferStage::ProgramMode:
        return "the radio did not answer PROGRAM at any rate";
    case TransferStage::Identification:
        return "the radio did not send its identification";
    case TransferStage::UnknownModel:
        return "the radio's model or band is not supported";
    case TransferStage::OldVersion:
        return "cancelled at the radio version warning";
    case TransferStage::ModelDiffers:
        return "cancelled: the radio model differs from the data";
    case TransferStage::MainBlock:
        return "stopped at " + unitName(o.selector) + ", main-area block " + std::to_string(o.index) + code;
    case TransferStage::CodeRecord:
        return "stopped at " + unitName(o.selector) + ", DTMF code record " + std::to_string(o.index) + code;
    case TransferStage::ExtChunk:
        return "stopped at " + unitName(o.selector) + ", extension chunk " + std::to_string(o.index) + code;
    case TransferStage::ClosePort:
        return "done, but the port did not close";
    case TransferStage::Verify: {
        const std::string what = o.place == TransferStage::MainBlock    ? ", main-area block "
                                 : o.place == TransferStage::CodeRecord ? ", DTMF code record "
                                                                        : ", extension chunk ";
        const std::string where = unitName(o.selector) + what + std::to_string(o.index);
        if (o.status != RadioStatus::Ok)
            return "verify failed: everything was written, but " + where + " could not be read back" + code;
        return "verify failed: the radio differs from what was written at " + where;
    }
    }
    return "failed";
}

std::string placeText(const TextSource& texts, TransferStage kind, Byte selector, int index) {
    constexpr int kTextAtBlock = 257, kTextAtRecord = 258, kTextAtChunk = 264;
    constexpr int kTextDeck1 = 181, kTextDeck2 = 182, kTextHead1 = 183, kTextHead2 = 195;
    int place = 0;
    switch (kind) {
    case TransferStage::MainBlock:
        place = kTextAtBlock;
        break;
    case TransferStage::CodeRecord:
        place = kTextAtRecord;
        break;
    case TransferStage::ExtChunk:
        place = kTextAtChunk;
        break;
    default:
        return {};
    }
    int unit = 0;
    switch (selector) {
    case kSelectorDeck1:
        unit = kTextDeck1;
        break;
    case kSelectorDeck2:
        unit = kTextDeck2;
        break;
    case kSelectorHead1:
        unit = kTextHead1;
        break;
    case kSelectorHead2:
        unit = kTextHead2;
        break;
    default:
        return {};
    }
    return formatText(texts.text(place), {texts.text(unit), std::to_string(index)});
}

std::string partialWriteText(const TextSource& texts, const TransferOutcome& o) {
    constexpr int kTextPartialWrite = 225;
    const std::string where = placeText(texts, o.stage, o.selector, o.index);
    if (where.empty()) return {};
    return formatText(texts.text(kTextPartialWrite), {where});
}

std::vector<Byte> writeUnits(const MemoryImage& image) {
    const ModelIdentification id = identificationOf(image);
    std::vector<Byte> units{kSelectorDeck1};
    if (id.isDualBand()) units.push_back(kSelectorDeck2);
    units.push_back(kSelectorHead1);
    if (id.isDualHead()) units.push_back(kSelectorHead2);
    return units;
}

int writeTotal(const MemoryImage& image) {
    int total = 0;
    for (Byte u : writeUnits(image))
        total += (u == kSelectorDeck1 || u == kSelectorDeck2) ? kDeckBlocks : kHeadBlocks;
    return total;
}

int versionNibble(const Identification& id) {
    const int v = id[ModelIdentification::kConfigWord] >> 4;
    return v >= 8 ? v - 16 : v;
}

std::string versionWarningText(const TextSource& texts, int version) {
    auto t = [&](int n) { return std::string(texts.text(n)); };
    std::string s = t(kTextVersionIntro) + "\n";
    s += "\n" + t(kTextOptionalFeatures) + " : \n";
    s += "\t" + t(kTextPowerOnText) + "\n";
    s += "\t" + t(kTextVersionTimedOff) + "\n";
    if (version < kVersionWithoutOst) s += "\n" + t(kTextVersionOst) + "\n";
    s += "\n" + t(kTextVersionDravix) + "\n";
    s += "\n" + t(kTextVersionFuncPort) + "\n";
    s += "\n" + t(kTextChannelInformation) + " : \n";
    if (version == 0) {
        s += "\t" + t(kTextVersionBeatShift) + "\n";
        s += "\t" + t(kTextCompander) + "\n";
    }
    s += "\t" + t(kTextVersionScrambler) + "\n";
    return s;
}

Message completionMessage(const TextSource& texts, bool read) {
    Message m;
    m.textId = read ? kTextReadDone : kTextWriteDone;
    m.text = std::string(texts.text(m.textId));
    m.caption = std::string(layout::kAppTagText);
    m.icon = MsgIcon::Information;
    return m;
}

Message closeFailedWarning(const TextSource& texts) {
    Message m;
    m.textId = kTextPortCloseFailed;
    m.text = std::string(texts.text(m.textId));
    m.caption = std::string(texts.text(MessageBoxes::kCaptionWarning));
    m.icon = MsgIcon::Warning;
    return m;
}

RadioTransfer::RadioTransfer(RadioProtocol& protocol, const TextSource& texts, TransferUi& ui)
    : protocol_(protocol), link_(protocol.link()), texts_(texts), ui_(ui) {}

MsgAnswer RadioTransfer::ask(int textId, std::string text, int captionId, MsgButtons buttons, MsgIcon icon,
                             bool defaultCancel) {
    Message m;
    m.defaultCancel = defaultCancel;
    m.textId = textId;
    m.text = std::move(text);
    m.caption = std::string(texts_.text(captionId));
    m.buttons = buttons;
    m.icon = icon;
    return ui_.show(m);
}

void RadioTransfer::abandon() {
    protocol_.leaveRadioMode();
    link_.closeLink();
}

bool RadioTransfer::retryAfterFailure(TransferStage stage, Byte selector, int index, RadioStatus status,
                                      TransferOutcome& out) {
    const MsgAnswer a = ask(kTextNoAnswer, std::string(texts_.text(kTextNoAnswer)), kCaptionError,
                            MsgButtons::RetryCancel, MsgIcon::Error);
    if (a == MsgAnswer::Retry) return true;
    abandon();
    out.result = TransferResult::Failed;
    out.stage = stage;
    out.selector = selector;
    out.index = index;
    out.status = status;
    return false;
}

bool RadioTransfer::openLink(TransferOutcome& out) {
    link_.closeLink();
    if (PortResult r = link_.openLink(); !r.ok()) {
        // The system's reason (missing device, group membership, busy) tells the user what to fix.
        std::string text(texts_.text(kTextPortCannotOpen));
        if (!r.message.empty()) text += "\n\n" + r.message;
        ask(kTextPortCannotOpen, std::move(text), kCaptionError, MsgButtons::Ok, MsgIcon::Error);
        out.result = TransferResult::Failed;
        out.stage = TransferStage::OpenPort;
        out.port = r;
        return false;
    }
    while (true) {
        const RadioStatus s = protocol_.enterProgramMode();
        if (ok(s)) return true;
        if (!retryAfterFailure(TransferStage::ProgramMode, kSelectorNone, -1, s, out)) return false;
    }
}

bool RadioTransfer::readRadioIdentification(Identification& id, bool checkCatalogue, TransferOutcome& out) {
    while (true) {
        const RadioStatus s = protocol_.readIdentification(kSelectorDeck1, id);
        if (!ok(s)) {
            if (!retryAfterFailure(TransferStage::Identification, kSelectorDeck1, -1, s, out)) return false;
            continue;
        }
        if (!checkCatalogue || ModelIdentification(id).isValid()) return true;
        const MsgAnswer a = ask(kTextUnknownModel, std::string(texts_.text(kTextUnknownModel)), kCaptionError,
                                MsgButtons::RetryCancel, MsgIcon::Error);
        if (a != MsgAnswer::Retry) {
            abandon();
            out.result = TransferResult::Failed;
            out.stage = TransferStage::UnknownModel;
            return false;
        }
    }
}

bool RadioTransfer::transferDeck(Direction d, Byte selector, ImageCopy& copy, int& counter, int total,
                                 TransferOutcome& out) {
    const int start = counter;
    // A retry starts the area again at its first unit, so the furthest unit any attempt reached is
    // what the radio holds up to; a stop is reported there, not where the last attempt failed.
    std::size_t reached = 0;
    protocol_.setBlockLength(kMainBlockSize);
    for (std::size_t n = 0; n < kMainBlockCount;) {
        ui_.showProgress(counter + 1, counter, total);
        const std::span<Byte> block = std::span<Byte>(copy.main).subspan(n * kMainBlockSize, kMainBlockSize);
        const RadioStatus s = d == Direction::Read
                                  ? protocol_.readMainBlock(block, blockAddress(n), selector)
                                  : protocol_.writeMainBlock(block, blockAddress(n), selector);
        if (ok(s)) {
            ui_.pumpMessages();
            ++counter;
            ++n;
            continue;
        }
        reached = std::max(reached, n);
        if (!retryAfterFailure(TransferStage::MainBlock, selector, static_cast<int>(reached), s, out))
            return false;
        counter = start;
        n = 0;
    }
    reached = 0;
    for (std::size_t r = 0; r < kCodeRecordCount;) {
        const std::span<Byte> record =
            std::span<Byte>(copy.dtmf).subspan(r * kCodeRecordSize, kCodeRecordSize);
        const int index = static_cast<int>(r);
        const RadioStatus s = d == Direction::Read ? protocol_.readCodeRecord(record, index, selector)
                                                   : protocol_.writeCodeRecord(record, index, selector);
        if (ok(s)) {
            ui_.pumpMessages();
            ++r;
            continue;
        }
        reached = std::max(reached, r);
        if (!retryAfterFailure(TransferStage::CodeRecord, selector, static_cast<int>(reached), s, out))
            return false;
        r = 0;
    }
    return true;
}

// The counter advances once per four chunks (128 bytes) but not before the first, so a head adds 63;
// the final display of the total completes the count.
bool RadioTransfer::transferHead(Direction d, Byte selector, ImageCopy& copy, int& counter, int total,
                                 TransferOutcome& out) {
    constexpr std::size_t kChunksPerBlock = layout::kBlockSize / kExtChunkSize;
    const int start = counter;
    std::size_t reached = 0; // as for the main area
    for (std::size_t i = 0; i < kExtChunkCount;) {
        if (i != 0 && i % kChunksPerBlock == 0) ++counter;
        ui_.showProgress(counter + 1, counter, total);
        const auto offset = static_cast<std::uint16_t>(i * kExtChunkSize);
        const std::span<Byte> chunk = std::span<Byte>(copy.ext).subspan(offset, kExtChunkSize);
        const RadioStatus s = d == Direction::Read
                                  ? protocol_.readExtensionChunk(chunk, offset, kExtChunkSize, selector)
                                  : protocol_.writeExtensionChunk(chunk, offset, kExtChunkSize, selector);
        if (ok(s)) {
            ui_.pumpMessages();
            ++i;
            continue;
        }
        reached = std::max(reached, i);
        if (!retryAfterFailure(TransferStage::ExtChunk, selector, static_cast<int>(reached), s, out))
            return false;
        counter = start;
        i = 0;
    }
    return true;
}

void RadioTransfer::finish(bool read, TransferOutcome& out) {
    // A radio that did not acknowledge 'E' gets its line closed at once; a failure of that early
    // close counts as much as one of the final close (which then finds the port already closed).
    bool closed = true;
    if (!ok(protocol_.leaveRadioMode())) closed = link_.closeLink();
    if (link_.closeDelay()) ui_.waitWhilePumping(SerialPort::kCloseDelay);
    closed = link_.closeLink() && closed;
    ui_.show(completionMessage(texts_, read));
    if (closed) return;
    out.result = TransferResult::CloseFailed;
    out.stage = TransferStage::ClosePort;
    ui_.show(closeFailedWarning(texts_));
}

TransferOutcome RadioTransfer::read(MemoryImage& image) {
    TransferOutcome out;
    protocol_.setBlockLength(kMainBlockSize);
    ui_.showProgress(0, 0, kReadTotal);
    if (!openLink(out)) return out;

    Identification id{};
    if (!readRadioIdentification(id, true, out)) return out;

    // Bytes that never travel (the end of the DTMF area) keep what staging held, as before.
    auto scratch = std::make_unique<ImageCopy>(image.staging());
    int counter = 0;
    ui_.showProgress(0, 0, kReadTotal);
    if (!transferDeck(Direction::Read, kSelectorDeck1, *scratch, counter, kReadTotal, out)) return out;
    if (!transferHead(Direction::Read, kSelectorHead1, *scratch, counter, kReadTotal, out)) return out;
    ui_.showProgress(kReadTotal, kReadTotal, kReadTotal);

    // The identification the radio sent names the data set, whatever block 125 carried. The data
    // is complete now; a port that then fails to close must not cost the user the read.
    std::copy(id.begin(), id.end(), scratch->main.begin() + layout::kModelId);
    image.staging() = *scratch;
    finish(true, out);
    return out;
}

TransferOutcome RadioTransfer::write(MemoryImage& image) {
    return writeFrom(image, nullptr);
}

TransferOutcome RadioTransfer::writeEntered(MemoryImage& image, const Identification& id) {
    return writeFrom(image, &id);
}

TransferOutcome RadioTransfer::writeFrom(MemoryImage& image, const Identification* entered) {
    TransferOutcome out;
    ImageCopy& working = image.working();
    protocol_.setBlockLength(kMainBlockSize);
    const std::vector<Byte> units = writeUnits(image);
    // A verified write reads every unit back: twice the blocks.
    const int total = writeTotal(image) * (verify_ ? 2 : 1);
    ui_.showProgress(0, 0, total);
    Identification id{};
    if (entered) {
        id = *entered;
    } else {
        if (!openLink(out)) return out;
        if (!readRadioIdentification(id, false, out)) return out;
    }

    // What the radio gets differs a little from the working copy (version bits, format version,
    // normalised DTMF records); the working copy takes it over only once all of it travelled, so a
    // stopped write leaves the user's data as it was.
    auto sent = std::make_unique<ImageCopy>(working);
    markForRadio(*sent);

    const int version = versionNibble(id);
    if (version < kCurrentRadioVersion && ask(-1, versionWarningText(texts_, version), kCaptionQuestion,
                                              MsgButtons::OkCancel, MsgIcon::Warning) != MsgAnswer::Ok) {
        abandon();
        out.result = TransferResult::Failed;
        out.stage = TransferStage::OldVersion;
        return out;
    }
    if (!identificationOf(image).sameRadio(ModelIdentification(id)) &&
        ask(kTextModelDiffers, std::string(texts_.text(kTextModelDiffers)), kCaptionQuestion,
            MsgButtons::OkCancel, MsgIcon::Warning, /*defaultCancel=*/true) != MsgAnswer::Ok) {
        abandon();
        out.result = TransferResult::Failed;
        out.stage = TransferStage::ModelDiffers;
        return out;
    }

    int counter = 0;
    for (Byte unit : units) {
        const bool deck = unit == kSelectorDeck1 || unit == kSelectorDeck2;
        const bool done = deck ? transferDeck(Direction::Write, unit, *sent, counter, total, out)
                               : transferHead(Direction::Write, unit, *sent, counter, total, out);
        if (!done) return out;
    }
    if (verify_ && !verifyWritten(units, *sent, counter, total, out)) return out;
    ui_.showProgress(total, total, total);
    markForRadio(working);
    std::copy_n(sent->dtmf.begin(), kCodeRecordCount * kCodeRecordSize, working.dtmf.begin());
    finish(false, out);
    return out;
}

namespace {

// The version bits of the model identification are the radio's own; a read-back never compares them.
void clearVersionBits(ImageCopy& copy) {
    copy.main[kIdConfigLow] &= static_cast<Byte>(~kVersionBits);
    copy.main[kIdModel2Flags] &= static_cast<Byte>(~kVersionBits);
}

struct Place {
    TransferStage kind;
    int index;
};

// The first block, record or chunk of a unit where the read-back differs from what was sent.
std::optional<Place> firstDifference(bool deck, const ImageCopy& sent, const ImageCopy& back) {
    auto differs = [](std::span<const Byte> a, std::span<const Byte> b, std::size_t n, std::size_t size) {
        return !std::equal(a.begin() + static_cast<std::ptrdiff_t>(n * size),
                           a.begin() + static_cast<std::ptrdiff_t>((n + 1) * size),
                           b.begin() + static_cast<std::ptrdiff_t>(n * size));
    };
    if (deck) {
        for (std::size_t n = 0; n < kMainBlockCount; ++n)
            if (differs(sent.main, back.main, n, kMainBlockSize))
                return Place{TransferStage::MainBlock, int(n)};
        for (std::size_t r = 0; r < kCodeRecordCount; ++r)
            if (differs(sent.dtmf, back.dtmf, r, kCodeRecordSize))
                return Place{TransferStage::CodeRecord, int(r)};
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kExtChunkCount; ++i)
        if (differs(sent.ext, back.ext, i, kExtChunkSize)) return Place{TransferStage::ExtChunk, int(i)};
    return std::nullopt;
}

} // namespace

bool RadioTransfer::verifyWritten(const std::vector<Byte>& units, const ImageCopy& sent, int& counter,
                                  int total, TransferOutcome& out) {
    auto expected = std::make_unique<ImageCopy>(sent);
    clearVersionBits(*expected);
    auto back = std::make_unique<ImageCopy>();
    counter = total / 2;
    for (Byte unit : units) {
        const bool deck = unit == kSelectorDeck1 || unit == kSelectorDeck2;
        *back = sent; // what the unit does not hold compares equal
        const bool done = deck ? transferDeck(Direction::Read, unit, *back, counter, total, out)
                               : transferHead(Direction::Read, unit, *back, counter, total, out);
        if (!done) {
            // Everything was written; only the read-back stopped. The radio is not half written.
            out.place = out.stage;
            out.stage = TransferStage::Verify;
            ask(kTextVerifyUnread,
                formatText(texts_.text(kTextVerifyUnread), {placeText(texts_, out.place, unit, out.index)}),
                kCaptionError, MsgButtons::Ok, MsgIcon::Error);
            return false;
        }
        clearVersionBits(*back);
        const auto place = firstDifference(deck, *expected, *back);
        if (!place) continue;
        abandon();
        out.result = TransferResult::Failed;
        out.stage = TransferStage::Verify;
        out.place = place->kind;
        out.selector = unit;
        out.index = place->index;
        ask(kTextVerifyFailed,
            formatText(texts_.text(kTextVerifyFailed), {placeText(texts_, place->kind, unit, place->index)}),
            kCaptionError, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    return true;
}

} // namespace velora::comm
