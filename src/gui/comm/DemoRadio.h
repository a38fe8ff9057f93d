#pragma once
// "--demo-radio": a simulated radio of the current model on a pseudo-terminal, started from the
// velora-radio-sim program beside this one, with the current port mapped to it for this run.
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "views/AppContext.h"

namespace velora::gui {

class DemoRadio : public QObject {
    Q_OBJECT
  public:
    explicit DemoRadio(AppContext& ctx, QObject* parent = nullptr);
    ~DemoRadio() override;

    // Writes the current data set for the radio to serve, starts it and maps the current port to
    // its device. Returns an error text for the user, empty on success.
    QString start(const QString& simProgram);
    QString devicePath() const { return device_; }
    // Puts the port's own mapping back (before the settings are written).
    void restorePortMapping();

  private:
    AppContext& ctx_;
    QProcess sim_;
    QTemporaryDir dir_;
    QString device_;
    int port_ = 0;
    std::string previousPath_;
    bool hadMapping_ = false;
};

} // namespace velora::gui
