#include "views/ChildFrame.h"

#include <QCloseEvent>
#include <QMenu>

#include "views/EditorView.h"

namespace velora::gui {

ChildFrame::ChildFrame(QWidget* view, const bool& closingAll) : closingAll_(closingAll) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setWindowIcon(QIcon(QStringLiteral(":/icons/135.png")));
    setWindowTitle(view->windowTitle());
    // The system menu's keys (Ctrl+F4 among them) would be claimed by every editor window at once
    // and so by none; the main window owns them and acts on the active editor.
    if (QMenu* menu = systemMenu())
        for (QAction* a : menu->actions())
            a->setShortcutContext(Qt::WidgetShortcut);
    connect(view, &QWidget::windowTitleChanged, this, [this](const QString& t) {
        if (t != windowTitle()) setWindowTitle(t);
    });
}

void ChildFrame::closeEvent(QCloseEvent* e) {
    if (auto* view = dynamic_cast<EditorView*>(widget()); view && !view->mayClose(closingAll_)) {
        e->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(e);
}

} // namespace velora::gui
