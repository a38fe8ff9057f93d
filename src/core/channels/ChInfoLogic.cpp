#include "channels/ChInfoLogic.h"

#include <algorithm>
#include <cctype>

#include "channels/ChannelLayout.h"
#include "channels/GridClipText.h"
#include "model/ToneCodec.h"

namespace velora::channels {

namespace {

constexpr int kTextTitle = 256, kTextGroup = 345, kTextChannel = 344, kTextFreeArea = 346, kTextBytes = 347;
constexpr int kTextScanAddOff = 354, kTextScanAddOn = 355;
constexpr int kFrequencyChars = 9;

ChannelField fieldOf(int col) {
    return ChannelField(col - 1);
}

bool isWide(const ChannelStore& store, int g, int c) {
    auto rec = store.channelRecord(g, c);
    return rec.size() >= chlayout::kRecordSize && (le16(rec, chlayout::kRecFlagsA) & chlayout::kAWide);
}

} // namespace

const std::vector<ChannelFunction>& channelFunctions() {
    static const std::vector<ChannelFunction> kFunctions{
        {chcmd::kChannelCopy, "Channel Copy", "Shift+F3"},
        {chcmd::kFrequencyCopy, "Frequency Copy", "Shift+F4"},
        {chcmd::kToneCopy, "QT/DQT Copy", "Shift+F5"},
        {0, "", ""},
        {chcmd::kGroupJump, "Group Jump", "Shift+F7"},
        {chcmd::kGroupCopy, "Group Copy", "Shift+F8"},
        {0, "", ""},
        {chcmd::kChannelInsert, "Channel Insert", "Shift+F9"},
        {chcmd::kChannelDelete, "Channel Delete", "Shift+F10"},
        {0, "", ""},
        {chcmd::kGroupUp, "Group Up", "F7"},
        {chcmd::kGroupDown, "Group Down", "F8"},
        {chcmd::kGroupEdit, "Group Edit", "F9"},
        {chcmd::kChannelEdit, "Channel Edit", "F11"},
    };
    return kFunctions;
}

void ChInfoLogic::setGroup(int g) {
    group_ = std::clamp(g, 0, kGroupCount - 1);
}

void ChInfoLogic::setCurrentRow(int row) {
    channel_ = std::clamp(row, 1, rows() - 1) - 1;
}

std::string ChInfoLogic::title() const {
    const TextSource& t = boxes_.texts();
    return formatText("%s [ %s - %d  %s - %d ]",
                      {t.text(kTextTitle), t.text(kTextGroup), std::to_string(group_ + 1),
                       t.text(kTextChannel), std::to_string(channel_ + 1)});
}

std::string ChInfoLogic::freeAreaText() const {
    const TextSource& t = boxes_.texts();
    return formatText("  %s = %d %s",
                      {t.text(kTextFreeArea), std::to_string(store_.freeBytes()), t.text(kTextBytes)});
}

std::array<std::string, 7> ChInfoLogic::rowTexts(int row) const {
    std::array<std::string, 7> out;
    if (!exists(row)) return out;
    for (int f = 0; f < kChannelFieldCount; ++f)
        out[std::size_t(f)] = store_.channelFieldText(group_, row - 1, ChannelField(f)).text;
    return out;
}

bool ChInfoLogic::hasTx(int row) const {
    return !store_.channelFieldText(group_, row - 1, ChannelField::TxFrequency).text.empty();
}

std::optional<EditStart> ChInfoLogic::startEditing(int row, int col) const {
    if (row < 1 || row >= rows() || col < 1 || col >= kChInfoCols) return std::nullopt;
    // Only a receive frequency can create a channel; a receive-only channel has no encode tone.
    if (!exists(row)) col = kColRx;
    if (col == kColEncode && !hasTx(row)) col = kColTx;
    EditStart s;
    s.col = col;
    switch (col) {
    case kColRx:
    case kColTx:
        s.charClass = forms::CharClass::Decimal;
        s.maxLength = kFrequencyChars;
        break;
    case kColName:
        if (store_.channelNameLength() == 0) return std::nullopt;
        s.charClass = forms::CharClass::Name;
        s.maxLength = store_.channelNameLength();
        s.nameFont = true;
        break;
    case kColDecode:
    case kColEncode:
        s.editor = CellEditor::Tone;
        s.charClass = forms::CharClass::Tone;
        s.maxLength = 5;
        break;
    case kColScanAdd:
        s.editor = CellEditor::Choice;
        s.choices = {kTextScanAddOff, kTextScanAddOn};
        break;
    case kColSignalling:
        s.editor = CellEditor::Choice;
        s.choices = {278, 247, 356, 357, 358};
        break;
    }
    return s;
}

bool ChInfoLogic::keyOpensEditor(int row, int col, char32_t typed, char decimalPoint) const {
    auto s = startEditing(row, col);
    if (!s || typed <= U' ') return false;
    if (s->editor != CellEditor::Choice) return forms::opensEditor(s->charClass, typed, decimalPoint);
    // A list opens on a key that starts one of its entries.
    if (typed > 0x7F) return false;
    const int key = std::toupper(int(typed));
    return std::any_of(s->choices.begin(), s->choices.end(), [&](int t) {
        std::string_view text = boxes_.texts().text(t);
        return !text.empty() && std::toupper(static_cast<unsigned char>(text.front())) == key;
    });
}

int ChInfoLogic::enterAdvance(int row, int col) const {
    return (col == kColDecode && exists(row) && !hasTx(row)) ? 2 : 1;
}

ChInfoRefresh ChInfoLogic::commitText(int row, int col, const std::string& text, bool modified) {
    if (row < 1 || row >= rows() || col < kColRx || col > kColName) return {};
    if (!modified && !text.empty()) return {};
    store_.setChannelFieldText(text, group_, row - 1, fieldOf(col), &boxes_);
    ChInfoRefresh r;
    r.row = r.freeArea = r.groupName = true;
    r.otherViews = kChannelDependents | forms::views::kChannelEdit;
    return r;
}

ChInfoRefresh ChInfoLogic::commitChoice(int row, int col, int index) {
    if (row < 1 || row >= rows() || index < 0) return {};
    if (col != kColDecode && col != kColEncode && col != kColScanAdd && col != kColSignalling) return {};
    store_.setChannelChoice(group_, row - 1, fieldOf(col), index);
    ChInfoRefresh r;
    r.row = true;
    r.otherViews = forms::views::kChannelEdit;
    return r;
}

bool ChInfoLogic::commandApplies(int command) const {
    const int row = channel_ + 1;
    switch (command) {
    case chcmd::kChannelCopy:
    case chcmd::kFrequencyCopy:
        return exists(row);
    case chcmd::kToneCopy: {
        if (!exists(row) || !hasTx(row)) return false;
        return store_.channelFieldText(group_, channel_, ChannelField::Decode).raw != kToneOff;
    }
    case chcmd::kGroupCopy:
        return store_.groupUsed(group_);
    default:
        return true;
    }
}

namespace {
ChInfoRefresh everything() {
    ChInfoRefresh r;
    r.allRows = r.freeArea = r.groupName = true;
    r.otherViews = kChannelDependents | forms::views::kChannelEdit;
    return r;
}
} // namespace

ChInfoRefresh ChInfoLogic::insertChannelNumber() {
    store_.insertChannelNumber(group_, channel_);
    return everything();
}

ChInfoRefresh ChInfoLogic::removeChannelNumber() {
    store_.removeChannelNumber(group_, channel_);
    return everything();
}

void ChInfoLogic::copyRows(grid::ChannelRowBuffer& buffer, int first, int last) const {
    if (first > last) std::swap(first, last);
    first = std::clamp(first, 1, rows() - 1);
    last = std::clamp(last, 1, rows() - 1);
    grid::copyChannelRows(buffer, store_, group_, first, last);
}

ChInfoRefresh ChInfoLogic::pasteRows(const grid::ChannelRowBuffer& buffer, int startRow) {
    if (!buffer.holdsData() || startRow < 1 || startRow >= rows()) return {};
    grid::ChannelPasteResult result = grid::pasteChannelRows(buffer, store_, group_, startRow, &boxes_);
    bool narrowed = false;
    for (int i = 0; i < result.rowsWritten; ++i) {
        const int c = startRow - 1 + i;
        if (!store_.channelExists(group_, c)) continue;
        const bool wide = isWide(store_, group_, c);
        store_.checkNarrowband(group_, c, nullptr);
        narrowed = narrowed || (wide && !isWide(store_, group_, c));
    }
    if (narrowed) boxes_.warning(kMsgNarrowOnEntry);
    return everything();
}

ChInfoRefresh ChInfoLogic::deleteRows(int first, int last) {
    if (first > last) std::swap(first, last);
    for (int row = std::max(first, 1); row <= last && row < rows(); ++row)
        if (store_.findRecord(group_, row - 1) >= 0) store_.deleteChannel(group_, row - 1);
    return everything();
}

std::string ChInfoLogic::clipText(int first, int last, bool withTitle) const {
    return grid::channelClipText(store_, boxes_.texts(), group_, first, last, withTitle);
}

int ChInfoLogic::helpTopic(int col) {
    switch (col) {
    case kColRx:
        return 2001;
    case kColTx:
        return 2002;
    case kColDecode:
        return 2003;
    case kColEncode:
        return 2004;
    case kColName:
        return 2005;
    case kColScanAdd:
        return 2011;
    case kColSignalling:
        return 2008;
    default:
        return kHelpView;
    }
}

} // namespace velora::channels
