#include "comm/FleetRun.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <thread>

#include "channels/ChannelStore.h"
#include "comm/RadioPresence.h"
#include "dataset/PreWriteCheck.h"
#include "model/DataFile.h"
#include "model/ModelCatalogue.h"

namespace velora::comm {

namespace {

constexpr std::chrono::milliseconds kFlagSlice{20};

std::string nowText() {
    return localTimeText(std::time(nullptr), "%Y-%m-%dT%H:%M:%S");
}

// The rate part of line settings: "9600" of "9600,N,8,2".
std::string rateOf(const std::string& settings) {
    return settings.substr(0, settings.find(','));
}

RowState endState(const TransferOutcome& o, bool verify) {
    if (o.complete()) return verify ? RowState::Verified : RowState::Written;
    if (o.stage == TransferStage::ModelDiffers || o.stage == TransferStage::OldVersion)
        return RowState::Skipped;
    return RowState::Failed;
}

// Messages of entering a row's values and of the pre-write check: nobody is asked during a run,
// so a question takes the answer that lets the run go on.
class StepMessenger : public Messenger {
  public:
    StepMessenger(FleetObserver& observer, std::size_t port, std::size_t row, FleetStep step)
        : observer_(observer), port_(port), row_(row), step_(step) {}
    MsgAnswer show(const Message& m) override {
        const MsgAnswer a = firstButtonAnswer(m.buttons);
        observer_.message({port_, row_, step_, m, a});
        return a;
    }

  private:
    FleetObserver& observer_;
    std::size_t port_, row_;
    FleetStep step_;
};

// One radio's transfer: retries from the row's budget, the model and version questions from the
// force options, progress as row states.
class RowUi : public TransferUi {
  public:
    RowUi(FleetObserver& observer, std::size_t port, std::size_t row, const FleetOptions& options)
        : observer_(observer), port_(port), row_(row), options_(options), left_(options.retries) {}

    void showProgress(int block, int position, int total) override {
        // A verified write counts its read-back in the second half of the blocks.
        const bool back = options_.verify && block > total / 2;
        observer_.rowChanged(
            {row_, port_, back ? RowState::Verifying : RowState::Writing, block, position, total, {}});
    }
    MsgAnswer show(const Message& m) override {
        MsgAnswer a = MsgAnswer::Ok;
        switch (m.buttons) {
        case MsgButtons::RetryCancel:
            a = left_ > 0 ? MsgAnswer::Retry : MsgAnswer::Cancel;
            if (left_ > 0) --left_;
            break;
        case MsgButtons::OkCancel: {
            // The model question has its text number; the version warning is composed.
            const bool model = m.textId == kTextModelDiffers;
            a = (model ? options_.forceModel : options_.forceVersion) ? MsgAnswer::Ok : MsgAnswer::Cancel;
            break;
        }
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            a = options_.forceModel && options_.forceVersion ? MsgAnswer::Yes : MsgAnswer::No;
            break;
        default:
            break;
        }
        observer_.message({port_, row_, FleetStep::Transfer, m, a});
        return a;
    }
    int retriesUsed() const { return options_.retries - left_; }

  private:
    FleetObserver& observer_;
    std::size_t port_, row_;
    const FleetOptions& options_;
    int left_;
};

} // namespace

bool rowFits(const fleet::ManifestRow& r, const FleetPort& p) {
    if (!r.device.empty()) return p.device && p.value == r.device;
    if (!r.port.empty()) return !p.device && p.value == r.port;
    return true;
}

std::optional<std::string> unboundRow(const fleet::ManifestRow& r, const std::vector<FleetPort>& ports) {
    if (r.port.empty() && r.device.empty()) return std::nullopt;
    if (std::any_of(ports.begin(), ports.end(), [&](const FleetPort& p) { return rowFits(r, p); }))
        return std::nullopt;
    return "line " + std::to_string(r.line) + ": radio '" + r.label + "' is bound to " +
           (r.device.empty() ? "port " + r.port : r.device) + ", which is not given";
}

std::vector<std::string> unboundRows(const fleet::Manifest& m, const std::vector<FleetPort>& ports) {
    std::vector<std::string> lines;
    for (const auto& r : m.rows)
        if (auto why = unboundRow(r, ports)) lines.push_back(std::move(*why));
    return lines;
}

namespace {

// Keeps what entering a row's values says for the caller to show where it shows the check.
class KeptMessages : public Messenger {
  public:
    explicit KeptMessages(std::vector<Message>& kept) : kept_(kept) {}
    MsgAnswer show(const Message& m) override {
        kept_.push_back(m);
        return firstButtonAnswer(m.buttons);
    }

