#pragma once
// Channel lists as CSV files, read and written the same way by velora-cli and the application:
// the program's own columns (channelCsvColumns) and the generic CHIRP-style list that frequency-list
// sites publish. Every value goes in through the channel fields the grid uses. An import is all or
// nothing: on a refusal the working copy is left exactly as it was.
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "channels/ChannelStore.h"

namespace velora {

enum class ChannelCsvFormat { Velora, Chirp };

struct ChannelCsvOptions {
    int group = 0;             // CHIRP lists fill one group (0-based)
    bool skipUnusable = false; // CHIRP rows the radio cannot hold are left out instead of refusing
};

struct ChannelCsvResult {
    bool ok = false;
    ChannelCsvFormat format = ChannelCsvFormat::Velora;
    int rows = 0;                      // rows imported
    std::string error;                 // the refusal, naming the source and line
    std::vector<std::string> unusable; // "SOURCE: line N: reason" for each CHIRP row the radio cannot hold
};

// Which format a header row names; CHIRP lists are told by their Location and Frequency columns.
ChannelCsvFormat channelCsvFormatOf(const std::vector<std::string>& header);

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

// Stores a frequency as typed into the grid (the result of setChannelFieldText). The channel step
// may round it down without a message, as the grid shows the result at once; here a warning names it.
bool storeTypedFrequency(ChannelStore& store, MessageBoxes& boxes, const LineMessenger& lines, int g, int c,
                         ChannelField field, const std::string& typed);
} // namespace csvimport

} // namespace velora
