#include "views/AccessibleNames.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <vector>

namespace velora::gui {
namespace {

// "&Frequency:" reads "Frequency".
QString plain(QString text) {
    static const QRegularExpression mnemonic(QStringLiteral("&(?!&)"));
    text.remove(mnemonic);
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

QLabel* textLabel(QLayoutItem* item) {
    auto* l = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    return l && !plain(l->text()).isEmpty() && l->pixmap().isNull() ? l : nullptr;
}

// The layouts from the one holding w directly out to its parent widget's, each with the index of the
// item that leads to w.
bool layoutPath(QLayout* layout, QWidget* w, std::vector<std::pair<QLayout*, int>>& path) {
    if (!layout) return false;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w || layoutPath(item->layout(), w, path)) {
            path.emplace_back(layout, i);
            return true;
        }
    }
    return false;
}

QLabel* labelBeside(QWidget* w) {
    if (!w->parentWidget()) return nullptr;
    for (auto* l : w->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (l->buddy() == w && !plain(l->text()).isEmpty()) return l;
    std::vector<std::pair<QLayout*, int>> path;
    layoutPath(w->parentWidget()->layout(), w, path);
    // Outwards: a control first in its row of edits and buttons takes the label before the row.
    for (auto [layout, index] : path) {
        if (auto* form = qobject_cast<QFormLayout*>(layout)) {
            int row = 0;
            QFormLayout::ItemRole role{};
            form->getItemPosition(index, &row, &role);
            return role == QFormLayout::FieldRole ? textLabel(form->itemAt(row, QFormLayout::LabelRole))
                                                  : nullptr;
        }
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            int row = 0, col = 0, rs = 0, cs = 0;
            grid->getItemPosition(index, &row, &col, &rs, &cs);
            for (int c = col - 1; c >= 0; --c)
                if (QLayoutItem* item = grid->itemAtPosition(row, c)) return textLabel(item);
            continue;
        }
        // "A - B": the second of two joined edits takes the row's label like the first.
        bool joined = false;
        bool stop = false;
        for (int i = index - 1; i >= 0 && !stop; --i) {
            QLayoutItem* item = layout->itemAt(i);
            if (item->spacerItem()) continue;
            if (QLabel* l = textLabel(item)) {
                static const QRegularExpression word(QStringLiteral("\\w"));
                if (l->text().contains(word)) return l;
                joined = true;
                continue;
            }
            stop = !joined; // another control sits between
        }
        if (stop) return nullptr;
    }
    return nullptr;
}

bool focusable(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) && !qobject_cast<const QLabel*>(w) &&
           !qobject_cast<const QTabBar*>(w);
}

} // namespace

QString accessibleNameFor(QWidget* w) {
    if (QLabel* l = labelBeside(w)) {
        if (!l->buddy()) l->setBuddy(w);
        return plain(l->text());
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !plain(b->text()).isEmpty())
        return plain(b->text());
    for (QWidget* p = w->parentWidget(); p; p = p->isWindow() ? nullptr : p->parentWidget())
        if (auto* g = qobject_cast<QGroupBox*>(p); g && !plain(g->title()).isEmpty())
            return plain(g->title());
    if (!w->toolTip().isEmpty()) return plain(w->toolTip());
    // A grid, a set of pages or a line of free text that fills its page is named after the page or
    // the view.
    for (QWidget* p = w; p; p = p->parentWidget()) {
        auto* tabs =
            p->parentWidget() ? qobject_cast<QTabWidget*>(p->parentWidget()->parentWidget()) : nullptr;
        if (tabs && tabs->indexOf(p) >= 0 && !plain(tabs->tabText(tabs->indexOf(p))).isEmpty())
            return plain(tabs->tabText(tabs->indexOf(p)));
        if (!p->windowTitle().isEmpty()) return plain(p->windowTitle());
    }
    return {};
}

void nameControls(QWidget* root) {
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        if (!focusable(w) || !w->accessibleName().isEmpty()) continue;
        const QString name = accessibleNameFor(w);
        if (name.isEmpty()) continue;
        w->setAccessibleName(name);
        // A tool tip that says more than the label becomes the description.
        if (w->accessibleDescription().isEmpty() && !w->toolTip().isEmpty() && plain(w->toolTip()) != name)
            w->setAccessibleDescription(w->toolTip());
    }
}

void AccessibleNaming::install() {
    auto* app = QCoreApplication::instance();
    if (!app || app->findChild<AccessibleNaming*>(QString(), Qt::FindDirectChildrenOnly)) return;
    app->installEventFilter(new AccessibleNaming(app));
}

bool AccessibleNaming::eventFilter(QObject* obj, QEvent* e) {
    // Show reaches each widget the first time it appears and again when a page is shown, after its
    // layout placed the labels; a widget added later is named when it appears.
    if (e->type() == QEvent::Show && obj->isWidgetType()) {
        auto* w = static_cast<QWidget*>(obj);
        if (focusable(w) && w->accessibleName().isEmpty()) nameControls(w);
    }
    return false;
}

} // namespace velora::gui
