#pragma once
// The per-user settings through QSettings (organisation "HALCYON", application the program's base
// name): group "Backup" for the remembered model, port, folder and window placement, group "Ports"
// for the device path the user gave a port number.
#include <QRect>
#include <QSettings>
#include <optional>
#include <string>
#include <vector>

#include "base/SettingsValues.h"
#include "views/AppContext.h"

namespace velora::gui {

class AppSettings {
  public:
    explicit AppSettings(const QString& application);

    // Start-up: the remembered model into the working copy (true when it was valid), port number,
    // close delay and port mapping into the port, the folder into the document.
    bool readStartup(Document& doc, comm::SerialPort& port, const QString& programFolder);
    // Exit: the working copy's model, the port and the folder.
    void writeExit(const Document& doc, const comm::SerialPort& port);

    void readPortPaths(comm::SerialPort& port);
    void writePortPaths(const comm::SerialPort& port);

    // "Verify after writing" of the write dialog (group "Backup", key "VerifyWrite"; off by default).
    bool verifyWrite();
    void setVerifyWrite(bool on);

    std::optional<settings::WindowPlacement> windowPlacement();
    void setWindowPlacement(const settings::WindowPlacement& p);

    // File > Recent Files (group "Backup", key "RecentFiles"), the latest first.
    std::vector<std::string> recentFiles();
    void addRecentFile(const std::string& path);

    QSettings& store() { return s_; }

  private:
    void putChanged(const QString& key, const QVariant& value);

    QSettings s_;
};

} // namespace velora::gui
