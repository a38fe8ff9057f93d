#include "features/FieldAccess.h"

#include <algorithm>
#include <cctype>

#include "forms/CharClass.h"

namespace velora::forms {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool hasValue(FieldKind k) {
    return !fieldKindName(k).empty();
}

// "2.3" -> page 1, row 2 (both counted from 1 in keys); "1.5.name" -> page 0, row 4, column "name".
struct GridKey {
    int page = 0;
    int row = 0;
    std::string_view column;
};
std::optional<GridKey> gridKey(std::string_view rest) {
    auto dot = rest.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    auto number = [](std::string_view s) -> int {
        if (s.empty() || s.size() > 4 ||
            !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return -1;
        return std::stoi(std::string(s));
    };
    std::string_view rowAndColumn = rest.substr(dot + 1);
    auto second = rowAndColumn.find('.');
    std::string_view column;
    if (second != std::string_view::npos) {
        column = rowAndColumn.substr(second + 1);
        rowAndColumn = rowAndColumn.substr(0, second);
        if (column.empty()) return std::nullopt;
    }
    int page = number(rest.substr(0, dot)), row = number(rowAndColumn);
    if (page < 1 || row < 1) return std::nullopt;
    return GridKey{page - 1, row - 1, column};
}

FieldKind cellKind(CellEditor e) {
    switch (e) {
    case CellEditor::Text:
        return FieldKind::Edit;
    case CellEditor::Combo:
        return FieldKind::Combo;
    default:
        return FieldKind::List;
    }
}

// A decimal number without its leading zeros and its fraction's trailing ones; empty when the
// text is no number.
std::string plainNumber(std::string_view t, char point) {
    const std::size_t dot = t.find(point);
    std::string_view whole = t.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : t.substr(dot + 1);
    auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if ((whole.empty() && fraction.empty()) || !digits(whole) || !digits(fraction)) return {};
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    return "0" + std::string(whole) + (fraction.empty() ? "" : "." + std::string(fraction));
}

bool hasBlankInDtmfCode(const EditFormat& fmt, std::string_view text) {
    return fmt.charClass == CharClass::Dtmf && text.find(' ') != std::string_view::npos;
}

constexpr char kBlankInDtmfCode[] = "a DTMF code takes no blank";

} // namespace

std::string_view fieldKindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::Edit:
        return "edit";
    case FieldKind::EditSpin:
        return "spin";
    case FieldKind::List:
        return "list";
    case FieldKind::Check:
        return "check";
    case FieldKind::Combo:
        return "combo";
    case FieldKind::Text:
        return "text";
    default:
        return {};
    }
}

namespace {
// Messages a view shows when it stores nothing: the group or channel does not exist, the channel
// is already in the list, the position is taken, the two entries would be on one model.
constexpr int kRefusalTexts[] = {239, 240, 241, 243};
} // namespace

MsgAnswer FieldAccess::RefusalWatch::show(const Message& m) {
    if (std::find(std::begin(kRefusalTexts), std::end(kRefusalTexts), m.textId) != std::end(kRefusalTexts))
        refused = m.textId;
    return next_.show(m);
}

FieldAccess::FieldAccess(Document& doc, MessageBoxes& boxes)
    : doc_(doc), watch_(boxes.messenger()), boxes_(watch_, boxes.texts()),
      store_(doc, boxes.texts()), services_{doc, boxes_, store_} {}

FieldAccess::~FieldAccess() = default;

FeatureArea* FieldAccess::area(std::string_view name) {
    const AreaInfo* info = findArea(name);
    if (!info) return nullptr;
    auto& slot = areas_[info->name];
    if (!slot) slot = info->make(services_);
    return slot.get();
}

FieldEntry FieldAccess::formEntry(const AreaInfo& info, FeatureArea& a, int page, int field,
                                  std::string key) const {
    const FieldDescriptor& d = *a.descriptor(page, field);
    FieldEntry e;
    e.key = std::string(info.name) + "." + key;
    e.area = info.name;
    e.page = page;
    e.field = field;
    e.labelId = d.labelText;
    e.control = d.valueControl;
    e.kind = d.kind;
    FieldText t = a.fieldText(page, field);
    e.text = d.kind == FieldKind::Check ? (t.value > 0 ? "1" : "0") : t.text;
    e.enabled = a.isFieldEnabled(page, field);
    if (d.kind == FieldKind::List || d.kind == FieldKind::Combo) {
        e.hasValues = d.kind == FieldKind::List;
        for (const ValueItem& i : a.valueList(page, field))
            e.values.push_back(a.text(i.text));
        e.hasValues = e.hasValues || !e.values.empty();
    }
    return e;
}

