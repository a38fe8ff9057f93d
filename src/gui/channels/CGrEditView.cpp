#include "channels/CGrEditView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "channels/CChInfoView.h"
#include "channels/ChannelGui.h"
#include "forms/CFormView.h"
#include "forms/FilteredLineEdit.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

using namespace channels;

CGrEditView::CGrEditView(AppContext& ctx, EditorHost& frame, QWidget* parent)
    : QWidget(parent), ctx_(ctx), frame_(frame), store_(std::make_unique<ChannelStore>(ctx.doc, ctx.texts)),
      area_(*store_, ctx.boxes) {
    setObjectName(QStringLiteral("grEditView"));
    if (CChInfoView* info = findChInfoView(frame_)) area_.setGroup(info->group());
    form_ = new CFormView(area_, ctx_.texts, ctx_.fixedFont, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
    connect(form_, &CFormView::closeRequested, this, [this] {
        if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    });
    connect(form_, &CFormView::helpRequested, this, [this](int topic) { frame_.showHelpTopic(topic); });
    connect(form_, &CFormView::refreshViews, this, [this](unsigned views) {
        if ((views & forms::views::kChannelInfo))
            if (CChInfoView* info = findChInfoView(frame_)) info->refreshGroupName();
        frame_.refreshOtherViews(views & ~forms::views::kChannelInfo);
    });
    connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w && w->widget() == this)
            if (CChInfoView* info = findChInfoView(frame_)) showGroup(info->group());
    });
    // Group Copy has no window-wide key: the view carries it.
    auto* groupCopy = new QAction(this);
    groupCopy->setShortcut(QKeySequence(QStringLiteral("Shift+F8")));
    groupCopy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(groupCopy, &QAction::triggered, this, [this] { handleCommand(chcmd::kGroupCopy); });
    addAction(groupCopy);
    qApp->installEventFilter(this);
    refreshAll();
    resize(sizeHint());
}

CGrEditView::~CGrEditView() {
    qApp->removeEventFilter(this);
}

void CGrEditView::showGroup(int g) {
    area_.setGroup(g);
    refreshAll();
}

void CGrEditView::refreshAll() {
    if (auto* name = qobject_cast<FilteredLineEdit*>(form_->valueWidget(0, gredit::kName)))
        name->setLimit(area_.editFormat(0, gredit::kName).maxLength);
    form_->refreshAll();
    QString t = fromCore(area_.windowTitle());
    if (windowTitle() != t) setWindowTitle(t);
}

bool CGrEditView::handleCommand(int command) {
    switch (command) {
    case chcmd::kGroupJump:
    case chcmd::kGroupCopy:
    case chcmd::kGroupUp:
    case chcmd::kGroupDown:
        if (QWidget* w = QApplication::focusWidget(); w && isAncestorOf(w)) form_->setFocus(); // commits
        if (CChInfoView* info = findChInfoView(frame_)) {
            info->handleCommand(command);
            showGroup(info->group());
        }
        return true;
    default:
        return false;
    }
}

void CGrEditView::commitPendingEdit() {
    form_->commitFocused();
}

std::optional<int> CGrEditView::helpContext() const {
    QWidget* w = QApplication::focusWidget();
    int id = w ? w->property("controlId").toInt() : 0;
    if (!id && w && w->parentWidget()) id = w->parentWidget()->property("controlId").toInt();
    if (auto ref = area_.findValueControl(id)) return area_.helpTopic(ref->page, ref->field);
    return area_.defaultHelp();
}

bool CGrEditView::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w || !isAncestorOf(w)) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    auto* list = qobject_cast<QComboBox*>(form_->valueWidget(0, gredit::kSignalling));
    const bool dropped = list && list->view()->isVisible();
    switch (k->key()) {
    case Qt::Key_Escape:
        if (dropped) return false;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(sub, &QWidget::close, Qt::QueuedConnection);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (dropped) return false;
        handleCommand(k->key() == Qt::Key_PageUp ? chcmd::kGroupUp : chcmd::kGroupDown);
        return true;
    default:
        return false;
    }
}

} // namespace velora::gui
