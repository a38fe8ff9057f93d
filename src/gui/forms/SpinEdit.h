#pragma once
// Up/down buttons that only tell a direction: the owner steps the value through the core, never
// with Qt's own arithmetic. SpinEdit pairs them with a filtered edit.
#include <QWidget>

#include "forms/FilteredLineEdit.h"

class QToolButton;

namespace velora::gui {

class SpinButtons : public QWidget {
    Q_OBJECT
  public:
    explicit SpinButtons(QWidget* parent = nullptr);
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  signals:
    void stepped(int direction); // +1 up, -1 down

  private:
    QToolButton* up_;
    QToolButton* down_;
};

class SpinEdit : public QWidget {
    Q_OBJECT
  public:
    explicit SpinEdit(QWidget* parent = nullptr);
    FilteredLineEdit* edit() const { return edit_; }
    SpinButtons* buttons() const { return buttons_; }

  signals:
    // The owner commits edit()->text() first, then steps and shows the value again.
    void stepRequested(int direction);

  private:
    FilteredLineEdit* edit_;
    SpinButtons* buttons_;
};

} // namespace velora::gui