FieldEntry FieldAccess::gridEntry(const AreaInfo& info, GridArea& g, int page, int row, int col) const {
    FieldEntry e;
    e.key = std::string(info.name) + "." + std::to_string(page + 1) + "." + std::to_string(row + 1);
    if (std::string column = g.gridColumnKey(page, col); !column.empty()) e.key += "." + column;
    e.area = info.name;
    e.page = page;
    e.field = col; // column 0 holds the row titles
    e.row = row + 1;
    e.labelId = g.gridColumnTitleAt(page, col);
    e.control = info.gridControl;
    const CellEditor editor = g.gridCellEditor(page, row, col);
    e.kind = cellKind(editor);
    e.text = g.gridCellTextAt(page, row, col).text;
    e.enabled = g.isGridCellEnabledAt(page, row, col);
    if (editor == CellEditor::List) {
        e.hasValues = true;
        for (const ValueItem& i : g.gridChoicesAt(page, row, col))
            e.values.push_back(boxes_.text(i.text));
    } else if (editor == CellEditor::Combo) {
        e.values = g.gridTextChoices(page, row, col);
        e.hasValues = !e.values.empty();
    }
    return e;
}

void FieldAccess::collect(const AreaInfo& info, std::vector<FieldEntry>& out) {
    FeatureArea& a = *area(info.name);
    auto* grid = dynamic_cast<GridArea*>(&a);
    for (int p = 0; p < a.pageCount(); ++p) {
        if (!a.pageAvailable(p)) continue;
        for (int f = 0; f < a.fieldCount(p); ++f) {
            std::string key = info.fieldKey(p, f);
            if (key.empty() || !hasValue(a.descriptor(p, f)->kind)) continue;
            out.push_back(formEntry(info, a, p, f, std::move(key)));
        }
        if (grid)
            for (int r = 0; r < grid->gridRowCount(p); ++r)
                for (int c = 1; c <= grid->gridColumnCount(p); ++c)
                    out.push_back(gridEntry(info, *grid, p, r, c));
    }
}

std::vector<FieldEntry> FieldAccess::fields(std::span<const std::string> areas) {
    std::vector<FieldEntry> out;
    for (const AreaInfo& info : registeredAreas())
        if (areas.empty() || std::find(areas.begin(), areas.end(), info.name) != areas.end())
            collect(info, out);
    return out;
}

std::optional<FieldAccess::Located> FieldAccess::locate(std::string_view key) {
    auto dot = key.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const AreaInfo* info = findArea(key.substr(0, dot));
    if (!info) return std::nullopt;
    std::string_view rest = key.substr(dot + 1);
    Located at;
    at.info = info;
    at.form = area(info->name);
    at.grid = dynamic_cast<GridArea*>(at.form);
    FeatureArea& a = *at.form;
    for (int p = 0; p < a.pageCount(); ++p) {
        if (!a.pageAvailable(p)) continue;
        for (int f = 0; f < a.fieldCount(p); ++f) {
            if (!hasValue(a.descriptor(p, f)->kind) || info->fieldKey(p, f) != rest) continue;
            at.page = p;
            at.field = f;
            return at;
        }
    }
    auto cell = gridKey(rest);
    if (!cell || !at.grid || cell->page >= a.pageCount() || !a.pageAvailable(cell->page) ||
        cell->row >= at.grid->gridRowCount(cell->page))
        return std::nullopt;
    for (int c = 1; c <= at.grid->gridColumnCount(cell->page); ++c) {
        if (at.grid->gridColumnKey(cell->page, c) != cell->column) continue;
        at.page = cell->page;
        at.field = c;
        at.row = cell->row;
        at.col = c;
        return at;
    }
    return std::nullopt;
}

std::optional<FieldEntry> FieldAccess::find(std::string_view key) {
    auto at = locate(key);
    if (!at) return std::nullopt;
    if (at->row >= 0) return gridEntry(*at->info, *at->grid, at->page, at->row, at->col);
    return formEntry(*at->info, *at->form, at->page, at->field, at->info->fieldKey(at->page, at->field));
}

std::string FieldAccess::typedText(FeatureArea& a, int page, int field, std::string_view text) const {
    // A text the control itself shows (a special value's word, the current text) stands as it is:
    // leaving such an edit untouched commits exactly that text.
    const FieldDescriptor& d = *a.descriptor(page, field);
    if (d.storage.special.text != 0 && sameIgnoringCase(text, a.text(d.storage.special.text)))
        return a.text(d.storage.special.text);
    if (text == a.fieldText(page, field).text) return std::string(text);
    return filtered(a.editFormat(page, field), text);
}

