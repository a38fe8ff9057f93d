#include "print/DeliverySheet.h"

#include <algorithm>
#include <map>

#include "base/Latin1.h"
#include "model/ModelCatalogue.h"

namespace velora::print {

namespace {

// Units of 0.01 inch, y up from the printable area's top-left corner. The gaps are chosen for the
// text form as well: rows 20 apart are consecutive lines, a gap over 32 leaves one blank line.
constexpr double kLeft = 20;
constexpr double kRightMargin = 33;
constexpr double kBottomMargin = 11;
constexpr double kRow = 20;
constexpr double kWrappedRow = 18;
constexpr double kHeadTop = -50;   // the first line under the title
constexpr double kTableGap = 40;   // from the last head line to the first radio
constexpr double kBottomRoom = 30; // kept free above the bottom edge
constexpr int kValueColumn = 11;   // "Customer:  " and the other head captions
constexpr std::size_t kMinLabelWidth = 5;
constexpr std::size_t kMinWrap = 12; // characters of values per line, however full the line is

constexpr Font kBody{Face::CourierNew, 14};
const Font kTitleFont{Face::Arial, 25, false, true};
const Font kPageFont{Face::Arial, points(9)};

constexpr double kCell = fixedAdvance(kBody.height);

double columnX(std::size_t column) {
    return kLeft + double(column) * kCell;
}

// The log and the manifest hold UTF-8; a page holds one byte per character. A character without a
// byte prints as '?'.
std::string pageText(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const Latin1Text one = utf8ToLatin1(utf8.substr(i, n));
        out += one.status == Latin1Text::Status::Ok ? one.text : std::string("?");
        i += std::min(n, utf8.size() - i);
    }
    return out;
}

// The values split into lines of at most `room` characters, at the "; " between two fields where
// one fits, else within a field.
std::vector<std::string> wrapValues(const std::string& values, std::size_t room) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < values.size()) {
        std::size_t end = values.find("; ", at);
        std::string field = values.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        at = end == std::string::npos ? values.size() : end + 2;
        if (!line.empty() && line.size() + 1 + field.size() > room) {
            lines.push_back(line);
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += field;
        while (line.size() > room) {
            lines.push_back(line.substr(0, room));
            line.erase(0, room);
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

class Sheet {
  public:
    Sheet(PageDescription& out, std::string title) : out_(out), title_(std::move(title)) { newPage(); }

    double right() const { return out_.width - kRightMargin; }
    // Room for `h` more units, on a further page when this one is full.
    void need(double h) {
        if (y - h < -(out_.height - kBottomMargin) + kBottomRoom && y < kHeadTop) newPage();
    }
    void text(double x, double top, std::string s, const Font& f = kBody, Align a = Align::Left) {
        if (!s.empty()) out_.pages.back().texts.push_back({x, top, std::move(s), f, a});
    }
    void shade(double top, double h) {
        out_.pages.back().boxes.push_back({kLeft - 6, top + 5, right() - kLeft + 12, h, true});
    }

    double y = 0;

  private:
    void newPage() {
        out_.pages.emplace_back();
        text(kLeft, 0, title_, kTitleFont);
        y = kHeadTop;
    }

    PageDescription& out_;
    std::string title_;
};

} // namespace

void describeBase(DeliveryHead& head, const Document& base) {
    head.dataSet = base.fileName();
    head.models.clear();
    const ModelIdentification id = identificationOf(base.image());
    head.models.push_back(modelAndBandName(id, kModel1));
    if (id.isDualBand()) head.models.push_back(modelAndBandName(id, kModel1 + 1));
}

std::string deliveryDate(std::time_t when) {
    return localTimeText(when, "%Y-%m-%d");
}

std::vector<fleet::LogLine> deliveredRadios(const std::vector<fleet::LogLine>& log) {
    std::vector<fleet::LogLine> radios;
    std::map<std::string, std::size_t> at;
    for (const fleet::LogLine& l : log) {
        if (auto [it, fresh] = at.emplace(l.radio, radios.size()); !fresh)
            radios[it->second] = l;
        else
            radios.push_back(l);
    }
    return radios;
}

PageDescription deliverySheet(const DeliveryHead& head, const std::vector<fleet::LogLine>& log,
                              const TextSource& texts, double width, double height, bool landscape) {
    PageDescription out;
    out.width = width;
    out.height = height;
    out.landscape = landscape;
    Sheet s(out, std::string(texts.text(kTextDeliverySheet)));

    std::vector<std::pair<std::string, std::string>> rows;
    if (!head.customer.empty()) rows.emplace_back(texts.text(kTextCustomer), pageText(head.customer));
    rows.emplace_back(texts.text(kTextDate), pageText(head.date));
    if (!head.dataSet.empty()) {
        rows.emplace_back(texts.text(kTextDataSet), pageText(head.dataSet));
        std::string models;
        for (const std::string& m : head.models)
            models += (models.empty() ? "" : ", ") + pageText(m);
        rows.emplace_back(texts.text(kTextModels), models);
    }
    const std::vector<fleet::LogLine> radios = deliveredRadios(log);
    rows.emplace_back(texts.text(kTextRadios), std::to_string(radios.size()));
    s.shade(s.y, double(rows.size()) * kRow);
    for (const auto& [caption, value] : rows) {
        s.text(columnX(0), s.y, caption);
        s.text(columnX(std::max<std::size_t>(kValueColumn, caption.size() + 1)), s.y, value);
        s.y -= kRow;
    }
    s.y -= kTableGap - kRow;

    std::size_t labelWidth = kMinLabelWidth;
    for (const fleet::LogLine& r : radios)
        labelWidth = std::max(labelWidth, pageText(r.radio).size());
    for (const fleet::LogLine& r : radios) {
        std::string label = pageText(r.radio), result = pageText(r.result);
        const std::size_t valueColumn = labelWidth + 2 + result.size() + 2;
        const double room = (s.right() - columnX(valueColumn)) / kCell;
        const auto values =
            wrapValues(pageText(r.values), std::max(kMinWrap, std::size_t(std::max(0.0, room))));
        s.need(kRow + double(values.size() - 1) * kWrappedRow);
        s.text(columnX(0), s.y, std::move(label));
        s.text(columnX(labelWidth + 2), s.y, std::move(result));
        for (std::size_t i = 0; i < values.size(); ++i) {
            s.text(columnX(valueColumn), s.y, values[i]);
            s.y -= i + 1 < values.size() ? kWrappedRow : kRow;
        }
    }

    if (out.pages.size() > 1)
        for (std::size_t p = 0; p < out.pages.size(); ++p)
            out.pages[p].texts.push_back(
                {out.width - kRightMargin, -4,
                 formatText(texts.text(kTextPageOf),
                            {std::to_string(p + 1), std::to_string(out.pages.size())}),
                 kPageFont, Align::Right});
    return out;
}

} // namespace velora::print
