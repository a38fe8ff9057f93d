#include "print/ReportLayout.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "channels/ChEditArea.h"
#include "channels/ChannelStore.h"
#include "channels/GrEditArea.h"
#include "comm/Tuning.h"
#include "features/AreaRegistry.h"
#include "features/EmbeddedMessage.h"
#include "features/FieldAccess.h"
#include "features/FunctionPort.h"
#include "forms/GridArea.h"
#include "model/ModelCatalogue.h"

namespace velora::print {

namespace {

// --- Geometry (units of 0.01 inch, y up, origin at the printable area's top-left) ----------------

constexpr double kLeft = 20;
constexpr double kRightMargin = 33; // right frame edge = width - 33 (767 on a letter page)
constexpr double kBottomMargin = 11;
constexpr double kRow = 20;        // body rows
constexpr double kChannelRow = 18; // channel and test-mode rows
constexpr double kMessageRow = 22;
constexpr double kGap = 20; // between a caption column and its value column
constexpr std::string_view kNoValue = "--------------";
constexpr std::string_view kNoPairValue = "---";

const Font kBody{Face::CourierNew, 14};
const Font kMessageFont{Face::CourierNew, 19};
const Font kTitleFont{Face::Arial, 25, true};
const Font kStampFont{Face::Arial, points(12)};
const Font kSectionFont{Face::Arial, points(14), false, true};
const Font kSubheadFont{Face::Arial, points(12), false, true};
const Font kColumnHeadFont{Face::Arial, points(9), false, true};
const Font kFooterFont{Face::Arial, points(8)};

constexpr int kTextTitle = 101, kTextModel = 99, kTextBand = 100, kTextModel1 = 519, kTextModel2 = 520;
constexpr int kTextMessage = 167, kTextChannels = 256, kTextTestSheet = 102;
constexpr int kTextGroup = 345, kTextChannel = 344, kTextNumber = 259, kTextListNumber = 280;
constexpr int kTextYes = 279, kTextNo = 280;

std::string trimmedRight(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

std::string numberText(const char* format, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, n);
    return buf;
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

double textWidth(const std::string& text, const Font& font) {
    // Arial's mean advance over mixed captions is a little over half the em.
    const double advance = font.face == Face::CourierNew ? fixedAdvance(font.height) : 0.56 * font.height;
    return double(text.size()) * advance * (font.bold && font.face == Face::Arial ? 1.06 : 1.0);
}

// --- Sections ------------------------------------------------------------------------------------

// How one section of a feature area prints. Areas print generically: tab captions as sub-headings
// when the area has several pages, form fields as caption/value rows, frames as sub-headings, a
// grid as a table. Where a section has a layout of its own, its row here says so.
struct ReportLayout::SectionSpec {
    unsigned flag;
    PageKind kind;
    std::string_view area;
    double captionX = 20;
    double valueX = 220;
    std::array<double, 4> gridX{20, 220, 0, 0}; // row title, then the value columns
    int rowTitleHead = kTextNumber;             // head of the row-title column; 0 none
    bool largeHead = false;                     // 12-point table heads (else 9)
    std::string_view emptyCell = kNoValue;
    bool padRowNumber = true; // "%2d" row numbers
    bool framesAsHeadings = true;
    bool skipDisabled = false; // print only the fields that apply
    int perSheetPortrait = 1;  // area pages per printed page; 0 = all
    int perSheetLandscape = 1;
    std::array<int, 2> pageHeadings{0, 0}; // sub-headings replacing the tab captions
    // A frame that boxes the grid on screen heads the table on paper, below the form fields.
    bool framesHeadGrid = false;
};

// Plan order.
static const ReportLayout::SectionSpec kSections[] = {
    {section::kOptions, PageKind::Options, "options", 40, 280},
    {section::kKeys,
     PageKind::Keys,
     "keys",
     40,
     210,
     {40, 210},
     0,
     false,
     kNoValue,
     true,
     true,
     false,
     1,
     1,
     {0, 0},
     true},
    {section::kScan, PageKind::Scan, "scan", 20, 220},
    {section::kTwoTone,
     PageKind::TwoTone,
     "two_tone",
     20,
     220,
     {20, 220},
     kTextNumber,
     false,
     kNoValue,
     true,
     false,
     false,
     0,
     2},
    {section::kDtmf,
     PageKind::Dtmf,
     "dtmf",
     20,
     220,
     {20, 220},
     kTextNumber,
     false,
     "----------------",
     true,
     true,
     false,
     0,
     2},
    {section::kDravix, PageKind::Dravix, "dravix", 20, 280},
    {section::kEmergency, PageKind::Emergency, "emergency", 20, 250},
    {section::kOst,
     PageKind::Ost,
     "ost",
     40,
     250,
     {40, 100, 280, 420},
     kTextNumber,
     false,
     kNoValue,
     true,
     true,
     true},
    {section::kFunctionPort,
     PageKind::FunctionPort,
     "function_port",
     20,
     250,
     {20, 150, 250},
     0,
     false,
     kNoValue,
     false,
     true,
     false,
     1,
     1,
     {175, 174}},
    {section::kRemoteList,
     PageKind::RemoteList,
     "remote_list",
     20,
     220,
     {20, 70, 140},
     kTextListNumber,
     true,
     kNoPairValue,
     false},
    {section::kRepeaterList,
     PageKind::RepeaterList,
     "repeater_list",
     20,
     220,
     {20, 70, 140},
     kTextListNumber,
     true,
     kNoPairValue,
     false},
    {section::kTestFrequency, PageKind::TestFrequency, "test_frequency", 20, 220, {20, 100, 250}},
};

namespace {

constexpr SectionInfo kDialogSections[] = {
    {section::kModel, kTextModel, "model"},
    {section::kOptions, 245, "options"},
    {section::kKeys, 244, "keys"},
    {section::kScan, 246, "scan"},
    {section::kTwoTone, 248, "two_tone"},
    {section::kDtmf, 247, "dtmf"},
    {section::kDravix, 249, "dravix"},
    {section::kEmergency, 252, "emergency"},
    {section::kOst, 251, "ost"},
    {section::kFunctionPort, 253, "function_port"},
    {section::kRemoteList, 254, "remote_list"},
    {section::kRepeaterList, 255, "repeater_list"},
    {section::kTestFrequency, 250, "test_frequency"},
    {section::kMessage, kTextMessage, "message"},
    {section::kChannels, kTextChannels, "channels"},
};

bool dualBand(const Document& doc) {
    return identificationOf(doc.image()).isDualBand();
}

int clampGroup(int n) {
    return std::clamp(n, kFirstGroup, kLastGroup);
}

std::optional<int> parseNumber(std::string_view s) {
    if (!allDigits(s) || s.size() > 4) return std::nullopt;
    return std::stoi(std::string(s));
}

} // namespace

std::span<const SectionInfo> dialogSections() {
    return kDialogSections;
}

GroupRange withStart(GroupRange r, int typed) {
    r.start = clampGroup(typed);
    if (r.start > r.end) r.end = r.start;
    return r;
}

GroupRange withEnd(GroupRange r, int typed) {
    r.end = clampGroup(typed);
    if (r.end < r.start) r.start = r.end;
    return r;
}

Selection everySection(const Document& doc) {
    Selection s;
    s.sections = section::kAll;
    if (!dualBand(doc)) s.sections &= ~section::kRepeaterList;
    return s;
}

std::optional<Selection> parseSections(std::string_view list, const Document& doc, std::string* error) {
    Selection s;
    s.sections = 0;
    auto fail = [&](std::string what) -> std::optional<Selection> {
        if (error) *error = std::move(what);
        return std::nullopt;
    };
    while (!list.empty()) {
        auto comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (item.empty()) continue;
        std::string_view range;
        if (auto colon = item.find(':'); colon != std::string_view::npos) {
            range = item.substr(colon + 1);
            item = item.substr(0, colon);
        }
        if (item == "all") {
            s.sections |= everySection(doc).sections;
            continue;
        }
        auto it = std::find_if(std::begin(kDialogSections), std::end(kDialogSections),
                               [&](const SectionInfo& i) { return i.name == item; });
        if (it == std::end(kDialogSections)) return fail("unknown section '" + std::string(item) + "'");
        s.sections |= it->flag;
        if (!range.empty()) {
            if (it->flag != section::kChannels) return fail("only channels takes a group range");
            auto dash = range.find('-');
            auto first = parseNumber(range.substr(0, dash));
            auto last = dash == std::string_view::npos ? first : parseNumber(range.substr(dash + 1));
            if (!first || !last) return fail("malformed group range '" + std::string(range) + "'");
            GroupRange r = withEnd(withStart({}, *first), *last);
            s.startGroup = r.start;
            s.endGroup = r.end;
        }
    }
    if (s.sections == 0) return fail("no section named");
    return s;
}

std::string headerStamp(std::time_t when) {
    return localTimeText(when, "%x %X");
}

std::time_t reportTime() {
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && allDigits(epoch))
        return std::time_t(std::stoll(epoch));
    return std::time(nullptr);
}

// --- The page composer -----------------------------------------------------------------------------

// Places rows from the top of each page down, draws the header and footer of every page, and goes
// on to a further page (with the section title again) when a row would pass the bottom frame.
class ReportLayout::Composer {
  public:
    struct Header {
        std::string title;
        std::string stamp;
        std::vector<std::array<std::string, 3>> modelRows; // label, model 1, model 2
        bool dual = false;
        std::array<std::string, 2> message;
        bool showModel = false;
        bool showMessage = false;
        std::string messageLabel;
        std::string footerLeft;
        std::string footerRight;
        std::array<std::string, 2> modelHeads;
    };

