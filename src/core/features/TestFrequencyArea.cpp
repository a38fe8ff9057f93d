#include "features/TestFrequencyArea.h"

#include <algorithm>

#include "model/ModelCatalogue.h"

namespace velora::forms {

namespace testfreq {

void remindToWrite(MessageBoxes& boxes) {
    Message m;
    m.textId = kTextWriteBeforeTestMode;
    m.text = boxes.text(kTextWriteBeforeTestMode);
    m.caption = std::string(layout::kAppTagText);
    m.buttons = MsgButtons::Ok;
    m.icon = MsgIcon::Information;
    boxes.show(m);
}

} // namespace testfreq

namespace {

constexpr std::array<FieldPage, 2> kPages{{{519, {}}, {520, {}}}};

bool validPage(int page) {
    return page == kModel1 || page == kModel2;
}

} // namespace

std::span<const FieldPage> TestFrequencyArea::pages() const {
    return kPages;
}

bool TestFrequencyArea::pageAvailable(int page) const {
    if (page == kModel1) return true;
    return page == kModel2 && identificationOf(document().image()).isDualBand();
}

int TestFrequencyArea::gridColumnTitleAt(int, int col) const {
    return col == testfreq::kColTx ? testfreq::kTextTx : testfreq::kTextRx;
}

std::string TestFrequencyArea::gridColumnKey(int, int col) const {
    return col == testfreq::kColTx ? "tx" : "rx";
}

FieldText TestFrequencyArea::gridCellTextAt(int page, int row, int col) const {
    if (!validPage(page)) return {};
    // A fresh text for every cell: an unset frequency shows nothing.
    std::string t =
        testFrequencyText(document().image(), page, row + 1, col == testfreq::kColTx, document().codec());
    return {std::move(t), -1};
}

bool TestFrequencyArea::hasRx(int page, int row) const {
    return hasTestFrequency(document().image(), page, row + 1, false);
}

bool TestFrequencyArea::isGridCellEnabledAt(int page, int row, int col) const {
    if (!pageAvailable(page) || row < 0 || row >= kTestChannels) return false;
    return col == testfreq::kColRx || (col == testfreq::kColTx && hasRx(page, row));
}

int TestFrequencyArea::gridCellHelpAt(int, int, int col) const {
    return col == testfreq::kColTx ? testfreq::kHelpTx : testfreq::kHelpRx;
}

FieldEffects TestFrequencyArea::ensureDefaults(int page) {
    FieldEffects fx;
    fx.refreshAll = ensureTestFrequencies(document().image(), page, document().codec());
    return fx;
}

FieldEffects TestFrequencyArea::commitGridText(int page, int row, int col, std::string_view text) {
    if (!isGridCellEnabledAt(page, row, col)) return {};
    const bool transmit = col == testfreq::kColTx;
    std::string t(text.substr(0, kMaxCommitText));
    const auto result = setTestFrequency(document().image(), page, row + 1, transmit, t, document().codec());
    if (result == TestFrequencyResult::BadChannel) return {};
    if (result == TestFrequencyResult::OutOfBand)
        boxes().warning(transmit ? testfreq::kTextTxOutOfBand : testfreq::kTextRxOutOfBand);
    return ensureDefaults(page);
}

testfreq::Clip TestFrequencyArea::copyEntries(int page, int first, int last) const {
    testfreq::Clip clip;
    if (!pageAvailable(page)) return clip;
    first = std::max(first, 0);
    last = std::min(last, kTestChannels - 1);
    clip.model = page;
    auto main = document().image().main();
    for (int r = first; r <= last; ++r) {
        testfreq::Entry e;
        const std::size_t at = testFrequencyOffset(page, r + 1, false);
        for (std::size_t i = 0; i < e.size(); ++i)
            e[i] = byteAt(main, at + i);
        clip.entries.push_back(e);
    }
    return clip;
}

bool TestFrequencyArea::canPaste(const testfreq::Clip& clip, int page) const {
    return clip.holdsData() && clip.model == page && pageAvailable(page);
}

FieldEffects TestFrequencyArea::pasteEntries(const testfreq::Clip& clip, int page, int first) {
    if (!canPaste(clip, page) || first < 0) return {};
    auto main = document().image().main();
    for (std::size_t i = 0; i < clip.entries.size() && first + int(i) < kTestChannels; ++i) {
        const std::size_t at = testFrequencyOffset(page, first + int(i) + 1, false);
        for (std::size_t b = 0; b < clip.entries[i].size(); ++b)
            setByte(main, at + b, clip.entries[i][b]);
    }
    FieldEffects fx = ensureDefaults(page);
    fx.refreshAll = true;
    return fx;
}

FieldEffects TestFrequencyArea::clearEntries(int page, int first, int last) {
    if (!pageAvailable(page)) return {};
    auto main = document().image().main();
    for (int r = std::max(first, 0); r <= std::min(last, kTestChannels - 1); ++r)
        fill(main, testFrequencyOffset(page, r + 1, false), kTestFrequencyEntrySize, 0xFF);
    FieldEffects fx = ensureDefaults(page);
    fx.refreshAll = true;
    return fx;
}

} // namespace velora::forms
