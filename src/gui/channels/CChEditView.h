#pragma once
// The channel edit view: every setting of the grid's current channel as a form. It follows the
// channel information view, and moving to another group or channel here moves the grid.
#include <QWidget>
#include <memory>
#include <vector>

#include "app/AppContext.h"
#include "channels/ChEditArea.h"
#include "frame/EditorView.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace velora::gui {

class FilteredLineEdit;
class MainFrame;
class SpinButtons;

class CChEditView : public QWidget, public EditorView {
    Q_OBJECT
  public:
    CChEditView(AppContext& ctx, MainFrame& frame, QWidget* parent = nullptr);
    ~CChEditView() override;

    void refreshFromImage() override { refreshAll(); }
    bool handleCommand(int command) override;
    std::optional<int> helpContext() const override;

    // Shows another channel (the grid moved).
    void follow(int g, int c);
    void refreshAll();
    void showField(int field);
    void refreshEnables();

    channels::ChEditArea& area() { return area_; }
    QWidget* valueWidget(int field) const { return fields_[std::size_t(field)].value; }
    FilteredLineEdit* edit(int field) const;
    SpinButtons* spin(int field) const { return fields_[std::size_t(field)].spin; }

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    struct Field {
        QWidget* label = nullptr;
        QWidget* value = nullptr;
        FilteredLineEdit* edit = nullptr; // edits and the tone combos' edit part
        SpinButtons* spin = nullptr;
    };
    void build();
    void commitEdit(int field);
    void apply(const forms::FieldEffects& fx);
    int fieldOf(QObject* obj) const;
    void updateTitle();

    AppContext& ctx_;
    MainFrame& frame_;
    std::unique_ptr<ChannelStore> store_;
    channels::ChEditArea area_;
    std::vector<Field> fields_;
    bool committing_ = false;
};

} // namespace velora::gui
