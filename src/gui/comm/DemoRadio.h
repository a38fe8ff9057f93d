#pragma once
// "--demo-radio": a simulated radio of the current model on a pseudo-terminal, started from the
// velora-radio-sim program beside this one, with the current port mapped to it for this run.
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "model/ModelCatalogue.h"
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
    // Restarts the radio on the current data set when its model identification (models, bands,
    // heads, option boards) is no longer the one the radio was started with, and moves the port
    // along unless the user mapped it elsewhere. Returns an error text, empty when nothing failed.
    QString follow();
    QString devicePath() const { return device_; }
    // Puts the port's own mapping back (before the settings are written).
    void restorePortMapping();

  private:
    QString launch();
    void stop();

    AppContext& ctx_;
    QString program_;
    ModelIdentification serving_; // the identification the running radio was started with
    QProcess sim_;
    QTemporaryDir dir_;
    QString device_;
    int port_ = 0;
    std::string previousPath_;
    bool hadMapping_ = false;
};

} // namespace velora::gui
