#include "frame/UndoController.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "forms/CoreBridge.h"
#include "forms/UndoNote.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"
#include "views/AppContext.h"

namespace velora::gui {

namespace {
QString menuText(const QString& verb, const std::string& name) {
    if (name.empty()) return verb;
    return verb + QLatin1Char(' ') +
           QString::fromStdString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

UndoController::UndoController(AppContext& ctx, MainFrame& frame)
    : QObject(&frame), ctx_(ctx), frame_(frame), undo_(new QAction(&frame)), redo_(new QAction(&frame)) {
    undo_->setObjectName(QStringLiteral("editUndo"));
    redo_->setObjectName(QStringLiteral("editRedo"));
    undo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undo_, &QAction::triggered, this, &UndoController::undo);
    connect(redo_, &QAction::triggered, this, &UndoController::redo);
    frame.addAction(undo_);
    frame.addAction(redo_);
    setUndoStepReceiver([this](const QString& what) { describe(what); });
    qApp->installEventFilter(this);
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &UndoController::idle);
    reset();
}

UndoController::~UndoController() {
    setUndoStepReceiver({});
}

void UndoController::describe(const QString& what) {
    if (pendingName_.isEmpty()) pendingName_ = what;
}

bool UndoController::eventFilter(QObject* watched, QEvent* e) {
    // A field of an editor whose text is stored (nothing typed since) has no typing to take back:
    // the keys undo the data set instead of going to the field's own text undo.
    if (e->type() != QEvent::KeyPress) return false;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || edit->isModified() || edit->window() != &frame_) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const QKeySequence typed(k->keyCombination());
    for (QAction* a : {undo_, redo_}) {
        if (!a->shortcuts().contains(typed)) continue;
        a->trigger();
        return true;
    }
    return false;
}

void UndoController::idle() {
    // A modal dialog or message box may be in the middle of an action; the step ends with it.
    if (QApplication::activeModalWidget() || frame_.transferRunning()) return;
    checkpoint();
}

QString UndoController::fallbackName() const {
    auto* sub = frame_.mdiArea()->activeSubWindow();
    return sub && sub->widget() ? undoCaption(sub->widget()->windowTitle()) : QString();
}

void UndoController::checkpoint() {
    const ImageCopy& working = ctx_.doc.image().working();
    if (history_.pending(working)) {
        history_.record(ctx_.doc, (pendingName_.isEmpty() ? fallbackName() : pendingName_).toStdString());
        updateActions();
    }
    pendingName_.clear();
}

void UndoController::reset() {
    pendingName_.clear();
    history_.reset(ctx_.doc);
    updateActions();
}

void UndoController::rebase() {
    history_.rebase(ctx_.doc);
}

void UndoController::undo() {
    restore(false);
}

void UndoController::redo() {
    restore(true);
}

void UndoController::restore(bool redo) {
    // A pending entry is a step of its own, so undo takes it back first.
    frame_.commitPendingEdit();
    checkpoint();
    const ModelIdentification before = identificationOf(ctx_.doc.image());
    if (!(redo ? history_.redo(ctx_.doc) : history_.undo(ctx_.doc))) {
        updateActions();
        return;
    }
    const bool modelChanged = identificationOf(ctx_.doc.image()) != before;
    if (modelChanged) {
        // The editors close as after Model Information; a cell they commit on the way is no part
        // of the restored data set.
        const ImageCopy restored = ctx_.doc.image().working();
        frame_.closeAllEditors();
        ctx_.doc.image().working() = restored;
    }
    frame_.showRestoredDataSet(modelChanged);
    updateActions();
}

void UndoController::updateActions() {
    undo_->setText(menuText(ctx_.text(kTextUndo), history_.undoText()));
    redo_->setText(menuText(ctx_.text(kTextRedo), history_.redoText()));
    undo_->setEnabled(history_.canUndo());
    redo_->setEnabled(history_.canRedo());
}

} // namespace velora::gui
