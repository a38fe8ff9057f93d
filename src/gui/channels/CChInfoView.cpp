#include "channels/CChInfoView.h"
#include "forms/CoreBridge.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "channels/CChEditView.h"
#include "channels/CGrEditView.h"
#include "channels/ChannelGui.h"
#include "channels/CopyDialog.h"
#include "forms/FilteredLineEdit.h"
#include "forms/UndoNote.h"
#include "grid/CMSFlexGrid.h"
#include "model/ToneCodec.h"
#include "views/EditorHost.h"
#include "views/HelpWindow.h"

namespace velora::gui {

using namespace channels;

namespace {

constexpr int kTextClose = 13, kTextHelp = 14, kTextGrpEdit = 21, kTextChannelEdit = 22, kTextGrpUp = 23,
              kTextGrpDn = 24, kTextGroupName = 360;

QPushButton* button(const QString& text, int id, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    b->setDefault(false);
    setControlId(b, id);
    return b;
}

CopyDialogKind dialogKind(int command) {
    switch (command) {
    case chcmd::kChannelCopy:
        return CopyDialogKind::ChannelCopy;
    case chcmd::kFrequencyCopy:
        return CopyDialogKind::FrequencyCopy;
    case chcmd::kToneCopy:
        return CopyDialogKind::ToneCopy;
    case chcmd::kGroupCopy:
        return CopyDialogKind::GroupCopy;
    default:
        return CopyDialogKind::GroupJump;
    }
}

} // namespace

CChInfoView::CChInfoView(AppContext& ctx, EditorHost& frame, QWidget* parent)
    : QWidget(parent), ctx_(ctx), frame_(frame), store_(std::make_unique<ChannelStore>(ctx.doc, ctx.texts)),
      logic_(*store_, ctx.boxes) {
    setObjectName(QStringLiteral("chInfoView"));
    buildMenu();

    grid_ = new CMSFlexGrid(this);
    setControlId(grid_, 1038);
    grid_->setupColumns(kChInfoColumns, ctx_.texts, ctx_.fixedFont);
    grid_->setRows(logic_.rows());
    grid_->numberRows();
    grid_->setEmphasiseCurrent(true);
    grid_->setContextMenu(CMSFlexGrid::MenuKind::CopyToClip, &ctx_.texts);
    grid_->setPasteAvailable([] { return channelPasteBuffer().holdsData(); });
    // The given widths are a minimum: a title the user's font makes longer must stay readable.
    const QFontMetrics titleFont(grid_->horizontalHeader()->font());
    for (int c = 1; c < kChInfoCols; ++c) {
        const int need = titleFont.horizontalAdvance(grid_->textMatrix(0, c)) + 12;
        if (grid_->columnWidth(c - 1) < need) grid_->setColumnWidth(c - 1, need);
    }
    int width = grid_->verticalHeader()->width() + 2 * grid_->frameWidth() +
                grid_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < grid_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    grid_->setMinimumWidth(width);
    grid_->setMinimumHeight(20 * 18 + grid_->horizontalHeader()->sizeHint().height());

    textEdit_ = new FilteredLineEdit(grid_->viewport());
    setControlId(textEdit_, 1268);
    textEdit_->hide();
    choiceEdit_ = new QComboBox(grid_->viewport());
    setControlId(choiceEdit_, 1270);
    choiceEdit_->hide();

    freeArea_ = new QLabel(this);
    setControlId(freeArea_, 1487);
    auto* groupNameTitle = new QLabel(ctx_.text(kTextGroupName), this);
    setControlId(groupNameTitle, 1272);
    groupName_ = new QLabel(this);
    setControlId(groupName_, 1488);
    groupName_->setFont(grid_->fixedFont());
    groupName_->setMinimumWidth(
        QFontMetrics(grid_->fixedFont()).horizontalAdvance(QString(16, QLatin1Char('W'))));
    groupName_->setFrameShape(QFrame::StyledPanel);

    auto* close = button(ctx_.text(kTextClose), 1011, this);
    auto* help = button(ctx_.text(kTextHelp), 111, this);
    auto* up = button(ctx_.text(kTextGrpUp), 1346, this);
    auto* down = button(ctx_.text(kTextGrpDn), 1347, this);
    channelEditButton_ = button(ctx_.text(kTextChannelEdit), 1107, this);
    groupEditButton_ = button(ctx_.text(kTextGrpEdit), 1267, this);
    connect(close, &QPushButton::clicked, this, [this] {
        if (auto* w = qobject_cast<QMdiSubWindow*>(parentWidget()))
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    });
    connect(help, &QPushButton::clicked, this, [this] { showHelp(*helpContext()); });
    connect(up, &QPushButton::clicked, this, [this] { handleCommand(chcmd::kGroupUp); });
    connect(down, &QPushButton::clicked, this, [this] { handleCommand(chcmd::kGroupDown); });
    connect(channelEditButton_, &QPushButton::clicked, this, [this] { openView(kCmdChannelEditView); });
    connect(groupEditButton_, &QPushButton::clicked, this, [this] { openView(kCmdGroupEditView); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {up, down, channelEditButton_, groupEditButton_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* middle = new QHBoxLayout;
    middle->addWidget(grid_, 1);
    middle->addLayout(buttons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(groupNameTitle);
    bottom->addWidget(groupName_);
    bottom->addStretch();
    bottom->addWidget(freeArea_);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(grid_, &CMSFlexGrid::rowColChange, this, &CChInfoView::onCellChanged);
    connect(grid_, &CMSFlexGrid::gridMouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int r, int c) { onMouseDown(b, r, c); });
    connect(grid_, &CMSFlexGrid::dblClick, this, [this](int r, int) {
        if (grid_->hasRowSelection() && r >= 1 && store_->channelExists(logic_.group(), logic_.channel())) {
            grid_->setFocus();
            openView(kCmdChannelEditView);
        }
    });
    connect(grid_, &CMSFlexGrid::command, this, &CChInfoView::rowCommand);
    connect(choiceEdit_, &QComboBox::activated, this, [this](int index) {
        apply(logic_.commitChoice(editRow_, editCol_, choiceEdit_->itemData(index).toInt()), editRow_);
    });
    frame_.onGridClipboardDiscarded(this, [] { channelPasteBuffer().clear(); });
    connect(frame_.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (!w || w->widget() != this) return;
        // Back from another editor: whatever it changed shows, and typing goes to the grid.
        if (grid_->editor()) closeEditor(true);
        grid_->setFocus();
        refreshAll();
    });
    for (QObject* o : {static_cast<QObject*>(grid_), static_cast<QObject*>(textEdit_),
                       static_cast<QObject*>(choiceEdit_)})
        o->installEventFilter(this);

    grid_->clearRowSelection();
    grid_->setFocus();
    refreshAll();
    resize(sizeHint());
}

CChInfoView::~CChInfoView() = default;

QComboBox* CChInfoView::toneEditor() {
    return toneEdit_ ? toneEdit_ : makeToneEditor();
}

// The tone cells' editor, a combo of every tone, stays out of sight until a tone cell is edited; it
// is made then rather than with the view, where it was a good share of the time to open it.
QComboBox* CChInfoView::makeToneEditor() {
    QStringList tones;
    const std::string off(ctx_.texts.text(kTextToneOff));
    for (std::size_t i = 0; i < kToneChoiceCount; ++i)
        tones << fromCore(toneChoiceText(i, off, ctx_.doc.codec().decimalSeparator()));
    toneEdit_ = CMSFlexGrid::makeToneEditor(grid_->viewport(), tones);
    setControlId(toneEdit_, 1269);
    toneEdit_->setMaxVisibleItems(12);
    // Right after the text editor in the focus chain, where it stood when made with the view.
    QWidget::setTabOrder(textEdit_, toneEdit_);
    connect(toneEdit_, &QComboBox::activated, this, [this](int index) {
        // The combo also reports its edit text matching an entry when the edit ends; a cancelled
        // edit stores nothing.
        if (cancelling_) return;
        apply(logic_.commitChoice(editRow_, editCol_, index), editRow_);
        toneEdit_->lineEdit()->setModified(false);
    });
    // Its keys and focus arrive at the combo, which holds the focus for its edit part.
    toneEdit_->installEventFilter(this);
    toneEdit_->lineEdit()->installEventFilter(this);
    return toneEdit_;
}

void CChInfoView::buildMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    QMenu* menu = menuBar_->addMenu(QStringLiteral("Channel Function"));
    menu->setObjectName(QStringLiteral("menu143"));
    for (const ChannelFunction& f : channelFunctions()) {
        if (f.command == 0) {
            menu->addSeparator();
            continue;
        }
        const QKeySequence keys(QString::fromLatin1(f.keys));
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("cmd%1").arg(f.command));
        a->setData(f.command);
        const int command = f.command;
        connect(a, &QAction::triggered, this, [this, command] { handleCommand(command); });
        // The frame owns most of these keys window-wide; the view adds only those it lacks, so
        // no key is bound twice. The menu shows the key that works either way.
        if (frame_.action(command) && !frame_.action(command)->shortcut().isEmpty()) {
            a->setText(QString::fromLatin1(f.label) + QLatin1Char('\t') +
                       keys.toString(QKeySequence::NativeText));
        } else {
            a->setText(QString::fromLatin1(f.label));
            a->setShortcut(keys);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        menu->addAction(a);
    }
    giveUniqueMnemonics(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) a->setEnabled(logic_.commandApplies(a->data().toInt()));
    });
    // The greying holds for the open menu only: a disabled action would also disable its key.
    connect(menu, &QMenu::aboutToHide, this, [menu] {
        for (QAction* a : menu->actions())
            a->setEnabled(true);
    });
}

