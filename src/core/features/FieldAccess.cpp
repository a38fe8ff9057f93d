#include "features/FieldAccess.h"

#include <algorithm>
#include <cctype>

#include "features/CharClass.h"

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

// "2.3" -> page 1, row 2 (both counted from 1 in keys).
std::optional<std::pair<int, int>> gridKey(std::string_view rest) {
    auto dot = rest.find('.');
    if (dot == std::string_view::npos) return std::nullopt;
    auto number = [](std::string_view s) -> int {
        if (s.empty() || s.size() > 4 ||
            !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return -1;
        return std::stoi(std::string(s));
    };
    int page = number(rest.substr(0, dot)), row = number(rest.substr(dot + 1));
    if (page < 1 || row < 1) return std::nullopt;
    return std::pair{page - 1, row - 1};
}

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

FieldAccess::FieldAccess(Document& doc, MessageBoxes& boxes)
    : doc_(doc), boxes_(boxes), store_(doc, boxes.texts()), services_{doc, boxes, store_} {}

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

FieldEntry FieldAccess::gridEntry(const AreaInfo& info, GridArea& g, int page, int row) const {
    FieldEntry e;
    e.key = std::string(info.name) + "." + std::to_string(page + 1) + "." + std::to_string(row + 1);
    e.area = info.name;
    e.page = page;
    e.field = 1; // the value column; column 0 holds the row titles
    e.row = row + 1;
    e.labelId = g.gridColumnTitle();
    e.control = info.gridControl;
    e.kind = FieldKind::List;
    e.text = g.gridCellText(page, row).text;
    e.enabled = g.isGridCellEnabled(page, row);
    e.hasValues = true;
    for (const ValueItem& i : g.gridChoices(page, row))
        e.values.push_back(boxes_.text(i.text));
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
                out.push_back(gridEntry(info, *grid, p, r));
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
    if (auto cell = gridKey(rest); cell && at.grid && a.pageAvailable(cell->first) &&
                                   cell->first < a.pageCount() &&
                                   cell->second < at.grid->gridRowCount(cell->first)) {
        at.page = cell->first;
        at.field = 1;
        at.row = cell->second;
        return at;
    }
    return std::nullopt;
}

std::optional<FieldEntry> FieldAccess::find(std::string_view key) {
    auto at = locate(key);
    if (!at) return std::nullopt;
    if (at->row >= 0) return gridEntry(*at->info, *at->grid, at->page, at->row);
    return formEntry(*at->info, *at->form, at->page, at->field, at->info->fieldKey(at->page, at->field));
}

std::string FieldAccess::typedText(FeatureArea& a, int page, int field, std::string_view text) const {
    // A text the control itself shows (a special value's word, the current text) stands as it is:
    // leaving such an edit untouched commits exactly that text.
    const FieldDescriptor& d = *a.descriptor(page, field);
    if (d.storage.special.text != 0 && sameIgnoringCase(text, a.text(d.storage.special.text)))
        return a.text(d.storage.special.text);
    if (text == a.fieldText(page, field).text) return std::string(text);
    EditFormat fmt = a.editFormat(page, field);
    std::u32string input;
    for (char c : text)
        input.push_back(static_cast<unsigned char>(c)); // Latin-1, one char per position
    EditContext ctx;
    ctx.decimalPoint = doc_.codec().decimalSeparator();
    return insertFiltered(fmt.charClass, ctx, input, fmt.maxLength).text;
}

std::optional<FieldAccess::Refusal> FieldAccess::set(std::string_view key, std::string_view text) {
    auto at = locate(key);
    auto refuse = [&](std::string reason) { return Refusal{std::string(key), std::move(reason)}; };
    if (!at) return refuse("no such field");

    if (at->row >= 0) {
        GridArea& g = *at->grid;
        if (!g.isGridCellEnabled(at->page, at->row)) return refuse("the field is disabled");
        for (const ValueItem& i : g.gridChoices(at->page, at->row)) {
            if (!sameIgnoringCase(boxes_.text(i.text), text)) continue;
            g.commitGridCell(at->page, at->row, i.stored);
            g.gridEditEnded(at->page);
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
        a.commitField(p, f, typedText(a, p, f, text));
        break;
    }
    a.leaveField(p, f);
    return std::nullopt;
}

} // namespace velora::forms
