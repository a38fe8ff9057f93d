#include "features/ChannelLists.h"

#include "channels/ChannelLayout.h"
#include "channels/ChannelListPlacement.h"
#include "forms/FieldRules.h"
#include "model/ModelCatalogue.h"

namespace velora::forms {

using namespace chlists;

namespace {

constexpr FieldPage kPages[] = {{0, {}}};
constexpr int kRemoteHelp[] = {42, 1001, 1002};
constexpr int kRepeaterHelp[] = {43, 1301, 1302};
constexpr int kColumnTitles[] = {259, 345, 344};
constexpr std::string_view kColumnKeys[] = {"", "group", "channel"};

bool validColumn(int col) {
    return col == kGroupColumn || col == kChannelColumn;
}

} // namespace

ChannelListArea::ChannelListArea(Kind kind, ChannelStore& store, MessageBoxes& boxes)
    : FeatureArea(store.document(), boxes), kind_(kind), store_(store) {}

std::span<const FieldPage> ChannelListArea::pages() const {
    return kPages;
}

int ChannelListArea::entries() const {
    return kind_ == Kind::Remote ? chlayout::kRemoteEntries : chlayout::kRepeaterEntries;
}

bool ChannelListArea::applies() const {
    return kind_ == Kind::Remote || identificationOf(document().image()).isDualBand();
}

int ChannelListArea::openingMessage() const {
    return kind_ == Kind::Remote && channels::remoteListSize(document()) <= 0 ? kMsgRemoteNotInUse : 0;
}

std::size_t ChannelListArea::entryAt(int row) const {
    const std::size_t base = kind_ == Kind::Remote ? layout::kRemoteList : chlayout::kCsRepeaterList;
    return base + chlayout::kEntrySize * std::size_t(row);
}

Byte ChannelListArea::groupByte(int row) const {
    return byteAt(document().image().main(), entryAt(row));
}

Byte ChannelListArea::channelByte(int row) const {
    return byteAt(document().image().main(), entryAt(row) + 1);
}

int ChannelListArea::gridColumnTitleAt(int, int col) const {
    return validColumn(col) ? kColumnTitles[col] : kColumnTitles[0];
}

std::string ChannelListArea::gridColumnKey(int, int col) const {
    return validColumn(col) ? std::string(kColumnKeys[col]) : std::string{};
}

int ChannelListArea::gridCellHelpAt(int, int, int col) const {
    const int i = validColumn(col) ? col : 0;
    return kind_ == Kind::Remote ? kRemoteHelp[i] : kRepeaterHelp[i];
}

FieldText ChannelListArea::gridCellTextAt(int page, int row, int col) const {
    if (page != 0 || row < 0 || row >= entries() || !validColumn(col)) return {};
    // The bytes already hold the numbers as shown.
    const Byte b = col == kGroupColumn ? groupByte(row) : channelByte(row);
    return {b == chlayout::kUnset ? std::string{} : std::to_string(b), b};
}

bool ChannelListArea::isGridCellEnabledAt(int page, int row, int col) const {
    if (page != 0 || row < 0 || row >= entries() || !validColumn(col) || !applies()) return false;
    return col == kGroupColumn || groupByte(row) != chlayout::kUnset;
}

bool ChannelListArea::commitGroup(int row, int n) {
    auto main = document().image().main();
    if (n <= 0) {
        fill(main, entryAt(row), chlayout::kEntrySize, chlayout::kUnset);
        return true;
    }
    if (n > chlayout::kGroups || !store_.groupUsed(n - 1)) {
        boxes().warning(kMsgNoChannel);
        return false;
    }
    if (n == groupByte(row)) return false;
    setByte(main, entryAt(row), Byte(n));
    setByte(main, entryAt(row) + 1, chlayout::kUnset);
    return true;
}

bool ChannelListArea::commitChannel(int row, int n) {
    auto main = document().image().main();
    if (n <= 0) {
        setByte(main, entryAt(row) + 1, chlayout::kUnset);
        return true;
    }
    if (n == channelByte(row)) return false;
    const int g = groupByte(row) - 1, c = n - 1;
    if (groupByte(row) == chlayout::kUnset || n > store_.perGroupLimit() || !store_.channelExists(g, c)) {
        boxes().warning(kMsgNoChannel);
        return false;
    }
    if (kind_ == Kind::Remote) {
        if (store_.remoteIndexOf(g, c) >= 0) {
            boxes().warning(kMsgListAlready);
            return false;
        }
    } else {
        if (store_.repeaterIndexOf(g, c) != ChannelStore::kNotInRepeaterList) {
            boxes().warning(kMsgListAlready);
            return false;
        }
        const int other = 1 - row;
        const Byte og = groupByte(other), oc = channelByte(other);
        if (og != chlayout::kUnset && oc != chlayout::kUnset &&
            channels::sameRadioUnit(store_, og - 1, oc - 1, g, c)) {
            boxes().warning(kMsgRepeaterSameModel);
            return false;
        }
    }
    setByte(main, entryAt(row) + 1, Byte(n));
    return true;
}

FieldEffects ChannelListArea::commitGridText(int page, int row, int col, std::string_view text) {
    FieldEffects fx;
    if (!isGridCellEnabledAt(page, row, col)) return fx;
    const int n = leadingInt(text.substr(0, kMaxCommitText));
    const bool changed = col == kGroupColumn ? commitGroup(row, n) : commitChannel(row, n);
    // The channel edit view shows each channel's list position.
    if (changed) fx.otherViews = views::kChannelEdit;
    return fx;
}

} // namespace velora::forms
