#include "features/GroupChannelPair.h"

#include "channels/ChannelLayout.h"
#include "forms/FieldRules.h"

namespace velora::forms {

namespace {
std::string oneBased(int b) {
    return b == 0xFF ? std::string{} : std::to_string(b + 1);
}
} // namespace

std::size_t GroupChannelPair::offset() const {
    return referenceOffset(ReferenceKind(slot_));
}

int GroupChannelPair::group(const Document& doc) const {
    return byteAt(doc.image().main(), offset());
}
int GroupChannelPair::channel(const Document& doc) const {
    return byteAt(doc.image().main(), offset() + 1);
}
std::string GroupChannelPair::groupText(const Document& doc) const {
    return oneBased(group(doc));
}
std::string GroupChannelPair::channelText(const Document& doc) const {
    return oneBased(channel(doc));
}

GroupChannelPair::Result GroupChannelPair::refuse(MessageBoxes& boxes) {
    busy_ = true;
    boxes.warning(kNotFound);
    busy_ = false;
    return Result::Refused;
}

GroupChannelPair::Result GroupChannelPair::commitGroup(std::string_view text, ChannelStore& store,
                                                       MessageBoxes& boxes) {
    if (busy_) return Result::Busy;
    auto main = store.document().image().main();
    if (isBlankText(text)) {
        if (group(store.document()) == 0xFF && channel(store.document()) == 0xFF) return Result::Unchanged;
        setByte(main, offset(), 0xFF);
        setByte(main, offset() + 1, 0xFF);
        return Result::Stored;
    }
    long n = leadingInt(text);
    int stored = group(store.document());
    if (stored != 0xFF && n - 1 == stored) return Result::Unchanged;
    if (n < 1 || n > chlayout::kGroups || !store.groupUsed(int(n - 1))) return refuse(boxes);
    setByte(main, offset(), Byte(n - 1));
    setByte(main, offset() + 1, 0xFF);
    return Result::Stored;
}

GroupChannelPair::Result GroupChannelPair::commitChannel(std::string_view text, ChannelStore& store,
                                                         MessageBoxes& boxes) {
    if (busy_) return Result::Busy;
    auto main = store.document().image().main();
    if (isBlankText(text)) {
        if (channel(store.document()) == 0xFF) return Result::Unchanged;
        setByte(main, offset() + 1, 0xFF);
        return Result::Stored;
    }
    long n = leadingInt(text);
    int stored = channel(store.document());
    if (stored != 0xFF && n - 1 == stored) return Result::Unchanged;
    int g = group(store.document());
    if (n < 1 || n > store.perGroupLimit() || g == 0xFF || !store.channelExists(g, int(n - 1)))
        return refuse(boxes);
    setByte(main, offset() + 1, Byte(n - 1));
    return Result::Stored;
}

} // namespace velora::forms
