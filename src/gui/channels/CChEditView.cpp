#include "channels/CChEditView.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include "channels/CChInfoView.h"
#include "channels/ChannelGui.h"
#include "forms/SpinEdit.h"
#include "views/EditorHost.h"

namespace velora::gui {

using namespace channels;

CChEditView::Parts CChEditView::make(AppContext& ctx, EditorHost& frame) {
    Parts p;
    p.store = std::make_unique<ChannelStore>(ctx.doc, ctx.texts);
    p.area = std::make_unique<ChEditArea>(*p.store, ctx.boxes);
    if (CChInfoView* info = findChInfoView(frame)) p.area->setChannel(info->group(), info->channel());
    return p;
}

CChEditView::CChEditView(AppContext& ctx, EditorHost& frame) : CChEditView(ctx, frame, make(ctx, frame)) {}

CChEditView::CChEditView(AppContext& ctx, EditorHost& frame, Parts&& parts)
    : FeatureFormView(ctx, frame, std::move(parts.area), std::move(parts.store)) {
    setObjectName(QStringLiteral("chEditView"));
    // The channel functions the frame has no window-wide key for work here with the grid's keys.
    for (const ChannelFunction& f : channelFunctions()) {
        if (f.command == 0 || f.command == chcmd::kGroupEdit || f.command == chcmd::kChannelEdit) continue;
        if (QAction* owned = frame_.action(f.command); owned && !owned->shortcut().isEmpty()) continue;
        auto* a = new QAction(this);
        a->setShortcut(QKeySequence(QString::fromLatin1(f.keys)));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const int command = f.command;
        connect(a, &QAction::triggered, this, [this, command] { handleCommand(command); });
        addAction(a);
    }
    refreshAll();
    resize(sizeHint());
    QTimer::singleShot(0, this, [this] {
        if (QWidget* group = valueWidget(chedit::kGroup)) group->setFocus();
    });
}

void CChEditView::takeGridChannel() {
    if (CChInfoView* info = findChInfoView(frame_)) area().setChannel(info->group(), info->channel());
}

void CChEditView::refreshAll() {
    area().applyShowRules();
    FeatureFormView::refreshAll();
    if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget()); e && isAncestorOf(e)) e->selectAll();
}

void CChEditView::follow(int g, int c) {
    if (movingGrid_) return;
    area().setChannel(g, c);
    refreshAll();
}

void CChEditView::windowActivated(bool active) {
    if (active) takeGridChannel();
    FeatureFormView::windowActivated(active);
}

void CChEditView::refreshOthers(unsigned views) {
    CChInfoView* info = findChInfoView(frame_);
    if ((views & forms::views::kChannelInfo) && info) {
        movingGrid_ = true;
        if (info->group() != area().group()) info->setGroup(area().group());
        if (info->channel() != area().channel()) info->setChannel(area().channel());
        info->refreshRow(area().channel() + 1);
        info->refreshFreeArea();
        info->refreshGroupName();
        movingGrid_ = false;
    }
    FeatureFormView::refreshOthers(views & ~(forms::views::kChannelInfo | forms::views::kChannelEdit));
}

bool CChEditView::eventFilter(QObject* obj, QEvent* e) {
    auto* w = qobject_cast<QWidget*>(obj);
    // An open drop-down list keeps its own keys (it is a window of its own, not one of ours).
    if (e->type() != QEvent::KeyPress || !w || !isAncestorOf(w) || QApplication::activePopupWidget())
        return FeatureFormView::eventFilter(obj, e);
    switch (static_cast<QKeyEvent*>(e)->key()) {
    case Qt::Key_Escape:
        emit closeRequested();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // Page Up and Page Down step the channel as its spin buttons do, after the pending entry.
        commitFocused();
        SpinButtons* channelSpin = spin(chedit::kChannel);
        const bool up = static_cast<QKeyEvent*>(e)->key() == Qt::Key_PageUp;
        (up ? channelSpin->upButton() : channelSpin->downButton())->click();
        return true;
    }
    default:
        return FeatureFormView::eventFilter(obj, e);
    }
}

bool CChEditView::handleCommand(int command) {
    // Any pending entry goes in first; the channel functions act on the grid's channel.
    commitFocused();
    switch (command) {
    case chcmd::kChannelCopy:
    case chcmd::kFrequencyCopy:
    case chcmd::kToneCopy:
    case chcmd::kGroupJump:
    case chcmd::kGroupCopy:
    case chcmd::kChannelInsert:
    case chcmd::kChannelDelete:
    case chcmd::kGroupUp:
    case chcmd::kGroupDown:
        if (CChInfoView* info = findChInfoView(frame_)) {
            info->handleCommand(command);
            area().setChannel(info->group(), info->channel());
            refreshAll();
        }
        return true;
    default:
        return false;
    }
}

} // namespace velora::gui
