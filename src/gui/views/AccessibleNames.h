#pragma once
// Names every focusable control for assistive technology from what a sighted user reads beside it:
// the label whose buddy it is, the label to its left in the same layout row, a form layout's label,
// a button's own text, or the title of the group box around it. Installed once on the application,
// so every editor and dialog gets the same treatment however it builds its widgets; a name or
// description a view sets itself is kept. A label found this way becomes the control's buddy, so its
// mnemonic moves the focus there.
#include <QObject>
#include <QString>

class QWidget;

namespace velora::gui {

// The name the control would be given, empty when nothing beside it names it.
QString accessibleNameFor(QWidget* w);
// Names w and every focusable control inside it that has no name yet.
void nameControls(QWidget* root);

class AccessibleNaming : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // Installs one instance on the running application (again is harmless).
    static void install();

  protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
};

} // namespace velora::gui