    Composer(PageDescription& out, Header header) : out_(out), header_(std::move(header)) {}

    double right() const { return out_.width - kRightMargin; }
    double bottom() const { return -(out_.height - kBottomMargin); }
    double limit() const { return bottom() + 34; }

    void startPage(std::string sectionTitle) {
        sectionTitle_ = std::move(sectionTitle);
        newPage();
    }
    // Room for `h` more units below the cursor, on a further page if need be.
    void need(double h) {
        if (y - h < limit() && y < bodyTop_ - 1) newPage();
    }

    void text(double x, double top, std::string s, const Font& f, Align a = Align::Left) {
        if (s.empty()) return;
        page().texts.push_back({x, top, std::move(s), f, a});
    }
    void rule(double x1, double x2, double at, double width = 1) {
        page().lines.push_back({x1, at, x2, at, width});
    }
    void shade(double x, double top, double w, double h) { page().boxes.push_back({x, top, w, h, true}); }

    void subheading(const std::string& s) {
        if (s.empty()) return;
        need(kRow + 8 + kRow);
        y -= 6;
        text(kLeft, y, s, kSubheadFont);
        y -= kRow + 2;
    }

    double y = 0;

  private:
    Page& page() { return out_.pages.back(); }

    void newPage() {
        out_.pages.emplace_back();
        const int number = int(out_.pages.size());
        const double r = right();
        // Title, centred at the top; date, time and page number at the right, under it.
        text((kLeft + r) / 2, 0, header_.title, kTitleFont, Align::Centre);
        text(r, -34, header_.stamp + "   Page :" + numberText("% 3i", number), kStampFont, Align::Right);
        y = -56;
        rule(kLeft, r, y, 2);
        y -= 10;
        if (header_.showModel) {
            if (header_.dual) {
                text(400, y, header_.modelHeads[0], kColumnHeadFont);
                text(580, y, header_.modelHeads[1], kColumnHeadFont);
                y -= 16;
            }
            for (const auto& row : header_.modelRows) {
                text(100, y, row[0], kBody);
                text(400, y, row[1], kBody);
                if (header_.dual) text(580, y, row[2], kBody);
                y -= kRow;
            }
        }
        if (header_.showMessage) {
            text(100, y, header_.messageLabel, kMessageFont);
            text(400, y, header_.message[0], kMessageFont);
            y -= kMessageRow;
            text(400, y, header_.message[1], kMessageFont);
            y -= kMessageRow;
        }
        if (header_.showModel || header_.showMessage) {
            y -= 4;
            rule(kLeft, r, y, 1);
            y -= 10;
        }
        // Footer: the data file's name and the data set's models.
        const double b = bottom();
        rule(kLeft, r, b + 20, 0.5);
        text(kLeft, b + 16, header_.footerLeft, kFooterFont);
        text(r, b + 16, header_.footerRight, kFooterFont, Align::Right);

        if (!sectionTitle_.empty()) {
            y -= 4;
            text(kLeft, y, sectionTitle_, kSectionFont);
            y -= 34;
        }
        bodyTop_ = y;
    }

