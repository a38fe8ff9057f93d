#pragma once
// Program > Fleet Programming: the open data set as the base, a manifest of radios each with its
// own values, and the core's production run writing them on one port or several. The run works on
// a thread of its own; its reports come back to this thread as queued calls, so the dialog only
// shows them and forwards Start, Stop and Skip wait.
#include <QDialog>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "comm/FleetRun.h"
#include "dataset/FleetManifest.h"
#include "model/Document.h"
#include "print/DeliverySheet.h"
#include "views/AppContext.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace velora::comm {
class SerialPort;
}

namespace velora::gui {

class EditorHost;

inline constexpr int kTextFleetTitle = 624;
inline constexpr int kTextBaseDataSet = 625;
inline constexpr int kTextOpenManifest = 626;
inline constexpr int kTextState = 627;
inline constexpr int kTextPorts = 628;
inline constexpr int kTextOutputFolder = 629;
inline constexpr int kTextLog = 636;
inline constexpr int kTextStart = 637;
inline constexpr int kTextStop = 638;
inline constexpr int kTextSkipWait = 639;
inline constexpr int kTextPrintSheet = 640;
inline constexpr int kTextNotSaved = 641;
inline constexpr int kTextWaiting = 642;
inline constexpr int kTextWriting = 643;
inline constexpr int kTextVerifying = 644;
inline constexpr int kTextStopAndClose = 645;

class FleetDialog : public QDialog {
    Q_OBJECT
  public:
    FleetDialog(AppContext& ctx, EditorHost& frame, QWidget* parent = nullptr);
    ~FleetDialog() override;

    // Reads a manifest and builds every row from the base; a refusal is listed and nothing can
    // start. The output folder and the log default to the manifest's folder, and rows the log
    // shows written are marked and left out of the run.
    bool loadManifest(const QString& path);
    void start();
    void stop();
    bool running() const { return worker_.joinable(); }

    QTableWidget* table() const { return table_; }
    QPlainTextEdit* notes() const { return notes_; }
    QListWidget* ports() const { return ports_; }
    QCheckBox* verifyBox() const { return verify_; }
    QLineEdit* logEdit() const { return log_; }
    QLineEdit* outEdit() const { return out_; }
    QLabel* promptLabel() const { return prompt_; }
    QPushButton* startButton() const { return start_; }
    int stateColumn() const;

    // The delivery sheet of the log as a PDF; false (told) when it cannot be written.
    bool writeSheetPdf(const QString& path);

    void reject() override;

  signals:
    void runFinished();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    class Relay;
    void listPorts();
    void readLogMarks();
    void showUpdate(const comm::RowUpdate& u);
    void showPrompts();
    QString portName(std::size_t port) const;
    QString rowWhere(std::size_t port, std::optional<std::size_t> row) const; // "COM1 (...) 'unit1'"
    QString messageLine(const comm::FleetMessage& m) const;
    void note(const QString& line);
    void finished();
    void updateButtons();
    void chooseManifest();
    void chooseFolder();
    void chooseLog();
    void printSheet();
    print::DeliveryHead sheetHead() const;
    std::vector<fleet::LogLine> sheetLog() const;

    AppContext& ctx_;
    EditorHost& frame_;
    QLabel* base_;
    QLabel* manifestPath_;
    QTableWidget* table_;
    QFrame* promptBox_;
    QLabel* prompt_;
    QPushButton* skip_;
    QListWidget* ports_;
    QCheckBox* verify_;
    QLineEdit* out_;
    QLineEdit* log_;
    QLineEdit* customer_;
    QPlainTextEdit* notes_;
    QPushButton *open_, *start_, *stop_, *print_, *pdf_, *close_;
    std::vector<QPushButton*> browse_;

    std::optional<fleet::Manifest> manifest_;
    bool refused_ = false;
    comm::WrittenRadios done_; // labels the log shows written, with their results
    Document baseCopy_;          // the open data set as it was at Start
    std::vector<std::unique_ptr<comm::SerialPort>> lines_;
    std::unique_ptr<Relay> relay_;
    std::map<std::size_t, QString> prompts_; // per port
    QStringList portNames_;
    std::unique_ptr<comm::FleetRun> run_;
    std::thread worker_;
    bool closeWhenDone_ = false;
};

} // namespace velora::gui
