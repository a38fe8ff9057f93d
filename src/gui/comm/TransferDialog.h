#pragma once
// "Read Data from Radio" and "Write Data to Radio": block counter, progress bar and the three
// buttons over the core's transfer procedures. The transfer runs on this thread, frame by frame,
// with window messages pumped between frames; the buttons stay disabled meanwhile.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "comm/RadioTransfer.h"
#include "views/AppContext.h"

namespace velora::gui {

class EditorHost;

class TransferDialog : public QDialog, public comm::TransferUi {
    Q_OBJECT
  public:
    enum class Mode { Read, Write };
    TransferDialog(AppContext& ctx, EditorHost& frame, Mode mode);

    // Presses button 1 (Read or Write).
    void start();
    bool running() const { return running_; }
    const comm::TransferOutcome& outcome() const { return outcome_; }
    QLabel* blockLabel() const { return label_; }
    QProgressBar* progressBar() const { return bar_; }
    // Write only: "Verify after writing", remembered in the settings; nullptr when reading.
    QCheckBox* verifyBox() const { return verify_; }

    using QDialog::show;
    // TransferUi.
    MsgAnswer show(const Message& m) override;
    void showProgress(int labelCounter, int position, int total) override;
    void pumpMessages() override;
    void waitWhilePumping(std::chrono::milliseconds ms) override;

    void reject() override;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void setIdleTitle();
    AppContext& ctx_;
    EditorHost& frame_;
    Mode mode_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton *go_, *cancel_, *help_;
    QCheckBox* verify_ = nullptr;
    bool running_ = false;
    bool checked_ = false;
    comm::TransferOutcome outcome_;
};

} // namespace velora::gui
