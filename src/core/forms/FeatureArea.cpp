#include "forms/FeatureArea.h"

#include <algorithm>

#include "forms/FieldRules.h"

namespace velora::forms {

bool FeatureArea::pageAvailable(int page) const {
    return page >= 0 && page < pageCount();
}

int FeatureArea::fieldCount(int page) const {
    return (page >= 0 && page < pageCount()) ? int(pages()[std::size_t(page)].fields.size()) : 0;
}

const FieldDescriptor* FeatureArea::descriptor(int page, int field) const {
    if (field < 0 || field >= fieldCount(page)) return nullptr;
    return &pages()[std::size_t(page)].fields[std::size_t(field)];
}

int FeatureArea::frameEnd(int page, int frame) const {
    const FieldDescriptor* d = descriptor(page, frame);
    if (!d || d->kind != FieldKind::Frame) return frame + 1;
    const int last =
        d->frameHolds > 0 ? std::min(frame + d->frameHolds, fieldCount(page) - 1) : fieldCount(page) - 1;
    int end = frame + 1;
    for (; end <= last; ++end) {
        const FieldKind kind = descriptor(page, end)->kind;
        if (kind == FieldKind::Frame || kind == FieldKind::None) break;
    }
    return end;
}

int FeatureArea::helpTopic(int page, int field) const {
    const FieldDescriptor* d = descriptor(page, field);
    return (d && d->help != 0) ? d->help : defaultHelp();
}

std::optional<FieldRef> FeatureArea::findValueControl(int controlId) const {
    if (controlId == 0) return std::nullopt;
    for (int p = 0; p < pageCount(); ++p)
        for (int f = 0; f < fieldCount(p); ++f)
            if (descriptor(p, f)->valueControl == controlId) return FieldRef{p, f};
    return std::nullopt;
}

const FieldStorage* FeatureArea::storage(int page, int field) const {
    const FieldDescriptor* d = descriptor(page, field);
    return d ? &d->storage : nullptr;
}

Byte FeatureArea::storedByte(const FieldStorage& s) const {
    return byteAt(doc_.image().working().area(s.area), s.offset);
}

void FeatureArea::storeByte(const FieldStorage& s, Byte value) {
    setByte(doc_.image().working().area(s.area), s.offset, value);
}

FieldText FeatureArea::fieldText(int page, int field) const {
    const FieldStorage* s = storage(page, field);
    if (!s) return {};
    int b = storedByte(*s);
    switch (s->kind) {
    case Storage::Number:
        return {numberText(b, range(page, field), s->special, s->special.text ? text(s->special.text) : ""),
                b};
    case Storage::List: {
        auto items = valueList(page, field);
        auto t = valueListText(items, b);
        return {t ? text(*t) : std::string{}, b};
    }
    case Storage::Check: {
        bool ticked = s->tickedUnlessCleared ? b != s->cleared : b == s->ticked;
        return {text(twoStateText(b, s->print)), ticked ? 1 : 0};
    }
    case Storage::None:
        break;
    }
    return {};
}

bool FeatureArea::isFieldEnabled(int, int) const {
    return true;
}

FieldEffects FeatureArea::commitField(int page, int field, std::string_view input) {
    const FieldStorage* s = storage(page, field);
    if (!s || s->kind != Storage::Number) return {};
    std::string t(input.substr(0, kMaxCommitText));
    if (s->special.text != 0 && t == text(s->special.text)) {
        storeByte(*s, s->special.stored);
    } else if (isBlankText(t) && s->emptyValue >= 0) {
        storeByte(*s, Byte(s->emptyValue));
    } else {
        NumericRange r = range(page, field);
        // Stored fields are single bytes: a range reaching beyond them is held to 0..255.
        storeByte(*s, Byte(std::clamp(clampNumberText(t, r), 0, 255)));
    }
    return {};
}

FieldEffects FeatureArea::commitChoice(int page, int field, int value) {
    const FieldStorage* s = storage(page, field);
    if (!s) return {};
    if (s->kind == Storage::List && value >= 0 && value <= 255) storeByte(*s, Byte(value));
    if (s->kind == Storage::Check) storeByte(*s, value ? s->ticked : s->cleared);
    return {};
}

FieldEffects FeatureArea::stepField(int page, int field, std::string_view text, int direction) {
    FieldEffects fx = commitField(page, field, text);
    const FieldStorage* s = storage(page, field);
    if (!s || s->kind != Storage::Number) return fx;
    NumericRange r = range(page, field);
    int b = storedByte(*s);
    int v = s->step == StepRule::Special ? stepWithSpecial(b, r, s->special.stored, direction)
                                         : stepWithWrap(b, r, direction);
    storeByte(*s, Byte(std::clamp(v, 0, 255)));
    return fx;
}

std::vector<ValueItem> FeatureArea::valueList(int page, int field) const {
    const FieldStorage* s = storage(page, field);
    if (!s) return {};
    return {s->list.begin(), s->list.end()};
}

EditFormat FeatureArea::editFormat(int page, int field) const {
    const FieldDescriptor* d = descriptor(page, field);
    if (!d) return {};
    const FieldStorage* s = storage(page, field);
    return {d->charClass, d->maxLength, d->fixedPitch, s ? s->special.text : 0};
}

NumericRange FeatureArea::range(int page, int field) const {
    const FieldStorage* s = storage(page, field);
    return s ? s->range : NumericRange{};
}

} // namespace velora::forms
