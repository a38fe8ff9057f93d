#include "comm/DemoRadio.h"

#include <QFileInfo>
#include <csignal>
#include <sys/prctl.h>

#include "model/DataFile.h"

namespace velora::gui {

namespace {
constexpr int kStartTimeoutMs = 5000;
}

DemoRadio::DemoRadio(AppContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

DemoRadio::~DemoRadio() {
    stop();
}

void DemoRadio::stop() {
    if (sim_.state() != QProcess::NotRunning) {
        sim_.terminate();
        if (!sim_.waitForFinished(2000)) sim_.kill();
    }
    device_.clear();
}

QString DemoRadio::launch() {
    if (!QFileInfo(program_).isExecutable()) return QStringLiteral("%1: not found").arg(program_);
    if (!dir_.isValid()) return QStringLiteral("no temporary folder");
    const QString deck = dir_.filePath(QStringLiteral("demo.dat"));
    // The radio serves a copy of the current data set, and with it the data set's identification:
    // its models, bands, heads and option boards. The working copy itself stays as it is.
    MemoryImage copy;
    copy.working() = ctx_.doc.image().working();
    if (!writeDataFile(copy, deck.toStdString()).ok())
        return QStringLiteral("%1: cannot be written").arg(deck);

    sim_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The simulated radio must not outlive the application, however it ends.
    sim_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    sim_.start(program_, {QStringLiteral("--deck1"), deck});
    if (!sim_.waitForStarted(kStartTimeoutMs)) return sim_.errorString();
    while (!sim_.canReadLine()) {
        if (!sim_.waitForReadyRead(kStartTimeoutMs))
            return QStringLiteral("%1 did not report its device").arg(program_);
    }
    const QString line = QString::fromLocal8Bit(sim_.readLine()).trimmed();
    if (!line.startsWith(QStringLiteral("DEVICE "))) return QStringLiteral("%1: %2").arg(program_, line);
    device_ = line.mid(7).trimmed();
    serving_ = identificationOf(copy);
    return {};
}

QString DemoRadio::start(const QString& simProgram) {
    program_ = simProgram;
    if (QString error = launch(); !error.isEmpty()) return error;
    port_ = ctx_.port.portNumber();
    auto it = ctx_.port.devicePaths().find(port_);
    hadMapping_ = it != ctx_.port.devicePaths().end();
    if (hadMapping_) previousPath_ = it->second;
    ctx_.port.setDevicePath(port_, device_.toStdString());
    return {};
}

QString DemoRadio::follow() {
    if (port_ == 0 || identificationOf(ctx_.doc.image()).sameRadio(serving_)) return {};
    const bool ours = ctx_.port.devicePath(port_) == device_.toStdString();
    stop();
    const QString error = launch();
    if (ours && error.isEmpty()) ctx_.port.setDevicePath(port_, device_.toStdString());
    return error;
}

void DemoRadio::restorePortMapping() {
    if (port_ == 0) return;
    // Only when the user left the demo mapping alone.
    if (ctx_.port.devicePath(port_) == device_.toStdString())
        ctx_.port.setDevicePath(port_, hadMapping_ ? previousPath_ : std::string());
    port_ = 0;
}

} // namespace velora::gui
