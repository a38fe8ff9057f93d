#pragma once
// A fleet production run: every row of a manifest written into its own radio, on one port or
// several. Per port, row by row: wait for a radio to answer, build the row's data set, write (and
// verify) it in the very session that found the radio, save it as OUT/LABEL.dat, log a line, and
// wait until the radio is gone before the next row, so the same radio is never written twice.
//
// The run shows nothing itself: it reports to a FleetObserver and decides every question itself
// (retries from a budget, the model and version questions from the force options), so it runs
// unattended on worker threads. The command line runs one thread per port; the application may do
// the same or call run(). stop() and skipWait() may be called from any thread.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "base/TextSource.h"
#include "comm/ByteLink.h"
#include "comm/RadioProtocol.h"
#include "comm/RadioTransfer.h"
#include "dataset/FleetManifest.h"
#include "model/Document.h"

namespace velora::comm {

// One line the run works on. The link is the caller's and used only by that port's thread.
struct FleetPort {
    ByteLink* link = nullptr;
    std::string name;    // for messages and the log: "COM3 (/dev/ttyUSB0)" or the device path
    bool device = false; // given by device path (true) or by port number (false)
    std::string value;   // the path or the number as given, matched against a row's device or port
};

// A row bound to a port or device goes only to the line given for it.
bool rowFits(const fleet::ManifestRow& row, const FleetPort& port);
// For a row bound to a line none of `ports` is, why it cannot be written ("line 4: radio 'A' is
// bound to port 3, which is not given"); a run is not started with such a row.
std::optional<std::string> unboundRow(const fleet::ManifestRow& row, const std::vector<FleetPort>& ports);

// The lines of every row bound to a line none of `ports` is, in manifest order.
std::vector<std::string> unboundRows(const fleet::Manifest& m, const std::vector<FleetPort>& ports);

// --- the check a manifest passes before anything is written -------------------------------------

// One row built from the base as the run will build it.
struct CheckedRow {
    fleet::RowBuild build;
    // What entering the values said (a frequency outside the band, ...), in order. Nobody is asked:
    // a question took its first button.
    std::vector<Message> messages;
    std::optional<std::string> unbound; // bound to a line not given (only when the lines are)
    std::optional<Document> doc;        // the base with the row entered, when kept and not refused
};

struct FleetCheckOptions {
    const std::vector<FleetPort>* ports = nullptr; // the lines chosen; nullptr: bindings not checked
    bool allowDuplicates = false;
    bool keepDocuments = false; // keep each row's data set (a large fleet would hold many)
};

struct FleetCheck {
    std::vector<CheckedRow> rows;        // one per manifest row
    std::vector<std::string> duplicates; // duplicateLines of the built rows
    bool allowDuplicates = false;