// ---- Showing --------------------------------------------------------------------------------------

void CChInfoView::updateTitle() {
    QString t = fromCore(logic_.title());
    if (windowTitle() != t) setWindowTitle(t);
}

void CChInfoView::refreshRow(int row) {
    if (row < 1 || row >= grid_->rows()) return;
    auto texts = logic_.rowTexts(row);
    for (int f = 0; f < kChannelFieldCount; ++f) {
        QString t = fromCore(texts[std::size_t(f)]);
        if (grid_->textMatrix(row, f + 1) != t) grid_->setTextMatrix(row, f + 1, t);
    }
}

void CChInfoView::refreshFreeArea() {
    freeArea_->setText(fromCore(logic_.freeAreaText()));
}

void CChInfoView::refreshGroupName() {
    groupName_->setText(fromCore(logic_.groupNameText()));
}

void CChInfoView::refreshAll() {
    refreshFreeArea();
    refreshGroupName();
    grid_->setUpdatesEnabled(false);
    for (int r = 1; r < grid_->rows(); ++r)
        refreshRow(r);
    grid_->setUpdatesEnabled(true);
    updateTitle();
    if (CGrEditView* g = findGrEditView(frame_)) g->showGroup(logic_.group());
}

void CChInfoView::apply(const ChInfoRefresh& r, int row) {
    if (r.allRows) {
        refreshAll();
    } else {
        if (r.row) refreshRow(row);
        if (r.freeArea) refreshFreeArea();
        if (r.groupName) refreshGroupName();
    }
    if ((r.otherViews & forms::views::kChannelEdit) || r.allRows)
        if (CChEditView* e = findChEditView(frame_)) e->follow(logic_.group(), logic_.channel());
    frame_.refreshOtherViews(r.otherViews & ~(forms::views::kChannelInfo | forms::views::kChannelEdit));
}

