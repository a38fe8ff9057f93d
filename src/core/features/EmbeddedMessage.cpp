#include "features/EmbeddedMessage.h"

#include <algorithm>

#include "forms/FieldRules.h"
#include "model/Layout.h"

namespace velora::forms {

using namespace embmsg;

namespace {

// The upper edit holds line 1.
constexpr FieldDescriptor kFields[kFieldCount] = {
    {0, 1010, 0, 0, FieldKind::Edit, 45, CharClass::Any, int(kLineLength), true},
    {0, 1009, 0, 0, FieldKind::Edit, 45, CharClass::Any, int(kLineLength), true},
};
constexpr FieldPage kPages[] = {{0, kFields}};
constexpr std::string_view kKeys[kFieldCount] = {"line_1", "line_2"};

std::size_t lineOffset(int field) {
    return layout::kEmbeddedMessage + (field == kLine2 ? kLineLength : 0);
}

} // namespace

std::array<Byte, kLineLength> embeddedMessageLine(const Document& doc, int line) {
    std::array<Byte, kLineLength> out{};
    const std::size_t at = lineOffset(line == 2 ? kLine2 : kLine1);
    for (std::size_t i = 0; i < kLineLength; ++i) {
        Byte b = byteAt(doc.image().main(), at + i);
        out[i] = b == 0xFF ? Byte{0} : b;
    }
    return out;
}

std::span<const FieldPage> EmbeddedMessageArea::pages() const {
    return kPages;
}

std::string_view EmbeddedMessageArea::fieldKey(int page, int field) {
    return page == 0 && field >= 0 && field < kFieldCount ? kKeys[field] : std::string_view{};
}

FieldText EmbeddedMessageArea::fieldText(int, int field) const {
    if (field < 0 || field >= kFieldCount) return {};
    // Read with the line's own length: a full line must not run on into the next one.
    std::string t = fixedText(document().image().main(), lineOffset(field), kLineLength);
    t.erase(t.find_last_not_of(' ') + 1);
    return {t, -1};
}

FieldEffects EmbeddedMessageArea::commitField(int, int field, std::string_view input) {
    FieldEffects fx;
    if (field < 0 || field >= kFieldCount) return fx;
    std::array<Byte, kLineLength> buf{};
    std::string_view t = input.substr(0, std::min(kMaxCommitText, kLineLength));
    std::copy(t.begin(), t.end(), buf.begin());
    replaceBytes(buf, kLineLength, 0, ' ');
    blankToFill(buf, kLineLength);
    auto main = document().image().main();
    for (std::size_t i = 0; i < kLineLength; ++i)
        setByte(main, lineOffset(field) + i, buf[i]);
    fx.showFields = {{0, kLine1}, {0, kLine2}};
    return fx;
}

} // namespace velora::forms