  private:
    std::vector<Message>& kept_;
};

} // namespace

std::size_t FleetCheck::refusedRows() const {
    return std::size_t(std::count_if(rows.begin(), rows.end(),
                                     [](const CheckedRow& r) { return r.build.refusal || r.unbound; }));
}

bool FleetCheck::passed() const {
    return refusedRows() == 0 && (duplicates.empty() || allowDuplicates);
}

FleetCheck checkFleet(const fleet::Manifest& m, const Document& base, const TextSource& texts,
                      const FleetCheckOptions& options) {
    FleetCheck check;
    check.allowDuplicates = options.allowDuplicates;
    check.rows.resize(m.rows.size());
    std::vector<fleet::RowBuild> built;
    built.reserve(m.rows.size());
    Document scratch;
    for (std::size_t r = 0; r < m.rows.size(); ++r) {
        CheckedRow& row = check.rows[r];
        KeptMessages kept(row.messages);
        MessageBoxes boxes(kept, texts);
        built.push_back(fleet::buildRow(base, m, r, scratch, boxes));
        if (options.ports) row.unbound = unboundRow(m.rows[r], *options.ports);
        if (options.keepDocuments && !built.back().refusal) row.doc = scratch;
    }
    check.duplicates = fleet::duplicateLines(m, built, texts);
    for (std::size_t r = 0; r < built.size(); ++r)
        check.rows[r].build = std::move(built[r]);
    return check;
}

WrittenRadios writtenInLog(const std::filesystem::path& log) {
    WrittenRadios done;
    std::ifstream in(log, std::ios::binary);
    for (const auto& l : fleet::readLog(in))
        if (fleet::isWritten(l.result)) done[l.radio] = l.result;
    return done;
}

std::string modelText(const Identification& id) {
    const ModelIdentification model(id);
    return model.isValid() ? modelAndBandName(model, kModel1) + " (" + identificationText(id) + ")"
                           : identificationText(id);
}

std::string fileLabel(const std::string& label) {
    std::string name;
    for (unsigned char c : label)
        name += std::isalnum(c) || c == '-' || c == '_' || c == '.' || c >= 0x80 ? char(c) : '_';
    if (!name.empty() && name.front() == '.') name.front() = '_';
    return name;
}

std::string resultText(const TransferOutcome& o, bool verify) {
    if (o.complete()) return verify ? "verified" : "written";
    if (o.stage == TransferStage::ModelDiffers) return "skipped: another model (--force-model writes it)";
    if (o.stage == TransferStage::OldVersion) return "skipped: older version (--force-version writes it)";
    return "failed at " + describe(o);
}

FleetRun::FleetRun(const fleet::Manifest& manifest, const Document& base, const TextSource& texts,
                   std::vector<FleetPort> ports, FleetOptions options, FleetObserver& observer)
    : manifest_(manifest), base_(base), texts_(texts), ports_(std::move(ports)), options_(std::move(options)),
      observer_(observer) {
    skipRows({});
    // A directory that cannot be made shows up as the first data set that cannot be saved.
    std::error_code ec;
    if (!options_.out.empty()) std::filesystem::create_directories(options_.out, ec);
}

void FleetRun::skipRows(const WrittenRadios& done) {
    std::lock_guard lock(mutex_);
    pending_.clear();
    taken_ = 0;
    for (std::size_t r = 0; r < manifest_.rows.size(); ++r)
        if (!done.count(manifest_.rows[r].label)) pending_.push_back(r);
}

bool FleetRun::openLog(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!path.parent_path().empty()) fs::create_directories(path.parent_path(), ec);
    const bool fresh = !fs::exists(path, ec) || fs::file_size(path, ec) == 0;
    log_.open(path, std::ios::app | std::ios::binary);
    if (!log_) return false;
    if (fresh) log_ << fleet::kLogHeader << '\n' << std::flush;
    return true;
}

std::optional<std::size_t> FleetRun::take(const FleetPort& port) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = taken_; i < pending_.size(); ++i) {
        if (!rowFits(manifest_.rows[pending_[i]], port)) continue;
        std::rotate(pending_.begin() + std::ptrdiff_t(taken_), pending_.begin() + std::ptrdiff_t(i),
                    pending_.begin() + std::ptrdiff_t(i) + 1);
        return pending_[taken_++];
    }
    return std::nullopt;
}

bool FleetRun::more(const FleetPort& port) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = taken_; i < pending_.size(); ++i)
        if (rowFits(manifest_.rows[pending_[i]], port)) return true;
    return false;
}

