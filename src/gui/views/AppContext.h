#pragma once
// What every window of the application works on: the one data set, the language texts, the message
// functions and the one serial port. main() owns the objects; tests build their own.
#include <QFont>
#include <QString>

#include "base/Messenger.h"
#include "comm/SerialPort.h"
#include "model/Document.h"

namespace velora::gui {

struct AppContext {
    Document& doc;
    const TextSource& texts;
    MessageBoxes& boxes;
    comm::SerialPort& port;
    QString settingsApplication; // QSettings application key (the program's base name)
    QFont fixedFont = defaultFixedFont(); // names and codes

    // A fixed-pitch face drawn to go with the text beside it.
    static QFont defaultFixedFont();

    QString text(int number) const { return QString::fromStdString(std::string(texts.text(number))); }
    bool dualBand() const;
};

inline constexpr char kSettingsOrganisation[] = "HALCYON";
inline constexpr char kBackupGroup[] = "Backup";
inline constexpr char kPortsGroup[] = "Ports";

} // namespace velora::gui
