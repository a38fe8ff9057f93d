#include "views/AppSettings.h"

#include "base/PortMap.h"
#include "model/ModelCatalogue.h"

namespace velora::gui {

namespace {
QString key(std::string_view k) {
    return QString::fromLatin1(k.data(), static_cast<int>(k.size()));
}
std::string str(const QVariant& v) {
    return v.toString().toStdString();
}
QString portKey(int port) {
    return QString::fromStdString(settings::portKey(port));
}
} // namespace

AppSettings::AppSettings(const QString& application)
    : s_(QString::fromLatin1(kSettingsOrganisation), application) {}

bool AppSettings::readStartup(Document& doc, comm::SerialPort& port, const QString& programFolder) {
    s_.beginGroup(kBackupGroup);
    bool validModel = false;
    if (s_.contains(key(settings::kLastModel)) && s_.contains(key(settings::kLastModel2))) {
        auto bytes = settings::parseLastModel(str(s_.value(key(settings::kLastModel))),
                                              str(s_.value(key(settings::kLastModel2))));
        if (bytes) {
            ModelIdentification id(*bytes);
            if (id.isValid()) {
                setIdentification(doc.image(), id);
                validModel = true;
            }
        }
    }
    port.setPortNumber(settings::parseComPort(str(s_.value(key(settings::kComPort)))));
    port.setCloseDelay(settings::parseComCloseDelay(str(s_.value(key(settings::kComCloseDelay)))));
    std::optional<std::string> stored;
    if (s_.contains(key(settings::kLastFilePath))) stored = str(s_.value(key(settings::kLastFilePath)));
    auto def = settings::defaultFilePath(programFolder.toStdString(), settings::documentsFolder());
    doc.setFolder(
        settings::lastFilePathOr(stored ? std::optional<std::string_view>(*stored) : std::nullopt, def));
    s_.endGroup();
    readPortPaths(port);
    return validModel;
}

void AppSettings::writeExit(const Document& doc, const comm::SerialPort& port) {
    s_.beginGroup(kBackupGroup);
    const auto id = identificationOf(doc.image()).bytes();
    putChanged(key(settings::kLastModel), QString::fromStdString(settings::formatLastModel(id)));
    putChanged(key(settings::kLastModel2), QString::fromStdString(settings::formatLastModel2(id)));
    putChanged(key(settings::kComPort), port.portNumber());
    putChanged(key(settings::kComCloseDelay), settings::formatComCloseDelay(port.closeDelay()));
    putChanged(key(settings::kLastFilePath), QString::fromStdString(doc.folder()));
    s_.endGroup();
    writePortPaths(port);
    s_.sync();
}

// Unchanged values are not set again: QSettings rewrites (and syncs to disk) its whole file for any
// value set, and most exits change nothing.
void AppSettings::putChanged(const QString& k, const QVariant& v) {
    const QVariant old = s_.value(k);
    if (!old.isValid() || old.toString() != v.toString()) s_.setValue(k, v);
}

void AppSettings::readPortPaths(comm::SerialPort& port) {
    s_.beginGroup(key(settings::kPortsGroup));
    auto paths = settings::portMapFrom([this](const std::string& k) -> std::optional<std::string> {
        const QVariant v = s_.value(QString::fromStdString(k));
        if (!v.isValid()) return std::nullopt;
        return str(v);
    });
    s_.endGroup();
    port.setDevicePaths(std::move(paths));
}

void AppSettings::writePortPaths(const comm::SerialPort& port) {
    s_.beginGroup(key(settings::kPortsGroup));
    QStringList wanted;
    bool same = true;
    for (const auto& [p, path] : port.devicePaths()) {
        wanted << portKey(p);
        same = same && s_.value(portKey(p)).toString() == QString::fromStdString(path);
    }
    QStringList stored = s_.childKeys();
    stored.sort();
    wanted.sort();
    if (!same || stored != wanted) {
        s_.remove(QString());
        for (const auto& [p, path] : port.devicePaths())
            s_.setValue(portKey(p), QString::fromStdString(path));
    }
    s_.endGroup();
}

bool AppSettings::verifyWrite() {
    return s_.value(QStringLiteral("%1/VerifyWrite").arg(QLatin1String(kBackupGroup)), false).toBool();
}

void AppSettings::setVerifyWrite(bool on) {
    s_.setValue(QStringLiteral("%1/VerifyWrite").arg(QLatin1String(kBackupGroup)), on);
}

std::optional<settings::WindowPlacement> AppSettings::windowPlacement() {
    s_.beginGroup(kBackupGroup);
    auto v = s_.value(key(settings::kLastWinPos));
    s_.endGroup();
    if (!v.isValid()) return std::nullopt;
    return settings::parseWindowPlacement(str(v));
}

void AppSettings::setWindowPlacement(const settings::WindowPlacement& p) {
    s_.beginGroup(kBackupGroup);
    s_.setValue(key(settings::kLastWinPos), QString::fromStdString(settings::formatWindowPlacement(p)));
    s_.endGroup();
}

std::vector<std::string> AppSettings::recentFiles() {
    std::vector<std::string> out;
    s_.beginGroup(kBackupGroup);
    for (const QString& p : s_.value(key(settings::kRecentFiles)).toStringList())
        out.push_back(p.toStdString());
    s_.endGroup();
    return out;
}

void AppSettings::addRecentFile(const std::string& path) {
    QStringList list;
    for (const std::string& p : settings::withRecentFile(recentFiles(), path))
        list << QString::fromStdString(p);
    s_.beginGroup(kBackupGroup);
    s_.setValue(key(settings::kRecentFiles), list);
    s_.endGroup();
}

} // namespace velora::gui
