#pragma once
// A line edit whose typed characters, pastes, drops and input-method commits all pass the core's
// character-class rule for its class byte. Lower-case letters a class turns into capitals go in as
// capitals; "." or "," in a decimal edit goes in as the locale's point.
#include <QLineEdit>

#include "forms/CharClass.h"

namespace velora::gui {

class FilteredLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit FilteredLineEdit(QWidget* parent = nullptr);

    void setCharClass(forms::CharClass cls) { class_ = cls; }
    forms::CharClass charClass() const { return class_; }
    void setDecimalPoint(char point) { point_ = point; }
    // Most characters the user may type (0 = no limit). Unlike maxLength it never cuts text set
    // by the program, so a longer special-value text still shows whole.
    void setLimit(int chars) { limit_ = chars; }
    int limit() const { return limit_; }
    char decimalPoint() const { return point_; }

    // Inserts text at the cursor (over the selection) as if typed, dropping what the class refuses.
    void insertFiltered(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    forms::EditContext context(const std::string& latin1) const;
    forms::CharClass class_ = forms::CharClass::Any;
    char point_ = '.';
    int limit_ = 0;
};

// The decimal point of the user's locale, as the core takes it.
char localeDecimalPoint();

} // namespace velora::gui
