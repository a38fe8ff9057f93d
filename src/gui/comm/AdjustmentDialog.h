#pragma once
// The adjustment dialog: one adjustment item of the radio, its value (1 to 255), the volume, the
// item's test frequencies, the transmitter, and a tab per adjustment point. Every change goes to the
// radio at once through the core's adjustment session.
#include <QDialog>
#include <memory>

#include "comm/Tuning.h"
#include "views/AppContext.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabBar;

namespace velora::gui {

class AdjustmentDialog : public QDialog {
    Q_OBJECT
  public:
    AdjustmentDialog(AppContext& ctx, comm::TestModeSession& testMode, int item, QWidget* parent = nullptr);

    // Starts the item in the radio; false when that was cancelled (the dialog is not to be shown).
    bool start();
    // Test mode must close too: an operation was cancelled.
    bool closesTestMode() const { return closeTestMode_; }
    bool transmitterMayBeOn() const { return session_.transmitterMayBeOn(); }
    const comm::AdjustmentSession& session() const { return session_; }

    QSpinBox* valueSpin() const { return value_; }
    QSpinBox* volumeSpin() const { return volume_; }
    QTabBar* tabBar() const { return tabs_; }
    QPushButton* transmitButton() const { return tx_; }

    void accept() override;
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Runs a session action; a cancelled prompt takes the Cancel path.
    void act(const std::function<bool()>& action);
    void refresh();
    comm::AdjustmentFocus focusKind() const;

    AppContext& ctx_;
    comm::TestModeSession& testMode_;
    comm::AdjustmentSession session_;
    bool busy_ = false;
    bool closing_ = false;
    bool closeTestMode_ = false;
    QTabBar* tabs_;
    QLabel *valueText_, *volumeText_;
    QProgressBar *valueBar_, *volumeBar_;
    QSpinBox *value_, *volume_;
    QLineEdit *rx_, *txBox_;
    QPushButton *ok_, *cancel_, *help_, *tx_;
};

} // namespace velora::gui
