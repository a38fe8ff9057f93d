// velora-cli read / write: the radio transfers with progress on stderr and prompts as flags; a write
// to several ports at once runs one transfer per radio, each on its own thread.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

#include "CliArgs.h"
#include "CliSession.h"
#include "base/PortMap.h"
#include "comm/FleetRun.h"
#include "comm/RadioFinder.h"
#include "comm/RadioTransfer.h"
#include "comm/SerialPort.h"
#include "comm/TtyProbe.h"
#include "dataset/PreWriteCheck.h"
#include "dataset/RadioHistory.h"

namespace velora::cli {

namespace {

constexpr int kDefaultRetries = 2;
constexpr int kMaxPort = 20;

// What went wrong with a transfer on the line named `where`.
std::string failureText(const comm::TransferOutcome& o, const std::string& where) {
    if (o.stage == comm::TransferStage::OpenPort)
        return "the port cannot be opened: " + comm::portReason(o.port.message, where);
    return comm::describe(o);
}

// The questions that guard a write, each answered "go on" only with its own flag (--force: both).
struct WriteConsent {
    bool oldVersion = false; // --force-version: the radio is of an older version
    bool otherModel = false; // --force-model: the radio is another model than the data set
};

// Retry prompts are answered from a budget; the write's questions from the consent flags.
class CliTransferUi : public comm::TransferUi {
  public:
    // `bar`: draw a progress bar on a terminal (a fleet write draws its own lines instead).
    CliTransferUi(CliMessenger& out, const TextSource& texts, int retries, WriteConsent consent,
                  bool bar = true)
        : out_(out), texts_(texts), retries_(retries), granted_(retries), consent_(consent),
          tty_(bar && ::isatty(STDERR_FILENO) != 0) {}

    void showProgress(int counter, int position, int total) override {
        last_ = counter;
        total_ = total;
        if (!tty_ || total <= 0) return;
        constexpr int kWidth = 30;
        const int filled = position * kWidth / total;
        std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] "
                  << comm::blockLabel(texts_, counter, total) << std::flush;
    }

    MsgAnswer show(const Message& m) override {
        endBar();
        out_.show(m);
        switch (m.buttons) {
        case MsgButtons::RetryCancel:
            if (retries_ > 0) {
                --retries_;
                std::cerr << "velora-cli: " << (out_.context.empty() ? "" : out_.context + ": ")
                          << "retrying\n";
                return MsgAnswer::Retry;
            }
            return MsgAnswer::Cancel;
        case MsgButtons::OkCancel: {
            // The model question has its text number; the version warning is composed.
            const bool model = m.textId == comm::kTextModelDiffers;
            if (model ? consent_.otherModel : consent_.oldVersion) return MsgAnswer::Ok;
            std::cerr << "velora-cli: " << (out_.context.empty() ? "" : out_.context + ": ")
                      << "refused; use " << (model ? "--force-model" : "--force-version")
                      << " to write anyway\n";
            return MsgAnswer::Cancel;
        }
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return consent_.oldVersion && consent_.otherModel ? MsgAnswer::Yes : MsgAnswer::No;
        default:
            return MsgAnswer::Ok;
        }
    }

    void endBar() {
        if (tty_ && total_ > 0) std::cerr << '\n';
        total_ = 0;
    }
    int blocks() const { return last_; }
    int retriesUsed() const { return granted_ - retries_; }

  protected:
    const TextSource& texts() const { return texts_; }

  private:
    CliMessenger& out_;
    const TextSource& texts_;
    int retries_;
    int granted_;
    WriteConsent consent_;
    bool tty_;
    int last_ = 0;
    int total_ = 0;
};

struct LinkOptions {
    comm::SerialPort port;
    std::string where;
};

// One --device PATH or --port N of the command line, in the order given.
struct Target {
    bool device = false;
    std::string value;
};

// Takes every --device and --port out of the arguments (they may repeat for a fleet write).
std::vector<Target> takeTargets(std::vector<std::string>& args) {
    std::vector<Target> targets;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--device" || args[i] == "--port") && i + 1 < args.size()) {
            targets.push_back({args[i] == "--device", args[i + 1]});
            ++i;
        } else {
            rest.push_back(args[i]);
        }
    }
    args = std::move(rest);
    return targets;
}