    PageDescription& out_;
    Header header_;
    std::string sectionTitle_;
    double bodyTop_ = 0;
};

// --- The layout ------------------------------------------------------------------------------------

ReportLayout::ReportLayout(Document& doc, MessageBoxes& boxes)
    : doc_(doc), boxes_(boxes), fields_(std::make_unique<forms::FieldAccess>(doc, boxes)),
      store_(std::make_unique<ChannelStore>(doc, boxes.texts())),
      channel_(std::make_unique<channels::ChEditArea>(*store_, boxes)),
      group_(std::make_unique<channels::GrEditArea>(*store_, boxes)) {}

ReportLayout::~ReportLayout() = default;

std::string ReportLayout::text(int number) const {
    return boxes_.text(number);
}

std::vector<std::vector<int>> ReportLayout::sheets(const SectionSpec& spec, bool landscape) {
    std::vector<std::vector<int>> out;
    forms::FeatureArea* a = forms::findArea(spec.area) ? fields_->area(spec.area) : nullptr;
    if (!a) return out;
    if (spec.flag == section::kRepeaterList && !dualBand(doc_)) return out;
    const int per = landscape ? spec.perSheetLandscape : spec.perSheetPortrait;
    for (int p = 0; p < a->pageCount(); ++p) {
        if (!a->pageAvailable(p)) continue;
        if (out.empty() || (per > 0 && int(out.back().size()) >= per)) out.emplace_back();
        out.back().push_back(p);
    }
    return out;
}

std::vector<ChannelPage> ReportLayout::channelPages(const Selection& selection, bool landscape) const {
    std::vector<ChannelPage> out;
    const int firstPage = landscape ? 1 : 2, laterPages = landscape ? 2 : 3;
    const int first = clampGroup(selection.startGroup) - 1, last = clampGroup(selection.endGroup) - 1;
    for (int g = first; g <= last; ++g) {
        if (!store_->groupUsed(g)) continue;
        std::vector<int> channels;
        for (int c : store_->channelNumbers(g))
            if (store_->channelExists(g, c)) channels.push_back(c);
        for (std::size_t i = 0; i < channels.size();) {
            ChannelPage page;
            page.group = g;
            page.groupBlock = i == 0;
            const std::size_t take = std::size_t(page.groupBlock ? firstPage : laterPages);
            for (std::size_t k = 0; k < take && i < channels.size(); ++k, ++i)
                page.channels.push_back(channels[i]);
            out.push_back(std::move(page));
        }
    }
    return out;
}

std::vector<PlanEntry> ReportLayout::pagePlan(const Selection& selection, bool landscape) {
    std::vector<PlanEntry> plan;
    for (const SectionSpec& spec : kSections) {
        if (!selection.has(spec.flag)) continue;
        const int n = int(sheets(spec, landscape).size());
        for (int i = 0; i < n; ++i)
            plan.push_back({spec.kind, i});
    }
    if (selection.has(section::kChannels)) {
        const int pages = int(channelPages(selection, landscape).size());
        for (int i = 0; i < pages; ++i)
            plan.push_back({PageKind::Channels, i});
    }
    if (selection.has(section::kTestSheet)) plan.push_back({PageKind::TestSheet, 0});
    if (plan.empty()) plan.push_back({PageKind::Empty, 0});
    return plan;
}

PageDescription ReportLayout::build(const ReportOptions& o) {
    PageDescription out;
    out.width = o.width;
    out.height = o.height;
    out.landscape = o.landscape;

    const ModelIdentification id = identificationOf(doc_.image());
    const char sep = doc_.codec().decimalSeparator();
    Composer::Header h;
    h.title = "VELORA " + text(kTextTitle);
    h.stamp = o.stamp;
    h.showModel = o.selection.has(section::kModel);
    h.showMessage = o.selection.has(section::kMessage);
    h.dual = id.isDualBand();
    h.modelHeads = {text(kTextModel1), text(kTextModel2)};
    auto modelName = [&](int model) -> std::string {
        auto i = id.modelIndex(model);
        return i ? std::string(kModels[*i].name) : std::string{};
    };
    h.modelRows.push_back(
        {text(kTextModel), modelName(kModel1), h.dual ? modelName(kModel2) : std::string{}});
    h.modelRows.push_back({text(kTextBand), bandName(id.bandCode(kModel1), sep),
                           h.dual ? bandName(id.bandCode(kModel2), sep) : std::string{}});
    h.messageLabel = text(kTextMessage);
    for (int line = 0; line < 2; ++line) {
        // The line's own 32 bytes, cut at the first NUL: a full line never runs on into the next.
        const auto bytes = forms::embeddedMessageLine(doc_, line + 1);
        std::string s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        s.resize(std::min(s.find('\0'), s.size()));
        h.message[std::size_t(line)] = trimmedRight(std::move(s));
    }
    h.footerLeft = doc_.fileName();
    h.footerRight = dataSetTitle(id);

    Composer c(out, std::move(h));
    const auto plan = pagePlan(o.selection, o.landscape);
    const auto channelPages = o.selection.has(section::kChannels)
                                  ? this->channelPages(o.selection, o.landscape)
                                  : std::vector<ChannelPage>{};
    for (const PlanEntry& e : plan)
        layoutEntry(c, e, o, channelPages);
    return out;
}

void ReportLayout::layoutEntry(Composer& c, const PlanEntry& e, const ReportOptions& o,
                               const std::vector<ChannelPage>& channelPages) {
    switch (e.kind) {
    case PageKind::Empty:
        c.startPage({});
        return;
    case PageKind::Channels:
        c.startPage(text(kTextChannels));
        if (e.parameter < int(channelPages.size()))
            layoutChannelPage(c, channelPages[std::size_t(e.parameter)]);
        return;
    case PageKind::TestSheet:
        c.startPage(text(kTextTestSheet));
        if (o.testSheet) layoutTestSheet(c, *o.testSheet);
        return;
    default:
        break;
    }
    for (const SectionSpec& spec : kSections) {
        if (spec.kind != e.kind) continue;
        forms::FeatureArea* a = fields_->area(spec.area);
        c.startPage(a ? text(a->titleText()) : std::string{});
        layoutAreaSheet(c, spec, e.parameter, o.landscape);
        return;
    }
}

void ReportLayout::layoutAreaSheet(Composer& c, const SectionSpec& spec, int sheet, bool landscape) {
    const auto all = sheets(spec, landscape);
    if (sheet < 0 || sheet >= int(all.size())) return;
    int available = 0;
    for (const auto& s : all)
        available += int(s.size());
    for (int page : all[std::size_t(sheet)])
        layoutAreaPage(c, spec, page, available > 1 || spec.pageHeadings[0] != 0);
}

namespace {

// One caption/value row of a form page; a pair (group and channel) has a second value.
struct FormRow {
    bool heading = false;
    std::string caption;
    std::string value;
    std::optional<std::string> second;
};

bool isEdit(forms::FieldKind k) {
    return k == forms::FieldKind::Edit || k == forms::FieldKind::EditSpin;
}

// Column x of each table column: the layout's fixed position, pushed right where the column before it
// would otherwise run into it.
std::vector<double> tableColumns(std::span<const double> wanted, const std::vector<double>& widths) {
    std::vector<double> xs(widths.size());
    for (std::size_t i = 0; i < widths.size(); ++i) {
        double x = i < wanted.size() && wanted[i] > 0 ? wanted[i] : 0;
        if (i > 0) x = std::max(x, xs[i - 1] + widths[i - 1] + 16);
        xs[i] = x;
    }
    return xs;
}

} // namespace

void ReportLayout::layoutAreaPage(Composer& c, const SectionSpec& spec, int page, bool heading) {
    forms::FeatureArea* a = fields_->area(spec.area);
    if (!a) return;
    if (heading) {
        const int h = spec.pageHeadings[std::size_t(std::clamp(page, 0, 1))];
        const int tab = a->pages()[std::size_t(page)].tabText;
        c.subheading(text(h ? h : tab));
    }

    // Form fields.
    std::vector<FormRow> rows;
    std::string gridHeading;
    forms::FieldKind lastKind = forms::FieldKind::None;
    int lastLabel = -1;
    for (int f = 0; f < a->fieldCount(page); ++f) {
        const forms::FieldDescriptor& d = *a->descriptor(page, f);
        const bool enabled = a->isFieldEnabled(page, f);
        if (d.kind == forms::FieldKind::None) {
            lastKind = d.kind;
            continue;
        }
        if (d.kind == forms::FieldKind::Frame) {
            if (spec.framesHeadGrid)
                gridHeading = text(d.labelText);
            else if (spec.framesAsHeadings)
                rows.push_back({true, text(d.labelText), {}, {}});
            lastKind = d.kind;
            continue;
        }
        if (spec.skipDisabled && !enabled) continue;
        std::string value = enabled ? a->fieldText(page, f).text : std::string{};
        if (enabled && value.empty() && d.kind == forms::FieldKind::Check)
            value = text(a->fieldText(page, f).value > 0 ? kTextYes : kTextNo);
        // An edit without a caption of its own, or with its neighbour's, is the second half of a pair
        // (group and channel): printed after the first value.
        const bool joins = isEdit(d.kind) && isEdit(lastKind) && !rows.empty() && !rows.back().heading &&
                           !rows.back().second && (d.labelText == 0 || d.labelText == lastLabel);
        if (joins) {
            rows.back().second = value.empty() ? std::string(kNoPairValue) : value;
            if (rows.back().value == kNoValue) rows.back().value = kNoPairValue;
        } else {
            rows.push_back({false, text(d.labelText), value.empty() ? std::string(kNoValue) : value, {}});
        }
        lastKind = d.kind;
        lastLabel = d.labelText;
    }
    // One value column for all pages of the area, wide enough for its longest caption.
    double captionWidth = 0, firstWidth = 0;
    for (int p = 0; p < a->pageCount(); ++p)
        for (int f = 0; a->pageAvailable(p) && f < a->fieldCount(p); ++f)
            if (const auto* d = a->descriptor(p, f); d->kind != forms::FieldKind::Frame && d->labelText)
                captionWidth = std::max(captionWidth, textWidth(text(d->labelText), kBody));
    for (const FormRow& r : rows)
        if (r.second) firstWidth = std::max(firstWidth, textWidth(r.value, kBody));
    const double valueX = std::max(spec.valueX, spec.captionX + captionWidth + kGap);
    const double dashX = std::max(valueX + 35, valueX + firstWidth + 8);
    const double secondX = dashX + 15;
    for (const FormRow& r : rows) {
        if (r.heading) {
            c.subheading(r.caption);
            continue;
        }
        c.need(kRow);
        c.text(spec.captionX, c.y, r.caption, kBody);
        c.text(valueX, c.y, r.value, kBody);
        if (r.second) {
            c.text(dashX, c.y, "-", kBody);
            c.text(secondX, c.y, *r.second, kBody);
        }
        c.y -= kRow;
    }

    // The grid, as a table.
    auto* grid = dynamic_cast<forms::GridArea*>(a);
    if (!grid || grid->gridRowCount(page) <= 0) return;
    if (!gridHeading.empty()) c.subheading(gridHeading);
    auto* port = dynamic_cast<port::FunctionPortArea*>(a);
    const int rowCount = grid->gridRowCount(page);
    const int valueColumns = grid->gridColumnCount(page);
    // Row-title columns: the pin prefix and name of a function port stand in two columns.
    const int titleColumns = port ? 2 : 1;
    std::vector<std::string> heads(std::size_t(titleColumns + valueColumns));
    if (spec.rowTitleHead) heads[0] = text(spec.rowTitleHead);
    for (int col = 1; col <= valueColumns; ++col)
        heads[std::size_t(titleColumns + col - 1)] = text(grid->gridColumnTitleAt(page, col));
    std::vector<std::vector<std::string>> cells;
    for (int r = 0; r < rowCount; ++r) {
        std::vector<std::string> row;
        if (port) {
            row.push_back(port->pinPrefixText(page, r));
            row.push_back(port->pinNameText(page, r));
        } else {
            std::string title = grid->gridRowTitle(page, r);
            if (spec.padRowNumber && allDigits(title)) title = numberText("%2d", std::stoi(title));
            row.push_back(std::move(title));
        }
        for (int col = 1; col <= valueColumns; ++col) {
            std::string v = grid->isGridCellEnabledAt(page, r, col) ? grid->gridCellTextAt(page, r, col).text
                                                                    : std::string{};
            row.push_back(v.empty() ? std::string(spec.emptyCell) : std::move(v));
        }
        cells.push_back(std::move(row));
    }
    const Font& headFont = spec.largeHead ? kSubheadFont : kColumnHeadFont;
    std::vector<double> widths(heads.size());
    for (std::size_t i = 0; i < heads.size(); ++i) {
        widths[i] = textWidth(heads[i], headFont);
        for (const auto& row : cells)
            widths[i] = std::max(widths[i], textWidth(row[i], kBody));
    }
    const auto xs = tableColumns(spec.gridX, widths);
    const double headHeight = spec.largeHead ? 22 : 16;
    c.need(headHeight + 6 + kRow);
    c.y -= 4;
    for (std::size_t i = 0; i < heads.size(); ++i)
        c.text(xs[i], c.y, heads[i], headFont);
    c.y -= headHeight;
    c.rule(xs.front(), std::min(c.right(), xs.back() + widths.back()), c.y + 1, 0.5);
    c.y -= 5;
    for (const auto& row : cells) {
        c.need(kRow);
        for (std::size_t i = 0; i < row.size(); ++i)
            c.text(xs[i], c.y, row[i], kBody);
        c.y -= kRow;
    }
}

void ReportLayout::layoutChannelPage(Composer& c, const ChannelPage& page) {
    using namespace channels;
    const Font heading{Face::Arial, points(11), false, true};
    auto value = [](forms::FeatureArea& a, int f, const TextSource& texts) {
        if (!a.isFieldEnabled(0, f)) return std::string(kNoValue);
        forms::FieldText t = a.fieldText(0, f);
        if (t.text.empty() && a.descriptor(0, f)->kind == forms::FieldKind::Check)
            return std::string(texts.text(t.value > 0 ? kTextYes : kTextNo));
        return t.text.empty() ? std::string(kNoValue) : t.text;
    };
    const TextSource& texts = boxes_.texts();

    // Columns: the channel fields 2-12 on the left, 13-21 on the right.
    channel_->setChannel(page.group, page.channels.empty() ? 0 : page.channels.front());
    double leftCaption = 0, rightCaption = 0, groupCaption = 0;
    for (int f = chedit::kRx; f < chedit::kFieldCount; ++f) {
        double& widest = f <= chedit::kRepeater ? leftCaption : rightCaption;
        widest = std::max(widest, textWidth(text(channel_->descriptor(0, f)->labelText), kBody));
    }
    group_->setGroup(page.group);
    for (int f = 0; f < group_->fieldCount(0); ++f)
        groupCaption = std::max(groupCaption, textWidth(text(group_->descriptor(0, f)->labelText), kBody));
    const double leftValue = std::max({230.0, kLeft + leftCaption + kGap, kLeft + groupCaption + kGap});
    double leftValueWidth = 0;
    for (int ch : page.channels) {
        channel_->setChannel(page.group, ch);
        for (int f = chedit::kRx; f <= chedit::kRepeater; ++f)
            leftValueWidth = std::max(leftValueWidth, textWidth(value(*channel_, f, texts), kBody));
    }
    const double rightCaptionX = std::max(370.0, leftValue + leftValueWidth + 20);
    const double rightValue = std::max(570.0, rightCaptionX + rightCaption + kGap);

    // Group line, and the group's fields on its first page.
    c.need(kRow + 4);
    c.text(kLeft, c.y, text(kTextGroup), heading);
    c.text(leftValue, c.y, std::to_string(page.group + 1), heading);
    c.y -= kRow + 2;
    if (page.groupBlock) {
        for (int f = 0; f < group_->fieldCount(0); ++f) {
            c.need(kChannelRow);
            c.text(kLeft, c.y, text(group_->descriptor(0, f)->labelText), kBody);
            c.text(leftValue, c.y, value(*group_, f, texts), kBody);
            c.y -= kChannelRow;
        }
    }
    for (int ch : page.channels) {
        channel_->setChannel(page.group, ch);
        const int leftRows = chedit::kRepeater - chedit::kRx + 1;
        c.need(10 + kRow + leftRows * kChannelRow);
        c.y -= 6;
        c.rule(kLeft, c.right(), c.y, 0.5);
        c.y -= 6;
        c.text(kLeft, c.y, text(kTextChannel), heading);
        c.text(leftValue, c.y, std::to_string(ch + 1), heading);
        c.y -= kRow + 2;
        const double top = c.y;
        for (int f = chedit::kRx; f <= chedit::kRepeater; ++f) {
            const double at = top - (f - chedit::kRx) * kChannelRow;
            c.text(kLeft, at, text(channel_->descriptor(0, f)->labelText), kBody);
            c.text(leftValue, at, value(*channel_, f, texts), kBody);
        }
        for (int f = chedit::kBusyLockout; f < chedit::kFieldCount; ++f) {
            const double at = top - (f - chedit::kBusyLockout) * kChannelRow;
            c.text(rightCaptionX, at, text(channel_->descriptor(0, f)->labelText), kBody);
            c.text(rightValue, at, value(*channel_, f, texts), kBody);
        }
        c.y = top - leftRows * kChannelRow;
    }
}

void ReportLayout::layoutTestSheet(Composer& c, const TestSheetValues& values) {
    struct Row {
        std::string title;
        std::string value;
    };
    // Items 0 to 9 in the left column, the others in a right column from the top again, in either
    // orientation.
    std::array<std::vector<Row>, 2> columns;
    for (int item : values.items) {
        if (item < 0 || item >= comm::kAdjustmentItemCount) continue;
        const auto& info = comm::kAdjustmentItems[std::size_t(item)];
        for (int spacing = 0; spacing < (comm::adjustmentPerSpacing(item) ? 2 : 1); ++spacing)
            for (int tab = 0; tab < info.tabs; ++tab) {
                std::string title = comm::adjustmentTitle(boxes_.texts(), item, spacing);
                if (info.tabs > 1) title += " (" + text(comm::kTabTexts[std::size_t(tab)]) + ")";
                const Byte v = values.record[comm::adjustmentRecordIndex(item, tab, spacing)];
                columns[item < 10 ? 0 : 1].push_back({std::move(title), std::to_string(v)});
            }
    }
    // The volume the values were taken at closes the right column.
    columns[1].push_back({text(comm::kTextVolume), std::to_string(values.record[comm::kRecordVolume])});
    // The widest titles decide the columns; a page too narrow for them takes a smaller face.
    Font f = kBody;
    double leftValue = 250, rightTitle = 350, rightValue = 600;
    for (double h = kBody.height; h >= 9; h -= 1) {
        f.height = h;
        double w[2] = {0, 0};
        for (int i = 0; i < 2; ++i)
            for (const Row& r : columns[std::size_t(i)])
                w[i] = std::max(w[i], textWidth(r.title, f));
        leftValue = std::max(250.0, kLeft + w[0] + kGap);
        rightTitle = std::max(350.0, leftValue + textWidth("255", f) + 30);
        rightValue = std::max(600.0, rightTitle + w[1] + kGap);
        if (rightValue + textWidth("255", f) <= c.right()) break;
    }
    const double top = c.y;
    double lowest = top;
    for (int i = 0; i < 2; ++i) {
        c.y = top;
        for (const Row& r : columns[std::size_t(i)]) {
            c.text(i == 0 ? kLeft : rightTitle, c.y, r.title, f);
            c.text(i == 0 ? leftValue : rightValue, c.y, r.value, f);
            c.y -= kChannelRow;
        }
        lowest = std::min(lowest, c.y);
    }
    c.y = lowest;
}

} // namespace velora::print