    std::size_t refusedRows() const; // refused while entering its values, or bound to a line not given
    // True when a run may start: no row refused or unbound, no duplicate unless allowed.
    bool passed() const;
};

// Builds every row (its refusal naming line and column), checks the rows' bindings against the
// lines and the fleet for values two radios may not share. Every way into a run checks by this.
FleetCheck checkFleet(const fleet::Manifest& m, const Document& base, const TextSource& texts,
                      const FleetCheckOptions& options);

struct FleetOptions {
    bool verify = false;
    int retries = 2;                     // retries granted to each radio's transfer after a failed frame
    bool forceModel = false;             // write a radio of another model than the base
    bool forceVersion = false;           // write a radio of an older version
    std::chrono::milliseconds poll{500}; // between looks for a radio, and for its going
    std::filesystem::path out;           // each written data set is saved here as LABEL.dat
};

enum class RowState { Waiting, Writing, Verifying, Written, Verified, Failed, Skipped };

// A row's state on a port. Writing and Verifying carry the progress; the end states the result.
struct RowUpdate {
    std::size_t row = 0;  // manifest row
    std::size_t port = 0; // index into the ports
    RowState state = RowState::Waiting;
    int block = 0, position = 0, total = 0; // the block label, the bar position and its end
    std::string result; // end states: the log's result ("verified", "failed at ...", "skipped: ...")
    double fraction() const { return total > 0 ? double(position) / total : 0.0; }
    bool ended() const { return state >= RowState::Written; }
};

// Where a message of the run arose: the port did not open (text: the system's reason), entering the
// row's values, the pre-write check, the transfer, saving LABEL.dat (text: "FILE: the system's
// reason"; the radio is written all the same).
enum class FleetStep { PortUnusable, Build, Check, Transfer, Save };

struct FleetMessage {
    std::size_t port = 0;
    std::optional<std::size_t> row;
    FleetStep step = FleetStep::Transfer;
    Message message;
    // The answer the run gave: Retry while the retry budget lasts, Ok to a question the force
    // options allow; otherwise the first button (Cancel to a refused question).
    MsgAnswer answer = MsgAnswer::Ok;
};

// Called on the port threads, several at once when there are several ports: lock what you share.
class FleetObserver {
  public:
    virtual ~FleetObserver() = default;
    virtual void rowChanged(const RowUpdate& update) = 0;
    // The port waits for the row's radio: "connect radio 'NAME' (row i of N)".
    virtual void connectPrompt(std::size_t port, std::size_t row, const std::string& text) = 0;
    virtual void message(const FleetMessage& message) = 0;
};

// The labels a production log shows written, each with the result of its last written line, so a
// resumed run skips their rows and a window can mark them.
using WrittenRadios = std::map<std::string, std::string>;
WrittenRadios writtenInLog(const std::filesystem::path& log);

// A radio's model as the log names it: "RM-420 ... (identification bytes)".
std::string modelText(const Identification& id);
// The label as a file name: characters a file name cannot hold safely become '_'.
std::string fileLabel(const std::string& label);
// The log's result of a transfer outcome: "written", "verified", "skipped: ...", "failed at ...".
std::string resultText(const TransferOutcome& outcome, bool verify);

class FleetRun {
  public:
    // Manifest, base and texts must outlive the run. The base passed the pre-write check.
    FleetRun(const fleet::Manifest& manifest, const Document& base, const TextSource& texts,
             std::vector<FleetPort> ports, FleetOptions options, FleetObserver& observer);

    // The rows to write, in manifest order: all but those whose labels are in `done`.
    void skipRows(const WrittenRadios& done);
    // Opens the log for appending (with its header when new); false when it cannot be written.
    bool openLog(const std::filesystem::path& path);

    // One port's share of the run, on the calling thread; the caller runs one per port at once.
    void runPort(std::size_t port);
    // Every port on its own thread; returns when all are done or stopped.
    void run();

    // Ends the run once the radios being written are done; waits end at once.
    void stop() { requests_->stop = true; }
    // Ends the current wait of a one-port run: for a radio (written without being seen) or for the
    // last one to go.
    void skipWait() { requests_->skipWait = true; }
    bool stopped() const { return requests_->stop; }
    // The same requests, for a thread that may outlive the run (one blocked reading a terminal).
    struct Requests {
        std::atomic<bool> stop{false};
        std::atomic<bool> skipWait{false};
    };
    std::shared_ptr<Requests> requests() const { return requests_; }

    // Rows the run sets out to write, and those that ended, in the order they ended; safe to ask
    // while the run goes on.
    std::vector<std::size_t> pending() const;
    std::vector<RowUpdate> outcomes() const;

  private:
    std::optional<std::size_t> take(const FleetPort& port);
    bool more(const FleetPort& port);
    // Sleeps what is left of a poll interval from `since`, waking early on stop or (`skippable`)
    // a skip request.
    void pause(bool skippable, std::chrono::steady_clock::time_point since);
    void record(const fleet::LogLine& line, const RowUpdate& outcome);

    const fleet::Manifest& manifest_;
    const Document& base_;
    const TextSource& texts_;
    std::vector<FleetPort> ports_;
    FleetOptions options_;
    FleetObserver& observer_;
    std::vector<std::size_t> pending_;
    std::size_t taken_ = 0;
    mutable std::mutex mutex_;
    std::ofstream log_;
    std::vector<RowUpdate> outcomes_;
    std::shared_ptr<Requests> requests_ = std::make_shared<Requests>();
};

} // namespace velora::comm
