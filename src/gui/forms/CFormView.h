#pragma once
// The one form view that renders any feature area from its tables: a tab page per field page,
// a row per field (label, value control, spin buttons), labels from the language texts. It only
// shows and forwards: every value comes from the area's fieldText, every entry goes to its
// commit and step operations, and the area's answer says what else to show again.
#include <QHash>
#include <QWidget>

#include "base/TextSource.h"
#include "forms/FeatureArea.h"

class QTabWidget;
class QPushButton;
class QLabel;
class QCheckBox;
class QComboBox;
class QGridLayout;

namespace velora::gui {

class FilteredLineEdit;
class SpinButtons;

class CFormView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCloseControl = 1011;
    static constexpr int kHelpControl = 111;

    CFormView(forms::FeatureArea& area, const TextSource& texts, const QFont& fixedFont,
              QWidget* parent = nullptr);
    ~CFormView() override;

    forms::FeatureArea& area() { return area_; }
    const forms::FeatureArea& area() const { return area_; }
    int currentPage() const;
    void setCurrentPage(int page);
    int pageCount() const;
    QTabWidget* tabs() const { return tabs_; }

    // The widget holding a field's value (edit, list, check box), nullptr for labels and lines.
    QWidget* valueWidget(int page, int field) const;
    QWidget* labelWidget(int page, int field) const;
    SpinButtons* spinButtons(int page, int field) const;
    // The edit of an edit field, read-only text or tone combo; nullptr for other kinds.
    FilteredLineEdit* lineEdit(int page, int field) const;
    // Any control by its id (value, label and spin controls of the tables, Close and Help).
    QWidget* control(int id) const;
    // Help topic for a widget of the view: its field's topic, else the view's default.
    int helpTopicFor(const QWidget* w) const;

  public slots:
    void showField(int page, int field);
    void refreshEnables(int page);
    // A view whose area has rules to run before everything is shown again extends this.
    virtual void refreshAll();
    // What was typed into the focused field goes in now (a command is about to act on the data).
    void commitFocused();
    // The view became the active one: show what changed elsewhere.
    void activated() { refreshAll(); }

  signals:
    void helpRequested(int topic);
    void closeRequested();
    // Other views that must show what a commit changed (forms::views bits).
    void refreshViews(unsigned views);

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    struct Field {
        int page = 0;
        int field = 0;
        forms::FieldKind kind = forms::FieldKind::None;
        QWidget* label = nullptr;
        QWidget* value = nullptr;         // what takes the focus
        FilteredLineEdit* edit = nullptr; // edits, read-only text and the tone combo's edit
        QComboBox* list = nullptr;        // drop-down lists and tone combos
        QCheckBox* check = nullptr;
        SpinButtons* spin = nullptr;
    };
    // Where the next row of a page goes: the grid of the page, of one of its two columns or of a frame.
    struct Rows {
        QGridLayout* grid = nullptr;
        int row = -1;
    };
    void buildPage(int page, QWidget* host);
    bool joinsPrevious(int page, int field) const;
    int secondColumnStart(int page) const;
    QWidget* makeEdit(Field& f, const forms::FieldDescriptor& d, QWidget* host);
    void makeList(Field& f, QWidget* host);
    void makeCombo(Field& f, const forms::FieldDescriptor& d, QWidget* host);
    void commitEdit(Field& f);
    void leave(Field& f);
    void apply(const Field& f, const forms::FieldEffects& fx);
    void fillList(Field& f);
    void switchPage(int direction);
    int visiblePages() const;
    void updatePageVisibility();
    bool isOwnWidget(QObject* obj) const;
    Field* fieldOf(const QObject* obj);
    const Field* fieldOf(const QObject* obj) const;

    forms::FeatureArea& area_;
    const TextSource& texts_;
    QFont fixedFont_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* help_ = nullptr;
    std::vector<std::vector<Field>> fields_;
    QHash<QObject*, std::pair<int, int>> byWidget_;
    QHash<int, QWidget*> byId_;
    bool committing_ = false;
};

} // namespace velora::gui
