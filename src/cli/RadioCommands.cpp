// velora-cli read / write: the radio transfers with progress on stderr and prompts as flags.
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "CliArgs.h"
#include "CliSession.h"
#include "app/PortMap.h"
#include "comm/PreWriteCheck.h"
#include "comm/RadioTransfer.h"
#include "comm/SerialPort.h"

namespace velora::cli {

namespace {

constexpr int kDefaultRetries = 2;
constexpr int kMaxPort = 20;

// The questions that guard a write, each answered "go on" only with its own flag (--force: both).
struct WriteConsent {
    bool oldVersion = false; // --force-version: the radio is of an older version
    bool otherModel = false; // --force-model: the radio is another model than the data set
};

// Retry prompts are answered from a budget; the write's questions from the consent flags.
class CliTransferUi : public comm::TransferUi {
  public:
    CliTransferUi(CliMessenger& out, const TextSource& texts, int retries, WriteConsent consent)
        : out_(out), texts_(texts), retries_(retries), consent_(consent), tty_(::isatty(STDERR_FILENO) != 0) {
    }

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
                std::cerr << "velora-cli: retrying\n";
                return MsgAnswer::Retry;
            }
            return MsgAnswer::Cancel;
        case MsgButtons::OkCancel: {
            // The model question has its text number; the version warning is composed.
            const bool model = m.textId == comm::kTextModelDiffers;
            if (model ? consent_.otherModel : consent_.oldVersion) return MsgAnswer::Ok;
            std::cerr << "velora-cli: refused; use " << (model ? "--force-model" : "--force-version")
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

  private:
    CliMessenger& out_;
    const TextSource& texts_;
    int retries_;
    WriteConsent consent_;
    bool tty_;
    int last_ = 0;
    int total_ = 0;
};

struct LinkOptions {
    comm::SerialPort port;
    std::string where;
};

// --device PATH or --port N (1..20); the port number keeps the status bar's numbering and, as in the
// application, names the device the user mapped it to.
bool setUpPort(const CliArgs& a, LinkOptions& link) {
    auto device = a.value("--device");
    auto port = a.value("--port");
    if (device.has_value() == port.has_value()) {
        printError("give either --device PATH or --port N");
        return false;
    }
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

std::optional<int> retriesOption(const CliArgs& a) {
    auto r = a.value("--retries");
    if (!r) return kDefaultRetries;
    try {
        std::size_t used = 0;
        int n = std::stoi(*r, &used);
        if (used == r->size() && n >= 0 && n <= 100) return n;
    } catch (...) {
    }
    printError("--retries must be 0 to 100");
    return std::nullopt;
}

} // namespace

int cmdRead(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"--device", "--port", "-o", "--retries"}, {});
    auto out = a.value("-o");
    if (!a.ok() || !out || !a.positional().empty()) {
        printError(a.ok() ? "usage: velora-cli read (--device PATH | --port N) -o FILE [--retries N]"
                          : a.error());
        return kExitUsage;
    }
    LinkOptions link;
    auto retries = retriesOption(a);
    if (!setUpPort(a, link) || !retries) return kExitUsage;

    comm::RadioProtocol protocol(link.port);
    CliTransferUi ui(s.messenger, s.texts, *retries, {});
    comm::RadioTransfer transfer(protocol, s.texts, ui);
    MessageBoxes boxes(ui, s.texts);
    const comm::TransferOutcome result = comm::readAndAdopt(s.doc, transfer, boxes);
    ui.endBar();
    // A port that failed to close after a complete read has already been reported as a warning.
    if (!result.complete()) {
        printError("read from " + link.where + " failed: " + comm::describe(result) + "; no file written");
        return kExitFailure;
    }
    if (!s.save(*out)) return kExitFailure;
    std::cerr << "velora-cli: read " << ui.blocks() << " blocks from " << link.where << " into " << *out
              << '\n';
    return kExitOk;
}

int cmdWrite(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"--device", "--port", "--retries"}, {"--force", "--force-version", "--force-model"});
    if (!a.ok() || a.positional().size() != 1) {
        printError(a.ok() ? "usage: velora-cli write (--device PATH | --port N) FILE [--force-version] "
                            "[--force-model] [--force] [--retries N]"
                          : a.error());
        return kExitUsage;
    }
    LinkOptions link;
    auto retries = retriesOption(a);
    if (!setUpPort(a, link) || !retries) return kExitUsage;
    const std::string& file = a.positional()[0];
    if (!s.open(file)) return kExitFailure;
    if (!comm::runPreWriteCheck(s.doc, s.texts, s.messenger)) {
        printError("the data set is not ready to be written; nothing was sent");
        return kExitFailure;
    }
    comm::RadioProtocol protocol(link.port);
    const bool all = a.flag("--force");
    CliTransferUi ui(s.messenger, s.texts, *retries,
                     {all || a.flag("--force-version"), all || a.flag("--force-model")});
    comm::RadioTransfer transfer(protocol, s.texts, ui);
    const comm::TransferOutcome result = transfer.write(s.doc.image());
    ui.endBar();
    if (!result.complete()) {
        printError("write to " + link.where + " failed: " + comm::describe(result));
        return kExitFailure;
    }
    std::cerr << "velora-cli: wrote " << ui.blocks() << " blocks of " << file << " to " << link.where << '\n';
    return kExitOk;
}

} // namespace velora::cli