std::string FieldAccess::filtered(const EditFormat& fmt, std::string_view text) const {
    std::u32string input;
    for (char c : text)
        input.push_back(static_cast<unsigned char>(c)); // Latin-1, one char per position
    EditContext ctx;
    ctx.decimalPoint = doc_.codec().decimalSeparator();
    return insertFiltered(fmt.charClass, ctx, input, fmt.maxLength).text;
}

std::optional<FieldAccess::Refusal> FieldAccess::set(std::string_view key, std::string_view text) {
    watch_.refused = 0;
    auto refusal = apply(key, text);
    if (!refusal && watch_.refused) return Refusal{std::string(key), boxes_.text(watch_.refused)};
    return refusal;
}

std::optional<FieldAccess::Refusal> FieldAccess::apply(std::string_view key, std::string_view text) {
    auto at = locate(key);
    auto refuse = [&](std::string reason) { return Refusal{std::string(key), std::move(reason)}; };
    if (!at) return refuse("no such field");

    if (at->row >= 0) {
        GridArea& g = *at->grid;
        const int p = at->page, r = at->row, c = at->col;
        if (!g.isGridCellEnabledAt(p, r, c)) return refuse("the field is disabled");
        const CellEditor editor = g.gridCellEditor(p, r, c);
        if (editor != CellEditor::List) {
            // A suggestion or the cell's own text stands as it is; other text goes through the filter.
            std::string typed;
            auto choices = g.gridTextChoices(p, r, c);
            auto choice = std::find_if(choices.begin(), choices.end(),
                                       [&](const std::string& s) { return sameIgnoringCase(s, text); });
            if (choice != choices.end())
                typed = *choice;
            else if (hasBlankInDtmfCode(g.gridEditFormat(p, r, c), text))
                return refuse(kBlankInDtmfCode);
            else if (text == g.gridCellTextAt(p, r, c).text)
                typed = std::string(text);
            else
                typed = filtered(g.gridEditFormat(p, r, c), text);
            g.commitGridText(p, r, c, typed);
            g.gridEditEnded(p);
            return std::nullopt;
        }
        for (const ValueItem& i : g.gridChoicesAt(p, r, c)) {
            if (!sameIgnoringCase(boxes_.text(i.text), text)) continue;
            g.commitGridChoice(p, r, c, i.stored);
            g.gridEditEnded(p);
            return std::nullopt;
        }
        return refuse("'" + std::string(text) + "' is not offered");
    }

    FeatureArea& a = *at->form;
    const int p = at->page, f = at->field;
    const FieldDescriptor& d = *a.descriptor(p, f);
    if (!a.isFieldEnabled(p, f)) return refuse("the field is disabled");
    switch (d.kind) {
    case FieldKind::Text:
        return refuse("the field is read-only");
    case FieldKind::Check: {
        if (text != "1" && text != "0") return refuse("a check box takes 1 or 0");
        const int want = text == "1" ? 1 : 0;
        // A click changes the state; a box already in it is left alone.
        if ((a.fieldText(p, f).value > 0 ? 1 : 0) != want) a.commitChoice(p, f, want);
        break;
    }
    case FieldKind::List: {
        auto items = a.valueList(p, f);
        auto it = std::find_if(items.begin(), items.end(),
                               [&](const ValueItem& i) { return sameIgnoringCase(a.text(i.text), text); });
        if (it == items.end()) return refuse("'" + std::string(text) + "' is not offered");
        // Choosing the item already shown changes no selection, so nothing is committed.
        if (a.text(it->text) != a.fieldText(p, f).text) a.commitChoice(p, f, it->stored);
        break;
    }
    default:
        if (hasBlankInDtmfCode(a.editFormat(p, f), text)) return refuse(kBlankInDtmfCode);
        a.commitField(p, f, typedText(a, p, f, text));
        break;
    }
    a.leaveField(p, f);
    return std::nullopt;
}

std::optional<std::string> FieldAccess::shownOtherwise(std::string_view key, std::string_view typed) {
    auto e = find(key);
    if (!e || e->text == typed) return std::nullopt;
    if (sameIgnoringCase(e->text, typed)) {
        // An item or a special value's word, which both match in any case.
        std::vector<std::string> words = e->values;
        if (auto at = locate(key); at && at->row < 0)
            if (const int special = at->form->descriptor(at->page, at->field)->storage.special.text)
                words.push_back(at->form->text(special));
        if (std::find(words.begin(), words.end(), e->text) != words.end()) return std::nullopt;
    }
    const char point = doc_.codec().decimalSeparator();
    const std::string number = plainNumber(typed, point);
    if (!number.empty() && number == plainNumber(e->text, point)) return std::nullopt;
    return e->text;
}

} // namespace velora::forms