// --device PATH or --port N (1..20); the port number keeps the status bar's numbering and, as in the
// application, names the device the user mapped it to.
bool setUpTarget(const Target& t, LinkOptions& link) {
    const std::optional<std::string> device = t.device ? std::optional(t.value) : std::nullopt;
    const std::optional<std::string> port = t.device ? std::nullopt : std::optional(t.value);
    if (device) {
        link.port.setPortNumber(1);
        link.port.setDevicePath(1, *device);
        link.where = *device;
        return true;
    }
    int n = 0;
    try {
        std::size_t used = 0;
        n = std::stoi(*port, &used);
        if (used != port->size()) n = 0; // "3x" must not quietly become COM3
    } catch (...) {
    }
    if (n < 1 || n > kMaxPort || !link.port.setPortNumber(n)) {
        printError("--port must be 1 to 20");
        return false;
    }
    link.port.setDevicePaths(settings::readPortMap(settings::settingsFile(
        settings::kSettingsOrganisation, settings::kSettingsApplication, std::getenv)));
    link.where = "COM" + std::to_string(n) + " (" + link.port.devicePath(n) + ")";
    return true;
}

// Two targets that reach the same device (the same path, a link to it, or a port mapped to it) would
// have two transfers fight over one radio.
bool sameDevice(const LinkOptions& a, const LinkOptions& b) {
    const std::string pa = a.port.devicePath(a.port.portNumber()),
                      pb = b.port.devicePath(b.port.portNumber());
    struct stat sa {};
    struct stat sb {};
    if (::stat(pa.c_str(), &sa) == 0 && ::stat(pb.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return pa == pb;
}

bool setUpPort(const std::vector<Target>& targets, LinkOptions& link) {
    if (targets.size() != 1) {
        printError("give either --device PATH or --port N");
        return false;
    }
    return setUpTarget(targets[0], link);
}

// A whole-number option within its limits, or the fallback when it is not given; a value outside
// the limits is refused naming them.
std::optional<int> boundedOption(const CliArgs& a, const std::string& name, int fallback, int lo, int hi,
                                 const std::string& unit = {}) {
    auto r = a.value(name);
    if (!r) return fallback;
    try {
        std::size_t used = 0;
        int n = std::stoi(*r, &used);
        if (used == r->size() && n >= lo && n <= hi) return n;
    } catch (...) {
    }
    printError(name + " must be " + std::to_string(lo) + " to " + std::to_string(hi) + unit);
    return std::nullopt;
}

std::optional<int> retriesOption(const CliArgs& a) { return boundedOption(a, "--retries", kDefaultRetries, 0, 100); }

// One link per target; a device named twice (by path, link or mapped port) is refused before
// anything is sent.
std::optional<std::vector<std::unique_ptr<LinkOptions>>> setUpLinks(const std::vector<Target>& targets) {
    std::vector<std::unique_ptr<LinkOptions>> links;
    for (const Target& t : targets) {
        links.push_back(std::make_unique<LinkOptions>());
        if (!setUpTarget(t, *links.back())) return std::nullopt;
        for (std::size_t i = 0; i + 1 < links.size(); ++i)
            if (sameDevice(*links[i], *links.back())) {
                printError(links.back()->where + " is the same device as " + links[i]->where +
                           "; give each radio once. Nothing was written");
                return std::nullopt;
            }
    }
    return links;
}

// The terminal lines of a fleet write: one progress line per radio, redrawn in place, with the
// radios' messages printed above them. Every output of the transfer threads goes through it.
class FleetBoard {
  public:
    explicit FleetBoard(std::size_t radios) : lines_(radios), tty_(::isatty(STDERR_FILENO) != 0) {}

    void progress(std::size_t radio, std::string line) {
        std::lock_guard lock(mutex_);
        lines_[radio] = std::move(line);
        if (tty_) redraw();
    }
    // Runs `print` (which writes whole lines to stderr) with the progress lines out of its way.
    template <class F> auto message(F print) {
        std::lock_guard lock(mutex_);
        if (tty_ && drawn_) std::cerr << "\x1b[" << lines_.size() << "A\r\x1b[J";
        drawn_ = false;
        auto r = print();
        if (tty_) redraw();
        return r;
    }
    void done() {
        std::lock_guard lock(mutex_);
        if (tty_) redraw();
    }

  private:
    void redraw() {
        if (drawn_) std::cerr << "\x1b[" << lines_.size() << 'A';
        for (const auto& l : lines_)
            std::cerr << "\r\x1b[K" << l << '\n';
        std::cerr << std::flush;
        drawn_ = true;
    }
    std::mutex mutex_;
    std::vector<std::string> lines_;
    bool tty_;
    bool drawn_ = false;
};

// One radio's transfer UI in a fleet write: its own retry budget, consent and messenger (named by
// its port), progress and messages through the shared board.
class FleetUi : public CliTransferUi {
  public:
    FleetUi(FleetBoard& board, std::size_t radio, std::string where, CliMessenger& out,
            const TextSource& texts, int retries, WriteConsent consent)
        : CliTransferUi(out, texts, retries, consent, false), board_(board), radio_(radio),
          where_(std::move(where)) {}

    void showProgress(int counter, int position, int total) override {
        CliTransferUi::showProgress(counter, position, total);
        if (total <= 0) return;
        constexpr int kWidth = 24;
        const int filled = position * kWidth / total;
        board_.progress(radio_, "[" + std::string(static_cast<std::size_t>(filled), '#') +
                                    std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                                    comm::blockLabel(texts(), counter, total) + "  " + where_);
    }
    MsgAnswer show(const Message& m) override {
        return board_.message([&] { return CliTransferUi::show(m); });
    }

  private:
    FleetBoard& board_;
    std::size_t radio_;
    std::string where_;
};

struct FleetResult {
    comm::TransferOutcome outcome;
    int blocks = 0;
    double seconds = 0;
};

// Writes the data set to every radio at once. Each thread owns its port, protocol, transfer, UI,
// messenger and copy of the memory image; they share only the language texts (read only) and the
// board (locked).
int writeFleet(CliSession& s, const std::string& file, std::vector<std::unique_ptr<LinkOptions>>& links,
               int retries, WriteConsent consent, bool verify) {
    const std::size_t n = links.size();
    FleetBoard board(n);
    std::vector<FleetResult> results(n);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < n; ++i) {
        threads.emplace_back([&, i] {
            const auto start = std::chrono::steady_clock::now();
            LinkOptions& link = *links[i];
            CliMessenger messenger;
            messenger.context = link.where;
            auto image = std::make_unique<MemoryImage>(s.doc.image());
            comm::RadioProtocol protocol(link.port);
            FleetUi ui(board, i, link.where, messenger, s.texts, retries, consent);
            comm::RadioTransfer transfer(protocol, s.texts, ui);
            transfer.setVerify(verify);
            results[i].outcome = transfer.write(*image);
            results[i].blocks = verify ? ui.blocks() / 2 : ui.blocks();
            results[i].seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
    }
    for (auto& t : threads)
        t.join();
    board.done();

    std::size_t width = 4;
    for (const auto& l : links)
        width = std::max(width, l->where.size());
    std::vector<std::string> failed;
    std::printf("%-5s %-*s %-7s %s\n", "radio", int(width), "port", "result", "detail");
    for (std::size_t i = 0; i < n; ++i) {
        const auto& r = results[i];
        const bool ok = r.outcome.complete();
        std::string detail = ok ? std::to_string(r.blocks) + " blocks" + (verify ? ", verified" : "")
                                : comm::describe(r.outcome);
        char secs[32];
        std::snprintf(secs, sizeof secs, ", %.1f s", r.seconds);
        std::printf("%-5zu %-*s %-7s %s%s\n", i + 1, int(width), links[i]->where.c_str(),
                    ok ? "ok" : "FAILED", detail.c_str(), secs);
        if (!ok) failed.push_back(std::to_string(i + 1) + " at " + links[i]->where);
    }
    std::fflush(stdout);
    if (failed.empty()) {
        std::cerr << "velora-cli: wrote " << file << " to " << n << " radios\n";
        return kExitOk;
    }
    std::string which;
    for (const auto& f : failed)
        which += (which.empty() ? "" : ", ") + f;
    printError("write of " + file + " failed on " + std::to_string(failed.size()) + " of " +
               std::to_string(n) + " radios: " + which);
    return kExitFailure;
}

// --- fleet production: a manifest of radios, each written with its own row ---------------------

// The terminal side of a production run: a progress line per port on the board, every message of
// the run above it as the other commands print theirs.
class CliFleetObserver : public comm::FleetObserver {
  public:
    CliFleetObserver(FleetBoard& board, const std::vector<comm::FleetPort>& ports,
                     const fleet::Manifest& manifest, const TextSource& texts)
        : board_(board), ports_(ports), manifest_(manifest), texts_(texts) {}

    void rowChanged(const comm::RowUpdate& u) override {
        const std::string& label = manifest_.rows[u.row].label;
        if (u.state == comm::RowState::Writing || u.state == comm::RowState::Verifying) {
            if (u.total <= 0) return;
            constexpr int kWidth = 24;
            const int filled = u.position * kWidth / u.total;
            board_.progress(u.port, "[" + std::string(static_cast<std::size_t>(filled), '#') +
                                        std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                                        comm::blockLabel(texts_, u.block, u.total) + "  " +
                                        ports_[u.port].name + "  " + label);
        } else if (u.ended()) {
            board_.message([&] {
                std::cerr << "velora-cli: radio '" << label << "': " << u.result << '\n';
                return 0;
            });
        }
    }
    void connectPrompt(std::size_t port, std::size_t, const std::string& text) override {
        const bool onePort = ports_.size() == 1;
        board_.message([&] {
            std::cerr << "velora-cli: " << text << (onePort ? "" : " to " + ports_[port].name)
                      << (onePort ? "; Enter writes now, q stops" : "") << '\n';
            return 0;
        });
    }
    void message(const comm::FleetMessage& f) override {
        const std::string& where = ports_[f.port].name;
        board_.message([&] {
            switch (f.step) {
            case comm::FleetStep::PortUnusable:
                printError(
                    where + ": " +
                    (f.message.text.empty() ? "the port does not open" : comm::portReason(f.message.text, where)) +
                    "; no radio is written there");
                return 0;
            case comm::FleetStep::Save:
                printError("cannot write " + f.message.text);
                return 0;
            default:
                break;
            }
            const fleet::ManifestRow& row = manifest_.rows[f.row.value_or(0)];
            CliMessenger out;
            out.context = where + (f.step == comm::FleetStep::Build ? ": line " + std::to_string(row.line)
                                                                    : ": " + row.label);
            out.show(f.message);
            if (f.step != comm::FleetStep::Transfer) return 0;
            if (f.message.buttons == MsgButtons::RetryCancel && f.answer == MsgAnswer::Retry)
                std::cerr << "velora-cli: " << out.context << ": retrying\n";
            if (f.message.buttons == MsgButtons::OkCancel && f.answer != MsgAnswer::Ok)
                std::cerr << "velora-cli: " << out.context << ": refused; use "
                          << (f.message.textId == comm::kTextModelDiffers ? "--force-model"
                                                                          : "--force-version")
                          << " to write anyway\n";
            return 0;
        });
    }

  private:
    FleetBoard& board_;
    const std::vector<comm::FleetPort>& ports_;
    const fleet::Manifest& manifest_;
    const TextSource& texts_;
};

// Reads standard input: an empty line skips the wait for the next radio, "q" stops the run once
// the radios being written are done.
void watchInput(const comm::FleetRun& run) {
    std::thread([requests = run.requests()] {
        std::string line;
        while (!requests->stop && std::getline(std::cin, line)) {
            if (line == "q" || line == "Q")
                requests->stop = true;
            else if (line.empty())
                requests->skipWait = true;
        }
    }).detach();
}
} // namespace

int cmdRead(CliSession& s, const std::vector<std::string>& argv) {
    std::vector<std::string> args = argv;
    const std::vector<Target> targets = takeTargets(args);
    CliArgs a(args, {"-o", "--retries"}, {});
    auto out = a.value("-o");
    if (!a.ok() || !out || !a.positional().empty()) {
        printError(a.ok() ? "usage: velora-cli read (--device PATH | --port N) -o FILE [--retries N]"
                          : a.error());
        return kExitUsage;
    }
    LinkOptions link;
    auto retries = retriesOption(a);
    if (!setUpPort(targets, link) || !retries) return kExitUsage;

    comm::RadioProtocol protocol(link.port);
    CliTransferUi ui(s.messenger, s.texts, *retries, {});
    comm::RadioTransfer transfer(protocol, s.texts, ui);
    MessageBoxes boxes(ui, s.texts);
    HistoryResult kept;
    const comm::TransferOutcome result = comm::readAndAdopt(s.doc, transfer, boxes, nullptr, &kept);
    ui.endBar();
    // A port that failed to close after a complete read has already been reported as a warning.
    if (!result.complete()) {
        printError("read from " + link.where + " failed: " + failureText(result, link.where) +
                   "; no file written");
        return kExitFailure;
    }
    if (kept.ok()) std::cerr << "velora-cli: kept in the radio history as " << kept.file.string() << '\n';
    if (!s.save(*out)) return kExitFailure;
    std::cerr << "velora-cli: read " << ui.blocks() << " blocks from " << link.where << " into " << *out
              << '\n';
    return kExitOk;
}

int cmdWrite(CliSession& s, const std::vector<std::string>& argv) {
    std::vector<std::string> args = argv;
    const std::vector<Target> targets = takeTargets(args);
    CliArgs a(args, {"--retries"}, {"--force", "--force-version", "--force-model", "--verify"});
    if (!a.ok() || a.positional().size() != 1 || targets.empty()) {
        printError(a.ok() ? "usage: velora-cli write (--device PATH | --port N)... FILE [--force-version] "
                            "[--force-model] [--force] [--verify] [--retries N]"
                          : a.error());
        return kExitUsage;
    }
    auto retries = retriesOption(a);
    auto set = setUpLinks(targets);
    if (!set) return kExitUsage;
    std::vector<std::unique_ptr<LinkOptions>>& links = *set;
    if (!retries) return kExitUsage;
    const std::string& file = a.positional()[0];
    if (!s.open(file)) return kExitFailure;
    if (!comm::runPreWriteCheck(s.doc, s.texts, s.messenger)) {
        printError("the data set is not ready to be written; nothing was sent");
        return kExitFailure;
    }
    const bool all = a.flag("--force");
    const WriteConsent consent{all || a.flag("--force-version"), all || a.flag("--force-model")};
    if (links.size() > 1) return writeFleet(s, file, links, *retries, consent, a.flag("--verify"));
    LinkOptions& link = *links.front();
    comm::RadioProtocol protocol(link.port);
    CliTransferUi ui(s.messenger, s.texts, *retries, consent);
    comm::RadioTransfer transfer(protocol, s.texts, ui);
    transfer.setVerify(a.flag("--verify"));
    const comm::TransferOutcome result = transfer.write(s.doc.image());
    ui.endBar();
    if (!result.complete()) {
        printError("write to " + link.where + " failed: " + failureText(result, link.where));
        return kExitFailure;
    }
    std::cerr << "velora-cli: wrote " << (transfer.verify() ? ui.blocks() / 2 : ui.blocks()) << " blocks of "
              << file << " to " << link.where << (transfer.verify() ? ", verified" : "") << '\n';
    return kExitOk;
}

// Only the lines named, or without any every port whose device is a serial line: probing sends
// bytes, so nothing else is touched. Exit 0 when a radio answered somewhere.
int cmdProbe(CliSession& s, const std::vector<std::string>& args) {
    std::vector<std::string> rest = args;
    std::vector<Target> targets = takeTargets(rest);
    if (!rest.empty()) {
        printError("probe takes only --port N and --device PATH");
        return kExitUsage;
    }
    if (targets.empty()) {
        LinkOptions mapped;
        setUpTarget({false, "1"}, mapped);
        for (int p = comm::SerialPort::kFirstPort; p <= comm::SerialPort::kLastPort; ++p)
            if (comm::TtyProbe().check(mapped.port.devicePath(p)).ok())
                targets.push_back({false, std::to_string(p)});
    }
    bool any = false;
    for (const Target& t : targets) {
        LinkOptions link;
        if (!setUpTarget(t, link)) return kExitUsage;
        const comm::RadioFound found = comm::findRadio(link.port);
        std::cout << comm::foundText(s.texts, link.where, found) << '\n';
        any = any || found.radio;
    }
    return any ? kExitOk : kExitFailure;
}

// velora-cli fleet write: every row of the manifest into its own radio, on one port or several.
int cmdFleetWrite(CliSession& s, const std::vector<std::string>& argv) {
    std::vector<std::string> args = argv;
    const std::vector<Target> targets = takeTargets(args);
    CliArgs a(args, {"--log", "--out", "--retries", "--poll"},
              {"--verify", "--resume", "--force", "--force-version", "--force-model", "--allow-duplicates"});
    if (!a.ok() || a.positional().size() != 2 || targets.empty()) {
        printError(a.ok()
                       ? "usage: velora-cli fleet write BASE.dat MANIFEST.csv (--device PATH | --port N)... "
                         "[--verify] [--log LOG.csv] [--out DIR] [--resume] [--force-version] "
                         "[--force-model] [--force] [--allow-duplicates] [--retries N] [--poll MS]"
                       : a.error());
        return kExitUsage;
    }
    const auto retries = retriesOption(a);
    if (!retries) return kExitUsage;
    const auto pollMs =
        boundedOption(a, "--poll", int(comm::FleetOptions{}.poll.count()), 0, 60000, " milliseconds");
    if (!pollMs) return kExitUsage;
    const std::chrono::milliseconds poll{*pollMs};
    auto set = setUpLinks(targets);
    if (!set) return kExitUsage;
    std::vector<std::unique_ptr<LinkOptions>>& links = *set;
    std::vector<comm::FleetPort> ports;
    for (std::size_t i = 0; i < links.size(); ++i)
        ports.push_back({&links[i]->port, links[i]->where, targets[i].device, targets[i].value});
    const std::string& basePath = a.positional()[0];
    const std::string& manifestPath = a.positional()[1];
    auto manifest = readFleetManifest(manifestPath, s.texts);
    if (!manifest || !s.open(basePath)) return kExitFailure;
    if (!comm::runPreWriteCheck(s.doc, s.texts, s.messenger)) {
        printError("the data set is not ready to be written; nothing was sent");
        return kExitFailure;
    }

    // Every row is built before the first radio is written: a refused row stops the run here.
    const bool allowDuplicates = a.flag("--allow-duplicates");
    const comm::FleetCheck check =
        comm::checkFleet(*manifest, s.doc, s.texts, {&ports, allowDuplicates, false});
    for (std::size_t r = 0; r < manifest->rows.size(); ++r) {
        const auto& row = check.rows[r];
        s.messenger.context = manifestPath + ": line " + std::to_string(manifest->rows[r].line);
        for (const auto& m : row.messages)
            s.messenger.show(m);
        if (row.build.refusal) printError(*row.build.refusal);
        if (row.unbound) printError(*row.unbound);
    }
    s.messenger.context.clear();
    for (const auto& d : check.duplicates)
        printError(d + (allowDuplicates ? "" : "; --allow-duplicates accepts it"));
    if (!check.passed()) {
        printError("nothing was written");
        return kExitFailure;
    }

    namespace fs = std::filesystem;
    const fs::path manifestFile(manifestPath);
    const fs::path logPath = a.value("--log")
                                 ? fs::path(*a.value("--log"))
                                 : manifestFile.parent_path() / (manifestFile.stem().string() + "-log.csv");
    const bool all = a.flag("--force");
    comm::FleetOptions options;
    options.verify = a.flag("--verify");
    options.retries = *retries;
    options.forceVersion = all || a.flag("--force-version");
    options.forceModel = all || a.flag("--force-model");
    options.poll = poll;
    options.out = a.value("--out") ? fs::path(*a.value("--out")) : logPath.parent_path();
    if (options.out.empty()) options.out = ".";
    FleetBoard board(links.size());
    CliFleetObserver observer(board, ports, *manifest, s.texts);
    comm::FleetRun run(*manifest, s.doc, s.texts, ports, options, observer);
    if (a.flag("--resume")) {
        const comm::WrittenRadios done = comm::writtenInLog(logPath);
        run.skipRows(done);
        if (!done.empty())
            std::cerr << "velora-cli: " << manifest->rows.size() - run.pending().size()
                      << " radios already written by the log, " << run.pending().size() << " to go\n";
    }
    if (!run.openLog(logPath)) {
        printError("cannot write the log " + logPath.string());
        return kExitFailure;
    }

    watchInput(run);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < links.size(); ++i)
        threads.emplace_back([&, i] { run.runPort(i); });
    for (auto& t : threads)
        t.join();
    board.done();

    std::vector<comm::RowUpdate> outcomes = run.outcomes();
    std::sort(outcomes.begin(), outcomes.end(), [](const auto& x, const auto& y) { return x.row < y.row; });
    std::size_t ok = 0;
    std::printf("%-5s %-20s %-20s %s\n", "row", "radio", "port", "result");
    for (const auto& o : outcomes) {
        ok += fleet::isWritten(o.result) ? 1 : 0;
        std::printf("%-5zu %-20s %-20s %s\n", o.row + 1, manifest->rows[o.row].label.c_str(),
                    ports[o.port].name.c_str(), o.result.c_str());
    }
    std::fflush(stdout);
    const std::size_t pending = run.pending().size();
    const std::size_t left = pending - outcomes.size();
    std::cerr << "velora-cli: " << ok << " of " << pending << " radios written";
    if (left > 0) std::cerr << ", " << left << " not started (--resume goes on)";
    std::cerr << "; log " << logPath.string() << '\n';
    return ok == pending ? kExitOk : kExitFailure;
}

} // namespace velora::cli
