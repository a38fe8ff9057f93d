#pragma once
// The five copy and jump dialogs (Channel Copy, Frequency Copy, QT/DQT Copy, Group Copy, Group
// Jump), laid out from the core's field tables; Copy and Jump run the core's operations.
#include <QDialog>
#include <memory>
#include <vector>

#include "channels/CopyDialogs.h"
#include "views/AppContext.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace velora::gui {

class CChInfoView;
class FilteredLineEdit;
class EditorHost;
class SpinButtons;

class CopyDialog : public QDialog {
    Q_OBJECT
  public:
    CopyDialog(channels::CopyDialogKind kind, AppContext& ctx, EditorHost& frame, CChInfoView& info,
               QWidget* parent = nullptr);
    ~CopyDialog() override;

    // The value widget of field i of the dialog's table (label, edit or combo box).
    QWidget* valueWidget(int field) const { return fields_[std::size_t(field)].value; }
    FilteredLineEdit* edit(int field) const { return fields_[std::size_t(field)].edit; }
    SpinButtons* spin(int field) const { return fields_[std::size_t(field)].spin; }
    QPushButton* actionButton() const { return action_; }
    QPushButton* cancelButton() const { return cancel_; }

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    struct Field {
        QWidget* value = nullptr;
        FilteredLineEdit* edit = nullptr;
        SpinButtons* spin = nullptr;
        int max = 0; // number fields: 160 groups or the channel limit
    };
    void build();
    QString initialText(int field) const;
    void commitNumber(int field);
    void onAction();

    channels::CopyDialogKind kind_;
    const channels::CopyDialogSpec& spec_;
    AppContext& ctx_;
    EditorHost& frame_;
    CChInfoView& info_;
    std::unique_ptr<ChannelStore> store_;
    int group_;
    int channel_;
    std::vector<Field> fields_;
    QPushButton* action_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace velora::gui