void CChInfoView::setGroup(int g) {
    logic_.setGroup(g);
    refreshAll();
    if (CChEditView* e = findChEditView(frame_)) e->follow(logic_.group(), logic_.channel());
}

void CChInfoView::setChannel(int c) {
    grid_->setCurrent(c + 1, grid_->col());
    grid_->scrollToItem(grid_->item(c, 0));
}

// ---- Editing ---------------------------------------------------------------------------------------

bool CChInfoView::startEditing(const QKeyEvent* typed, bool empty) {
    const int row = grid_->row(), col = grid_->col();
    auto s = logic_.startEditing(row, col);
    if (!s) return false;
    if (typed) {
        QString t = typed->text();
        if (t.size() != 1 || !logic_.keyOpensEditor(row, col, char32_t(t.at(0).unicode()),
                                                    ctx_.doc.codec().decimalSeparator()))
            return false;
    }
    if (s->col != col) grid_->setCurrent(row, s->col);
    editRow_ = row;
    editCol_ = s->col;
    const QString text = empty ? QString() : grid_->textMatrix(row, s->col);
    switch (s->editor) {
    case CellEditor::Text:
        textEdit_->setCharClass(s->charClass);
        textEdit_->setDecimalPoint(ctx_.doc.codec().decimalSeparator());
        textEdit_->setLimit(s->maxLength);
        textEdit_->setFont(s->nameFont ? grid_->fixedFont() : grid_->font());
        textEdit_->setAlignment(s->nameFont ? Qt::AlignLeft : Qt::AlignRight);
        grid_->showEditor(CMSFlexGrid::EditorKind::Edit, textEdit_, text, true);
        textEdit_->setModified(empty);
        break;
    case CellEditor::Tone:
        grid_->showEditor(CMSFlexGrid::EditorKind::Combo, toneEditor(), text, true);
        toneEdit_->lineEdit()->setModified(empty);
        break;
    case CellEditor::Choice:
        choiceEdit_->clear();
        for (std::size_t i = 0; i < s->choices.size(); ++i)
            choiceEdit_->addItem(ctx_.text(s->choices[i]), int(i));
        grid_->showEditor(CMSFlexGrid::EditorKind::List, choiceEdit_, text, true);
        break;
    }
    if (typed) grid_->forwardKeyToEditor(typed);
    return true;
}

