#pragma once
// The printed report of a data set: which sections are chosen, the page plan (one entry per printed
// page, by orientation), and every page laid out as a PageDescription. Each section's captions and
// values are the texts its editor shows, taken through the same field-text code (feature areas from
// the registry, the channel and group edit areas), so a printed value never differs from the view's.
#include <ctime>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messenger.h"
#include "comm/TestMode.h"
#include "model/Document.h"
#include "print/PageDescription.h"

namespace velora::forms {
class FieldAccess;
}
namespace velora::channels {
class ChEditArea;
class GrEditArea;
} // namespace velora::channels

namespace velora {
class ChannelStore;
}

namespace velora::print {

// Section flags of the selection.
namespace section {
inline constexpr unsigned kModel = 0x0001; // printed in every page header
inline constexpr unsigned kOptions = 0x0002;
inline constexpr unsigned kKeys = 0x0004;
inline constexpr unsigned kScan = 0x0008;
inline constexpr unsigned kTwoTone = 0x0010;
inline constexpr unsigned kDtmf = 0x0020;
inline constexpr unsigned kDravix = 0x0040;
inline constexpr unsigned kEmergency = 0x0080;
inline constexpr unsigned kOst = 0x0100;
inline constexpr unsigned kFunctionPort = 0x0200;
inline constexpr unsigned kRemoteList = 0x0400;
inline constexpr unsigned kRepeaterList = 0x0800;
inline constexpr unsigned kTestFrequency = 0x1000;
inline constexpr unsigned kMessage = 0x2000; // printed in every page header
inline constexpr unsigned kChannels = 0x4000;
inline constexpr unsigned kTestSheet = 0x8000; // test mode's adjustment values
inline constexpr unsigned kAll = 0x7FFF;       // every section but the test-mode sheet
} // namespace section

inline constexpr int kFirstGroup = 1;
inline constexpr int kLastGroup = 160;

struct Selection {
    unsigned sections = section::kModel | section::kMessage;
    int startGroup = kFirstGroup; // channel information: groups Start..End, counted from 1
    int endGroup = kLastGroup;
    bool has(unsigned flag) const { return (sections & flag) != 0; }
    bool operator==(const Selection&) const = default;
};

// A section of the dialog: its flag, the caption text of its check box and its name in lists
// ("options", "channels"), which is the feature area's name where it prints one.
struct SectionInfo {
    unsigned flag;
    int captionText;
    std::string_view name;
};
std::span<const SectionInfo> dialogSections();

// The range edits of the dialog: a typed number is held to 1..160; Start beyond End moves End up,
// End below Start moves Start down.
struct GroupRange {
    int start = kFirstGroup;
    int end = kLastGroup;
    bool operator==(const GroupRange&) const = default;
};
GroupRange withStart(GroupRange r, int typed);
GroupRange withEnd(GroupRange r, int typed);

// Every section but the test-mode sheet (the repeater list only for a dual-band data set), groups
// 1 to 160: what Print Preview and a plain export print.
Selection everySection(const Document& doc);

// A comma-separated list of section names ("model,message,channels:5-20", "all"); nullopt with
// `error` set for an unknown name or a malformed range.
std::optional<Selection> parseSections(std::string_view list, const Document& doc,
                                       std::string* error = nullptr);

// Page kinds of the plan.
enum class PageKind : int {
    Options = 1,
    Keys = 2,
    Scan = 3,
    TwoTone = 4,
    Dtmf = 5,
    Dravix = 6,
    Emergency = 7,
    Ost = 8,
    FunctionPort = 9,
    RemoteList = 10,
    RepeaterList = 11,
    TestFrequency = 12,
    Channels = 14,
    TestSheet = 17,
    Empty = 0, // the one page of a report with nothing but its header
};

struct PlanEntry {
    PageKind kind = PageKind::Empty;
    int parameter = 0;
    bool operator==(const PlanEntry&) const = default;
};

// One page of channel information: the group block on a group's first page, then its channels.
struct ChannelPage {
    bool groupBlock = false;
    int group = 0;             // 0-based
    std::vector<int> channels; // 0-based channel numbers, in list order
    bool operator==(const ChannelPage&) const = default;
};

// The values test mode prints: its adjustment record and the items it lists for the radio.
struct TestSheetValues {
    comm::AdjustmentRecord record{};
    std::vector<int> items;
};

struct ReportOptions {
    Selection selection;
    bool landscape = false;
    // The printable area in units; the layout keeps its own margins inside it.
    double width = 800;
    double height = 1050;
    std::string stamp;                          // date and time in the header
    const TestSheetValues* testSheet = nullptr; // required by the test-mode sheet
};

// Date and time as the header shows them: the locale's short date, a blank, its time ("%x %X").
std::string headerStamp(std::time_t when);
// The time a report is made: now, or SOURCE_DATE_EPOCH when set, so a report can be made again
// byte for byte.
std::time_t reportTime();

class ReportLayout {
  public:
    ReportLayout(Document& doc, MessageBoxes& boxes);
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    // One entry per planned page, in print order; at least one entry.
    std::vector<PlanEntry> pagePlan(const Selection& selection, bool landscape);
    // The channel pages of the selection's group range (parameter n of a Channels entry).
    std::vector<ChannelPage> channelPages(const Selection& selection, bool landscape) const;

    // Lays out every page. A planned page whose rows do not fit continues on a further page.
    PageDescription build(const ReportOptions& options);

    struct SectionSpec;

  private:
    class Composer;
    void layoutEntry(Composer& c, const PlanEntry& e, const ReportOptions& o,
                     const std::vector<ChannelPage>& channelPages);
    void layoutAreaSheet(Composer& c, const SectionSpec& spec, int sheet, bool landscape);
    void layoutAreaPage(Composer& c, const SectionSpec& spec, int page, bool heading);
    void layoutChannelPage(Composer& c, const ChannelPage& page);
    void layoutTestSheet(Composer& c, const TestSheetValues& values);
    std::vector<std::vector<int>> sheets(const SectionSpec& spec, bool landscape);
    std::string text(int number) const;

    Document& doc_;
    MessageBoxes& boxes_;
    std::unique_ptr<forms::FieldAccess> fields_;
    std::unique_ptr<ChannelStore> store_;
    std::unique_ptr<channels::ChEditArea> channel_;
    std::unique_ptr<channels::GrEditArea> group_;
};

} // namespace velora::print
