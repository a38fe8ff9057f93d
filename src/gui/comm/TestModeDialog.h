#pragma once
// "Test Mode": the test channel and signalling, the transmitter, the channel spacing or noise
// blanker, and the list of adjustment items. The core's test-mode session does the radio work, frame
// by frame on this thread with window messages pumped between frames, so the windows stay alive.
#include <QDialog>
#include <QPointer>

#include "comm/TestMode.h"
#include "views/AppContext.h"

class QLineEdit;
class QLabel;
class QPushButton;
class QToolButton;
class QRadioButton;
class QComboBox;
class QListWidget;
class QGroupBox;

namespace velora::gui {

class EditorHost;

// Message boxes of the application, messages pumped, and the windows repainted after each prompt.
class GuiTestModeUi : public comm::TestModeUi {
  public:
    explicit GuiTestModeUi(AppContext& ctx) : ctx_(ctx) {}
    MsgAnswer show(const Message& m) override { return ctx_.boxes.show(m); }
    void pumpMessages() override;
    void waitWhilePumping(std::chrono::milliseconds ms) override;
    void repaint() override;

  private:
    AppContext& ctx_;
};

class TestModeDialog : public QDialog {
    Q_OBJECT
  public:
    TestModeDialog(AppContext& ctx, comm::TestModeSession& session, QWidget* parent = nullptr);

    // The test-mode command: enters test mode, shows the dialog, leaves test mode.
    static void run(AppContext& ctx, EditorHost& frame);
    // Values of the whole run (status-extension flag, volume, adjustment values).
    static comm::TestModeShared& shared();

    // Opens the adjustment dialog for an item (as a double-click on it does).
    void openAdjustment(int item);

    QLineEdit* channelEdit() const { return channelEdit_; }
    QLineEdit* signallingEdit() const { return signallingEdit_; }
    QPushButton* transmitButton() const { return tx_; }
    QListWidget* adjustmentList() const { return list_; }

    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Runs a session action; a cancelled prompt closes the dialog.
    void act(const std::function<bool()>& action);
    void setIdle();
    // Runs a button's action now, or once the radio action under way has ended.
    void whenIdle(std::function<void()> action);
    // Sends a channel or signalling number left in its box.
    void commitTyped();
    void commitChannel();
    void commitSignalling();
    void showChannel();
    void showSignalling();
    void showTransmit();
    // Print: the adjustment values read again, then the test-mode sheet printed at once.
    void printSheet();
    comm::TestModeFocus focusKind() const;

    AppContext& ctx_;
    comm::TestModeSession& session_;
    int shownChannel_ = 0;
    int shownSignalling_ = 0;
    bool busy_ = false;
    bool channelTyped_ = false;
    bool signallingTyped_ = false;
    std::function<void()> pending_;
    bool closing_ = false;
    bool noiseBlanker_ = false;
    QLineEdit *channelEdit_, *signallingEdit_;
    QLineEdit *channelRx_, *channelTx_, *signallingRx_, *signallingTx_;
    QLabel *channelRxLabel_, *channelTxLabel_, *signallingRxLabel_, *signallingTxLabel_;
    QToolButton *channelUp_, *channelDown_, *signallingUp_, *signallingDown_;
    QRadioButton *wide_, *narrow_;
    QGroupBox* spacingGroup_;
    QComboBox *spacingCombo_, *noiseBlankerCombo_, *companderCombo_, *beatShiftCombo_, *mskCombo_;
    QLabel* noiseBlankerLabel_;
    QListWidget* list_;
    QPushButton *tx_, *close_, *help_, *print_;
};

} // namespace velora::gui
