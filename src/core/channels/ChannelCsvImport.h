#pragma once
// Channel lists as CSV files, read and written the same way by velora-cli and the application:
// the program's own columns (channelCsvColumns) and the generic CHIRP-style list that frequency-list
// sites publish. Every value goes in through the channel fields the grid uses, under one policy for
// both formats (csvimport below). An import is all or nothing: on a refusal the working copy is left
// exactly as it was.
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messenger.h"
#include "channels/ChannelStore.h"

namespace velora {

enum class ChannelCsvFormat { Velora, Chirp };

struct ChannelCsvOptions {
    int group = 0;             // CHIRP lists fill one group (0-based)
    bool skipUnusable = false; // rows the radio cannot hold are left out instead of refusing
    bool trial = false;        // the working copy is put back whatever the outcome: what would happen
};

struct ChannelCsvResult {
    bool ok = false;
    ChannelCsvFormat format = ChannelCsvFormat::Velora;
    int rows = 0;                      // rows imported
    std::string error;                 // the refusal, naming the source and line
    std::vector<std::string> unusable; // "SOURCE: line N: reason" for each row the radio cannot hold
    std::vector<std::string> deleted;  // "channel N NAME": channels of the group a CHIRP list does not name
};

// Which format a header row names; CHIRP lists are told by their Location and Frequency columns.
ChannelCsvFormat channelCsvFormatOf(const std::vector<std::string>& header);

// The header's column names, trimmed and lower-cased, without the byte-order mark spreadsheet
// programs put first; nullopt without a readable header line. `line` counts the lines read.
std::optional<std::vector<std::string>> readChannelCsvHeader(std::istream& in, int& line);
// The format of the list `in` holds, as the import will read it; nullopt without a header.
std::optional<ChannelCsvFormat> channelCsvFormatOf(std::istream& in);

// Reads the header, then every row. `source` prefixes every message and the refusal ("in.csv").
// Messages the channel fields show (band, narrow-band, rounding) reach `boxes` prefixed with the
// source and line.
ChannelCsvResult importChannelCsv(std::istream& in, const std::string& source, ChannelStore& store,
                                  MessageBoxes& boxes, const ChannelCsvOptions& options = {});

// Every channel of every group in the program's own columns.
void writeChannelCsv(std::ostream& out, ChannelStore& store, MessageBoxes& boxes);

namespace csvimport {
// Shared by both formats: messages prefixed with "SOURCE: line N", counted, passed on.
class LineMessenger : public Messenger {
  public:
    explicit LineMessenger(Messenger& next) : next_(next) {}
    MsgAnswer show(const Message& m) override;
    std::string where; // "in.csv: line 3"
    int warnings = 0;

  private:
    Messenger& next_;
};

std::string trim(std::string s);
std::string lower(std::string s);

// A data row of a CSV body: its first line, "SOURCE: line N" and its cells by column name.
struct DataRow {
    int line = 0;
    std::string where;
    std::map<std::string, std::string> cells;
};
// The next row that is not blank; nullopt at the end of the input, and also, with `error` set to
// the refusal of the whole import, for a row that cannot be read or has more fields than the header.
std::optional<DataRow> nextDataRow(std::istream& in, int& line, const std::vector<std::string>& columns,
                                   const std::string& source, std::string& error);

// Messages kept until a row is known to be usable; a refused row's messages are dropped.
class Recorder : public Messenger {
  public:
    MsgAnswer show(const Message& m) override;
    std::vector<Message> shown;
};

// The one policy both formats follow for a channel's values. A value the radio cannot hold as written
// is refused: the functions return the reason (empty when the value is fine) and store nothing. A
// value the channel step, the narrow-band rule or the name length changes is stored with a warning.

// Stores a frequency as typed into the grid, creating the channel for rx. A value the grid would move
// to the band edge is refused; one inside the wide limits is kept with the grid's band warning.
// `label` names the column and the value in the reason.
std::string storeListFrequency(ChannelStore& store, MessageBoxes& boxes, const LineMessenger& lines, int g,
                               int c, ChannelField field, const std::string& typed, const std::string& label);

// A tone as written in a list ("Off" or empty, "88.5", "D023N", "D023" with '.' as the point) as the
// grid's text in `grid`; refused when it is not one of the radio's tone choices exactly.
std::string listTone(const std::string& written, std::string_view offText, char point, std::string& grid);

// A channel name under the grid's name rules: lower case becomes capitals, other characters outside
// the name set are refused; a longer name is cut to `length` with a warning.
std::string listName(const std::string& written, int length, MessageBoxes& boxes, std::string& grid);

// Wide or narrow, as the narrow-band rule allows; the rule's warning when it keeps the channel narrow.
// False, storing nothing, on a low-band channel whose bandwidth bit is the noise blanker's.
bool storeListBandwidth(ChannelStore& store, MessageBoxes& boxes, int g, int c, bool wide);
} // namespace csvimport

} // namespace velora