void FleetRun::record(const fleet::LogLine& line, const RowUpdate& outcome) {
    std::lock_guard lock(mutex_);
    if (log_.is_open()) log_ << fleet::logLine(line) << '\n' << std::flush;
    outcomes_.push_back(outcome);
}

std::vector<std::size_t> FleetRun::pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

std::vector<RowUpdate> FleetRun::outcomes() const {
    std::lock_guard lock(mutex_);
    return outcomes_;
}

void FleetRun::pause(bool skippable, std::chrono::steady_clock::time_point since) {
    const auto until = since + options_.poll;
    const Requests& req = *requests_;
    while (std::chrono::steady_clock::now() < until && !req.stop && !(skippable && req.skipWait))
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kFlagSlice, until - std::chrono::steady_clock::now()));
}

void FleetRun::run() {
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports_.size(); ++i)
        threads.emplace_back([this, i] { runPort(i); });
    for (auto& t : threads)
        t.join();
}

void FleetRun::runPort(std::size_t index) {
    const FleetPort& port = ports_[index];
    ByteLink& link = *port.link;
    RadioProtocol protocol(link);
    Requests& req = *requests_;
    const bool onePort = ports_.size() == 1;
    const std::size_t total = manifest_.rows.size();
    // A port that does not open is not waited on: its rows stay for the other ports.
    if (const PortResult opened = link.openLink(); !opened.ok()) {
        Message m;
        m.text = opened.message;
        m.icon = MsgIcon::Error;
        observer_.message({index, std::nullopt, FleetStep::PortUnusable, m, MsgAnswer::Ok});
        return;
    }
    link.closeLink();
    while (!req.stop) {
        const auto row = take(port);
        if (!row) break;
        const fleet::ManifestRow& mr = manifest_.rows[*row];
        observer_.connectPrompt(index, *row,
                                formatText(texts_.text(fleet::kTextConnectRadio),
                                           {mr.label, std::to_string(*row + 1), std::to_string(total)}));
        observer_.rowChanged({*row, index, RowState::Waiting, 0, 0, 0, {}});

        // The session that finds the radio is the one that writes it.
        Identification id{};
        bool seen = false;
        while (!req.stop && !seen) {
            if (onePort && req.skipWait.exchange(false)) break;
            const auto probed = std::chrono::steady_clock::now();
            seen = openRadioSession(protocol, id);
            if (!seen) pause(onePort, probed);
        }
        if (req.stop) {
            // Found, but nothing more is written: the radio is left as it was.
            if (seen) {
                protocol.leaveRadioMode();
                link.closeLink();
            }
            break;
        }

        Document doc;
        StepMessenger building(observer_, index, *row, FleetStep::Build);
        MessageBoxes boxes(building, texts_);
        fleet::buildRow(base_, manifest_, *row, doc, boxes);
        ChannelStore(doc, texts_).padNames();
        RowUi ui(observer_, index, *row, options_);
        RadioTransfer transfer(protocol, texts_, ui);
        transfer.setVerify(options_.verify);
        StepMessenger checking(observer_, index, *row, FleetStep::Check);
        RowUpdate end{*row, index, RowState::Failed, 0, 0, 0, "failed at the pre-write check"};
        if (!runPreWriteCheck(doc, texts_, checking)) {
            if (seen) {
                protocol.leaveRadioMode();
                link.closeLink();
            }
        } else {
            const TransferOutcome o =
                seen ? transfer.writeEntered(doc.image(), id) : transfer.write(doc.image());
            end.state = endState(o, options_.verify);
            end.result = resultText(o, options_.verify);
            if (o.complete()) {
                const auto file = (options_.out / (fileLabel(mr.label) + ".dat")).string();
                if (auto w = writeDataFile(doc.image(), file); !w.ok()) {
                    Message m;
                    m.text = file + ": " + std::strerror(w.systemError);
                    m.icon = MsgIcon::Error;
                    observer_.message({index, *row, FleetStep::Save, m, MsgAnswer::Ok});
                }
            }
        }
        record({mr.label, nowText(), port.name, seen ? modelText(id) : "", fleet::rowValues(manifest_, *row),
                end.result, ui.retriesUsed()},
               end);
        observer_.rowChanged(end);

        // The same radio is never written twice: the next row waits until this one is gone. It
        // answered at the rate it was written at, so only that rate is asked, briefly.
        const std::string rate = rateOf(link.lineSettings());
        while (!req.stop && more(port)) {
            if (onePort && req.skipWait.exchange(false)) break;
            const auto probed = std::chrono::steady_clock::now();
            if (!radioStillAnswers(protocol, rate)) break;
            pause(onePort, probed);
        }
    }
}

} // namespace velora::comm