void CChInfoView::commitEditor() {
    if (committing_ || cancelling_) return;
    committing_ = true; // a message box of this commit takes the focus: no second commit
    describeUndoStep(channelStepName(ctx_.texts, logic_.group() + 1, editRow_,
                                     undoCaption(grid_->textMatrix(0, editCol_))));
    if (grid_->editor() == textEdit_)
        apply(logic_.commitText(editRow_, editCol_, toCore(textEdit_->text()), textEdit_->isModified()),
              editRow_);
    else if (toneEdit_ && grid_->editor() == toneEdit_)
        apply(logic_.commitText(editRow_, editCol_, toCore(toneEdit_->currentText()),
                                toneEdit_->lineEdit()->isModified()),
              editRow_);
    committing_ = false;
}

void CChInfoView::closeEditor(bool commit) {
    if (!grid_->editor()) return;
    if (commit) commitEditor();
    cancelling_ = true;
    grid_->hideEditor(false);
    cancelling_ = false;
}

bool CChInfoView::editorKey(QKeyEvent* k) {
    const bool shift = k->modifiers() & Qt::ShiftModifier;
    switch (k->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (k->modifiers() & Qt::ControlModifier) return false;
        closeEditor(true);
        if (k->key() == Qt::Key_Backtab || shift) {
            // The reverse of Tab: at a row's start it goes on at the end of the row above.
            const grid::GridState to = grid::previousCell(grid_->shape(), {grid_->row(), grid_->col()});
            grid_->setCurrent(to.row, to.col);
        } else {
            grid_->nextCell();
        }
        grid_->setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (auto* list = qobject_cast<QComboBox*>(grid_->editor()); list && list->view()->isVisible())
            return false;
        const int row = editRow_, col = editCol_;
        closeEditor(true);
        for (int n = logic_.enterAdvance(row, col); n > 0; --n)
            grid_->nextCell();
        grid_->setFocus();
        return true;
    }
    case Qt::Key_Escape:
        // The cell keeps what it showed; nothing is stored.
        closeEditor(false);
        grid_->setFocus();
        return true;
    default:
        return false;
    }
}

bool CChInfoView::gridKey(QKeyEvent* k) {
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (k->isAutoRepeat()) return true;
        return startEditing();
    case Qt::Key_Delete:
        if (grid_->hasRowSelection()) {
            rowCommand(chcmd::kDelete);
            return true;
        }
        return startEditing(nullptr, true);
    case Qt::Key_Backspace:
        return startEditing(nullptr, true);
    default:
        break;
    }
    if (!k->text().isEmpty() && k->text().at(0) > QLatin1Char(' ')) {
        startEditing(k);
        return true; // never a keyboard search in the grid
    }
    return false;
}

bool CChInfoView::eventFilter(QObject* obj, QEvent* e) {
    const bool editor = obj == textEdit_ || obj == choiceEdit_ ||
                        (toneEdit_ && (obj == toneEdit_ || obj == toneEdit_->lineEdit()));
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (obj == grid_ && grid_->editor()) {
            // Keys queued for the grid before its editor took the focus belong to the editor.
            if (!editorKey(k)) grid_->forwardKeyToEditor(k);
            return true;
        }
        if (obj == grid_) return gridKey(k);
        if (editor) return editorKey(k);
    }
    if (e->type() == QEvent::FocusOut && editor) {
        auto reason = static_cast<QFocusEvent*>(e)->reason();
        // A list's own pop-up and our message boxes do not end the edit.
        if (reason != Qt::PopupFocusReason && !committing_ && !cancelling_ && grid_->editor()) {
            commitEditor();
            QWidget* focus = QApplication::focusWidget();
            if (!focus || !toneEdit_ || !(focus == toneEdit_ || toneEdit_->isAncestorOf(focus)))
                closeEditor(false);
        }
    }
    return QWidget::eventFilter(obj, e);
}

void CChInfoView::onCellChanged(int row, int) {
    if (grid_->editor() && (row != editRow_ || grid_->col() != editCol_)) closeEditor(true);
    logic_.setCurrentRow(row);
    updateTitle();
    if (CChEditView* e = findChEditView(frame_)) e->follow(logic_.group(), logic_.channel());
}

