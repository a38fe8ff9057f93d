#include "features/OperatorTone.h"

#include <algorithm>

#include "forms/FieldRules.h"
#include "model/Layout.h"
#include "model/ModelCatalogue.h"
#include "model/ToneCodec.h"

namespace velora::forms {

using namespace ost;

namespace {

constexpr std::uint16_t kDirectOstAt = 0x1A;
constexpr std::uint16_t kKeypadAutoPttAt = 0x46;
constexpr std::uint16_t kAutoDialAt = 0x48;
constexpr std::size_t kShownName = 14; // stored bytes a name can show
constexpr int kSmallName = 8, kLargeName = 14;

constexpr ValueItem kOnOffList[] = {{282, 0}, {281, 1}};
constexpr ValueItem kExtendedBackUpList[] = {{282, 0}, {344, 1}, {304, 2}};

// label, value, spin, label text, kind, help, class, length, fixed pitch, storage
constexpr FieldDescriptor kFields[kFieldCount] = {
    {0, 1015, 0, 547, FieldKind::List, 801, CharClass::Any, 0, false, listAt(0x19, kOnOffList)},
    {1403, 1403, 0, 548, FieldKind::Check, 802, CharClass::Any, 0, false, checkAt(kDirectOstAt, {282, 281})},
    {0, 1017, 0, 552, FieldKind::List, 40, CharClass::Any, 0, false, listAt(0x1D, kOnOffList)},
};
constexpr FieldPage kPages[] = {{0, kFields}};
constexpr std::string_view kKeys[kFieldCount] = {"back_up", "direct_ost", "name_display"};
constexpr std::string_view kColumnKeys[] = {"", "name", "tone_1", "tone_2"};
constexpr int kColumnTitles[] = {259, 549, 551, 550};
constexpr int kColumnHelp[] = {40, 803, 804, 805};

bool validCell(int page, int row, int col) {
    return page == 0 && row >= 0 && row < kEntries && col >= kNameColumn && col <= kTone2Column;
}
std::size_t nameAt(int row) {
    return layout::kOstNames + kNameSize * std::size_t(row);
}
std::size_t toneAt(int row, int col) {
    return layout::kOstTable + 4 * std::size_t(row) + (col == kTone2Column ? 2 : 0);
}

} // namespace

std::span<const FieldPage> OperatorToneArea::pages() const {
    return kPages;
}

std::string_view OperatorToneArea::fieldKey(int page, int field) {
    return page == 0 && field >= 0 && field < kFieldCount ? kKeys[field] : std::string_view{};
}

Byte OperatorToneArea::at(std::size_t offset) const {
    return byteAt(document().image().main(), offset);
}

char OperatorToneArea::decimalPoint() const {
    return document().codec().decimalSeparator();
}

bool OperatorToneArea::nameDisplayShown() const {
    return document().options().extended;
}

int OperatorToneArea::nameLength() const {
    return identificationOf(document().image()).secondTypeHeadInUse() ? kLargeName : kSmallName;
}

bool OperatorToneArea::isFieldEnabled(int, int field) const {
    switch (field) {
    case kDirectOst:
        // Direct OST and the DTMF keypad functions exclude each other.
        return at(kKeypadAutoPttAt) != 1 && at(kAutoDialAt) != 1;
    case kNameDisplay:
        return nameDisplayShown();
    default:
        return true;
    }
}

FieldEffects OperatorToneArea::commitChoice(int page, int field, int value) {
    FieldEffects fx;
    const FieldStorage* s = storage(page, field);
    if (!s || value < 0 || !isFieldEnabled(page, field)) return fx;
    if (s->kind == Storage::List && !listOffers(valueList(page, field), value)) return fx;
    FeatureArea::commitChoice(page, field, value);
    fx.showFields.push_back({page, field});
    if (field == kDirectOst) fx.otherViews = views::kDtmf;
    return fx;
}

std::vector<ValueItem> OperatorToneArea::valueList(int page, int field) const {
    if (field == kBackUp && document().options().extended)
        return {std::begin(kExtendedBackUpList), std::end(kExtendedBackUpList)};
    return FeatureArea::valueList(page, field);
}

int OperatorToneArea::gridColumnTitleAt(int, int col) const {
    return col >= kNameColumn && col <= kTone2Column ? kColumnTitles[col] : kColumnTitles[0];
}

std::string OperatorToneArea::gridColumnKey(int, int col) const {
    return col >= kNameColumn && col <= kTone2Column ? std::string(kColumnKeys[col]) : std::string{};
}

int OperatorToneArea::gridCellHelpAt(int, int, int col) const {
    return col >= kNameColumn && col <= kTone2Column ? kColumnHelp[col] : kColumnHelp[0];
}

CellEditor OperatorToneArea::gridCellEditor(int, int, int col) const {
    return col == kNameColumn ? CellEditor::Text : CellEditor::Combo;
}

EditFormat OperatorToneArea::gridEditFormat(int, int, int col) const {
    if (col == kNameColumn) return {CharClass::Name, nameLength(), true};
    return {CharClass::Tone, 0, false};
}

FieldText OperatorToneArea::gridCellTextAt(int page, int row, int col) const {
    if (!validCell(page, row, col)) return {};
    if (col == kNameColumn) {
        // Read with the name's own length, trailing blanks dropped, cut to what the head shows.
        std::string t = fixedText(document().image().ext(), nameAt(row), kShownName);
        t.erase(t.find_last_not_of(' ') + 1);
        if (t.size() > std::size_t(nameLength())) t.resize(std::size_t(nameLength()));
        return {t, -1};
    }
    const std::uint16_t word = le16(document().image().main(), toneAt(row, col));
    return {toneToText(word, offText(), decimalPoint()), word};
}

std::vector<std::string> OperatorToneArea::gridTextChoices(int page, int row, int col) const {
    std::vector<std::string> out;
    if (!validCell(page, row, col) || col == kNameColumn) return out;
    out.reserve(kToneChoiceCount);
    const std::string off = offText();
    for (std::size_t i = 0; i < kToneChoiceCount; ++i)
        out.push_back(toneChoiceText(i, off, decimalPoint()));
    return out;
}

FieldEffects OperatorToneArea::commitGridText(int page, int row, int col, std::string_view input) {
    if (!validCell(page, row, col)) return {};
    std::string_view t = input.substr(0, kMaxCommitText);
    if (col == kNameColumn) {
        Entry e = copyEntries({row}).front();
        e.name.fill(0xFF);
        t = t.substr(0, std::size_t(nameLength()));
        if (!t.empty()) {
            e.name.fill(0);
            std::copy(t.begin(), t.end(), e.name.begin());
            replaceBytes(e.name, kNameSize, 0, ' ');
            blankToFill(e.name, kNameSize);
        }
        pasteEntries(row, {e});
        return {};
    }
    // Nothing, or five blanks, is no tone.
    const bool none = isBlankText(t);
    setLe16(document().image().main(), toneAt(row, col),
            none ? kToneOff : textToTone(t, offText(), decimalPoint()));
    return {};
}

std::vector<Entry> OperatorToneArea::copyEntries(const std::vector<int>& rows) const {
    std::vector<Entry> out;
    auto ext = document().image().ext();
    auto main = document().image().main();
    for (int row : rows) {
        if (row < 0 || row >= kEntries) continue;
        Entry e;
        for (std::size_t i = 0; i < kNameSize; ++i)
            e.name[i] = byteAt(ext, nameAt(row) + i);
        e.tone1 = le16(main, toneAt(row, kTone1Column));
        e.tone2 = le16(main, toneAt(row, kTone2Column));
        out.push_back(e);
    }
    return out;
}

void OperatorToneArea::pasteEntries(int first, const std::vector<Entry>& entries) {
    if (first < 0) return;
    auto ext = document().image().ext();
    auto main = document().image().main();
    for (std::size_t k = 0; k < entries.size() && first + int(k) < kEntries; ++k) {
        const int row = first + int(k);
        for (std::size_t i = 0; i < kNameSize; ++i)
            setByte(ext, nameAt(row) + i, entries[k].name[i]);
        setLe16(main, toneAt(row, kTone1Column), entries[k].tone1);
        setLe16(main, toneAt(row, kTone2Column), entries[k].tone2);
    }
}

void OperatorToneArea::clearEntries(const std::vector<int>& rows) {
    Entry none;
    none.name.fill(0xFF);
    for (int row : rows)
        pasteEntries(row, {none});
}

} // namespace velora::forms