void CChInfoView::onMouseDown(Qt::MouseButton b, int row, int col) {
    if (b != Qt::LeftButton || col == 0) return;
    if (row == 0) grid_->setCurrent(grid_->row(), col); // a title click keeps the row
    grid_->clearRowSelection();
    startEditing();
}

// ---- Commands --------------------------------------------------------------------------------------

bool CChInfoView::handleCommand(int command) {
    switch (command) {
    case chcmd::kChannelCopy:
    case chcmd::kFrequencyCopy:
    case chcmd::kToneCopy:
    case chcmd::kGroupJump:
    case chcmd::kGroupCopy:
        runDialog(command);
        return true;
    case chcmd::kGroupUp:
    case chcmd::kGroupDown:
        closeEditor(true);
        if (command == chcmd::kGroupUp)
            logic_.groupUp();
        else
            logic_.groupDown();
        setGroup(logic_.group());
        return true;
    case chcmd::kChannelInsert:
        closeEditor(true);
        apply(logic_.insertChannelNumber(), 0);
        return true;
    case chcmd::kChannelDelete:
        closeEditor(true);
        apply(logic_.removeChannelNumber(), 0);
        return true;
    case chcmd::kGroupEdit:
        openView(kCmdGroupEditView);
        return true;
    case chcmd::kChannelEdit:
        openView(kCmdChannelEditView);
        return true;
    case chcmd::kCopy:
    case chcmd::kPaste:
        // In a text or tone cell editor the keys keep their text meaning.
        for (QLineEdit* e : {static_cast<QLineEdit*>(textEdit_), toneEdit_ ? toneEdit_->lineEdit() : nullptr}) {
            if (!e || !e->hasFocus()) continue;
            if (command == chcmd::kCopy) {
                e->copy();
            } else {
                // Through the key path, so the paste passes the editor's character filter.
                QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
                QApplication::sendEvent(e, &paste);
            }
            return true;
        }
        [[fallthrough]];
    case chcmd::kDelete:
    case chcmd::kToClip:
    case chcmd::kToClipTitle:
        rowCommand(command);
        return true;
    default:
        return false;
    }
}

void CChInfoView::rowCommand(int command) {
    if (command == chcmd::kPaste || command == chcmd::kDelete)
        describeUndoStep(undoCaption(ctx_.text(command == chcmd::kPaste ? 82 : 83)));
    closeEditor(true);
    auto [first, last] = grid_->selectedRows();
    const bool rows = grid_->hasRowSelection();
    switch (command) {
    case chcmd::kCopy:
        if (rows) logic_.copyRows(channelPasteBuffer(), first, last);
        break;
    case chcmd::kPaste:
        if (channelPasteBuffer().holdsData())
            apply(logic_.pasteRows(channelPasteBuffer(), rows ? first : grid_->row()), 0);
        break;
    case chcmd::kDelete:
        if (rows) apply(logic_.deleteRows(first, last), 0);
        break;
    case chcmd::kToClip:
    case chcmd::kToClipTitle:
        if (!rows) break;
        CMSFlexGrid::putTextOnClipboard(
            fromCore(logic_.clipText(first, last, command == chcmd::kToClipTitle)));
        grid_->clearRowSelection();
        break;
    default:
        break;
    }
}

void CChInfoView::runDialog(int command) {
    closeEditor(true); // a pending entry is committed before the dialog looks at the channel
    if (!logic_.commandApplies(command)) return;
    CopyDialog dlg(dialogKind(command), ctx_, frame_, *this);
    dlg.exec();
    refreshAll();
    frame_.refreshOtherViews(kChannelDependents);
    if (CChEditView* e = findChEditView(frame_)) e->follow(logic_.group(), logic_.channel());
}

void CChInfoView::openView(int command) {
    closeEditor(true);
    frame_.openEditor(command);
}

std::optional<int> CChInfoView::helpContext() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus == channelEditButton_) return ChInfoLogic::kHelpChannelEdit;
    if (focus == groupEditButton_) return ChInfoLogic::kHelpGroupEdit;
    if (focus && (focus == grid_ || grid_->isAncestorOf(focus))) return ChInfoLogic::helpTopic(grid_->col());
    return ChInfoLogic::kHelpView;
}

void CChInfoView::showHelp(int topic) {
    frame_.showHelpTopic(topic);
}

void CChInfoView::closeEvent(QCloseEvent* e) {
    // The channel and group edit views exist only beside this view.
    for (int command : {kCmdChannelEditView, kCmdGroupEditView})
        if (QMdiSubWindow* w = frame_.editorWindow(command)) w->close();
    QWidget::closeEvent(e);
}

} // namespace velora::gui
