#include "frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <ctime>

#include "base/FrameCommands.h"
#include "base/ScreenFit.h"
#include "channels/ChannelGui.h"
#include "comm/CommPortDialog.h"
#include "comm/TransferDialog.h"
#include "dataset/DataSetAdoption.h"
#include "forms/CoreBridge.h"
#include "forms/UndoNote.h"
#include "frame/AboutDialog.h"
#include "frame/ChannelCsvDialogs.h"
#include "frame/CompareDialog.h"
#include "frame/ModelInfoDialog.h"
#include "frame/NavigationTree.h"
#include "frame/UndoController.h"
#include "model/ModelCatalogue.h"
#include "print/ReportPrinting.h"
#include "views/AppSettings.h"
#include "views/ChildFrame.h"
#include "views/EditorView.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {

constexpr int kTextFileLabel = 96;
constexpr int kTextEditMenu = 42;
constexpr int kTextPaste = 82;
constexpr int kTextFileFilter = 95;
constexpr int kTextRecentFiles = 685;

QString toolIcon(int command) {
    switch (command) {
    case cmd::kNew:
        return QStringLiteral(":/toolbar/new.png");
    case cmd::kOpen:
        return QStringLiteral(":/toolbar/open.png");
    case cmd::kSave:
        return QStringLiteral(":/toolbar/save.png");
    case cmd::kPrint:
        return QStringLiteral(":/toolbar/print.png");
    case cmd::kReadRadio:
        return QStringLiteral(":/toolbar/read.png");
    case cmd::kWriteRadio:
        return QStringLiteral(":/toolbar/write.png");
    case cmd::kAbout:
        return QStringLiteral(":/toolbar/about.png");
    default:
        return {};
    }
}

// The user's own short date and time forms, as strftime gives them in the process locale.
QString strftimeText(const char* format) {
    return QString::fromLocal8Bit(localTimeText(std::time(nullptr), format));
}

// Commands that read the data set (save, print, write, test mode, memory map) or replace it (new,
// open, read, model information): they must act on what the screen shows.
bool readsDataSet(int command) {
    switch (command) {
    case cmd::kNew:
    case cmd::kOpen:
    case cmd::kSave:
    case cmd::kSaveAs:
    case cmd::kPrint:
    case cmd::kPrintPreview:
    case cmd::kModelInfo:
    case cmd::kReadRadio:
    case cmd::kWriteRadio:
    case cmd::kFleetProgramming:
    case cmd::kTestMode:
    case cmd::kMemoryMap:
        return true;
    default:
        return false;
    }
}

} // namespace

// The file dialogs and the closing of the editors, as the File commands need them.
class MainFrame::FileDialogs : public FileUi {
  public:
    explicit FileDialogs(MainFrame& f) : frame_(f) {}
    std::optional<std::string> chooseOpenPath(const std::string& folder) override {
        if (open_) return open_(folder);
        QString path =
            QFileDialog::getOpenFileName(&frame_, QString(), QString::fromStdString(folder), filter());
        if (path.isEmpty()) return std::nullopt;
        return path.toStdString();
    }
    std::optional<std::string> chooseSavePath(const std::string& folder, const std::string& name) override {
        if (save_) return save_(folder, name);
        QFileDialog dlg(&frame_, QString(), QString::fromStdString(folder), filter());
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(QStringLiteral("dat"));
        dlg.selectFile(QString::fromStdString(name));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        QString path = dlg.selectedFiles().first();
        // Some platform dialogs ignore the default suffix.
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".dat");
        return path.toStdString();
    }
    void closeAllEditors() override { frame_.closeAllEditors(); }

    OpenChooser open_;
    SaveChooser save_;

  private:
    QString filter() const { return frame_.ctx_.text(kTextFileFilter) + QStringLiteral(" (*.dat *.DAT)"); }
    MainFrame& frame_;
};

MainFrame::MainFrame(AppContext& ctx, const EditorRegistry& registry, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), registry_(registry), fileUi_(std::make_unique<FileDialogs>(*this)),
      files_(std::make_unique<FileCommands>(ctx.doc, ctx.boxes, *fileUi_)), mdi_(new QMdiArea) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/128.png")));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { updateCommandStates(); });

    createActions();
    undo_ = new UndoController(ctx_, *this);
    rebuildMenus();
    createToolBar();
    createStatusBar();
    updateTitle();
    updatePortPane();

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] {
        auto* sub = mdi_->activeSubWindow();
        auto* view = sub ? dynamic_cast<EditorView*>(sub->widget()) : nullptr;
        HelpWindow::showContext(this, view ? view->helpContext() : std::nullopt);
    });
    // The window keys of every MDI application. An editor that turns its own pages with Ctrl+Tab
    // claims the key first (shortcut override), so these act only where no editor uses it.
    auto windowKey = [this](QKeySequence keys, auto act) {
        auto* s = new QShortcut(keys, this);
        s->setObjectName(keys.toString());
        connect(s, &QShortcut::activated, this, act);
    };
    windowKey(QKeySequence(Qt::CTRL | Qt::Key_F4), [this] {
        if (auto* sub = mdi_->activeSubWindow()) sub->close();
    });
    windowKey(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { mdi_->activateNextSubWindow(); });
    for (auto keys : {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, Qt::CTRL | Qt::SHIFT | Qt::Key_Tab})
        windowKey(QKeySequence(keys), [this] { mdi_->activatePreviousSubWindow(); });
}

MainFrame::~MainFrame() {
    // The MDI area outlives this object's members while QWidget deletes the children; its
    // activation signals must not reach a frame whose actions are already gone.
    disconnect(mdi_, nullptr, this, nullptr);
}

void MainFrame::setFileChoosers(OpenChooser open, SaveChooser save) {
    fileUi_->open_ = std::move(open);
    fileUi_->save_ = std::move(save);
}

// ---- Actions, menus, toolbar, status bar ---------------------------------------------------------

void MainFrame::createActions() {
    auto make = [this](int command) {
        if (actions_.count(command)) return;
        auto* a = new QAction(this);
        a->setData(command);
        a->setObjectName(QStringLiteral("cmd%1").arg(command));
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
        actions_[command] = a;
    };
    for (const auto& popup : mainMenu(true))
        for (const auto& item : popup.items)
            if (item.command != kSeparator) make(item.command);
    // The window owns every accelerator; those without a menu item go to the active editor.
    for (const auto& acc : accelerators()) {
        make(acc.command);
        actions_[acc.command]->setShortcut(
            QKeySequence(QString::fromLatin1(acc.keys.data(), int(acc.keys.size()))));
        addAction(actions_[acc.command]);
    }
    actions_[cmd::kToolBar]->setCheckable(true);
    actions_[cmd::kStatusBar]->setCheckable(true);
    actions_[cmd::kToolBar]->setChecked(true);
    actions_[cmd::kStatusBar]->setChecked(true);
}

namespace {
// File > Export as PDF...: the report's pages written to a PDF file.
QAction* exportPdfAction(MainFrame& frame) {
    if (auto* a = frame.findChild<QAction*>(QStringLiteral("exportPdf"))) return a;
    auto* a = new QAction(frame.context().text(kTextExportPdf), &frame);
    a->setObjectName(QStringLiteral("exportPdf"));
    QObject::connect(a, &QAction::triggered, &frame, [&frame] {
        frame.commitPendingEdit();
        runExportPdfCommand(frame.context(), &frame);
    });
    return a;
}
} // namespace

QAction* MainFrame::action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void MainFrame::rebuildMenus() {
    const bool dual = ctx_.dualBand();
    const bool editorOpen = !mdi_->subWindowList().isEmpty();
    menuBar()->clear();
    for (const auto& popup : mainMenu(dual)) {
        if (popup.windowMenu && !editorOpen) continue;
        auto* menu = menuBar()->addMenu(ctx_.text(popup.text));
        menu->setObjectName(QStringLiteral("menu%1").arg(popup.text));
        menu->installEventFilter(this);
        for (const auto& item : popup.items) {
            if (item.command == kSeparator) {
                menu->addSeparator();
                continue;
            }
            auto* a = actions_.at(item.command);
            a->setText(ctx_.text(item.text));
            menu->addAction(a);
            if (item.command == cmd::kPrintPreview) menu->addAction(exportPdfAction(*this));
            if (item.command == cmd::kOpen) addFileMenuExtras(*this, menu);
            if (item.command == cmd::kSaveAs) addChannelCsvActions(*this, menu);
            if (item.command == cmd::kPrintPreview) addRecentFilesMenu(menu);
        }
        if (popup.text == kTextEditMenu) {
            QAction* first = menu->actions().value(0);
            menu->insertActions(first, {undo_->undoAction(), undo_->redoAction()});
            if (first) menu->insertSeparator(first);
        }
        giveUniqueMnemonics(menu);
    }
    updateCommandStates();
}

bool MainFrame::isCommandAvailable(int command) const {
    if (!isCommandEnabled(command, ctx_.dualBand())) return false;
    if (findEditor(command)) return registry_.hasEditor(command);
    switch (command) {
    case cmd::kPrint:
    case cmd::kPrintPreview:
    case cmd::kFleetProgramming:
    case cmd::kTestMode:
    case cmd::kMemoryMap:
        return registry_.hasCommand(command);
    case cmd::kGridCopy:
    case cmd::kGridPaste:
    case cmd::kChannelCopy:
    case cmd::kFrequencyCopy:
    case cmd::kToneCopy:
    case cmd::kGroupJump:
    case cmd::kChannelDelete:
    case cmd::kChannelEdit:
    case cmd::kGroupUp:
    case cmd::kGroupDown:
        return mdi_->activeSubWindow() != nullptr;
    default:
        return true;
    }
}

void MainFrame::updateCommandStates() {
    for (auto& [command, a] : actions_)
        a->setEnabled(isCommandAvailable(command));
}

void MainFrame::createToolBar() {
    auto* bar = addToolBar(QString());
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setIconSize(QSize(16, 15));
    for (const auto& b : toolBar()) {
        if (b.command == kSeparator) {
            bar->addSeparator();
            continue;
        }
        auto* a = actions_.at(b.command);
        // The drawing at twice the size beside the plain one: sharp on high-density screens too.
        QIcon icon(toolIcon(b.command));
        icon.addFile(QString(toolIcon(b.command)).replace(QStringLiteral(".png"), QStringLiteral("@2x.png")));
        a->setIcon(icon);
        a->setToolTip(ctx_.text(b.toolTip));
        bar->addAction(a);
    }
    connect(actions_[cmd::kToolBar], &QAction::toggled, bar, &QWidget::setVisible);
    connect(bar, &QToolBar::visibilityChanged, actions_[cmd::kToolBar], &QAction::setChecked);
}

void MainFrame::createStatusBar() {
    portPane_ = new QLabel;
    datePane_ = new QLabel;
    timePane_ = new QLabel;
    portPane_->setObjectName(QStringLiteral("portPane"));
    datePane_->setObjectName(QStringLiteral("datePane"));
    timePane_->setObjectName(QStringLiteral("timePane"));
    for (auto* l : {portPane_, datePane_, timePane_})
        statusBar()->addPermanentWidget(l);
    connect(actions_[cmd::kStatusBar], &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(&clock_, &QTimer::timeout, this, &MainFrame::updateClock);
    clock_.start(1000);
    updateClock();
}

void MainFrame::updateClock() {
    datePane_->setText(strftimeText("%x"));
    timePane_->setText(strftimeText("%X"));
}

void MainFrame::updatePortPane() {
    portPane_->setText(QString::fromStdString(portPaneText(ctx_.port.portNumber())));
    portPane_->setToolTip(QString::fromStdString(ctx_.port.devicePath(ctx_.port.portNumber())));
}

void MainFrame::updateTitle() {
    const auto id = identificationOf(ctx_.doc.image());
    const char sep = QLocale::system().decimalPoint().at(0).toLatin1();
    auto m1 = modelAndBandName(id, kModel1, sep ? sep : '.');
    std::optional<std::string> m2;
    if (id.isDualBand()) m2 = modelAndBandName(id, kModel2, sep ? sep : '.');
    auto t = frameTitle(m1, m2 ? std::optional<std::string_view>(*m2) : std::nullopt,
                        ctx_.text(kTextFileLabel).toStdString(), ctx_.doc.fileName());
    setWindowTitle(QString::fromStdString(t));
    emit dataSetShown();
}

// ---- Commands ------------------------------------------------------------------------------------

void MainFrame::runCommand(int command) {
    if (!isCommandAvailable(command)) return;
    if (findEditor(command)) {
        openEditor(command);
        return;
    }
    if (readsDataSet(command)) commitPendingEdit();
    switch (command) {
    case cmd::kNew:
        if (files_->newDataSet() == CommandOutcome::Done) afterNewDataSet();
        break;
    case cmd::kOpen:
        if (files_->open() == CommandOutcome::Done) {
            rememberFile();
            afterNewDataSet();
        }
        break;
    case cmd::kSave:
        undo_->checkpoint();
        if (files_->save() == CommandOutcome::Done) rememberFile();
        undo_->rebase();
        break;
    case cmd::kSaveAs:
        undo_->checkpoint();
        if (files_->saveAs() == CommandOutcome::Done) rememberFile();
        undo_->rebase();
        updateTitle();
        break;
    case cmd::kExit:
        QTimer::singleShot(0, this, &QWidget::close);
        break;
    case cmd::kModelInfo:
        doModelInformation();
        break;
    case cmd::kReadRadio:
        doReadRadio();
        break;
    case cmd::kWriteRadio:
        doWriteRadio();
        break;
    case cmd::kCommPort:
        doCommPort();
        break;
    case cmd::kTreeView:
        openTree();
        break;
    case cmd::kCascade:
        mdi_->cascadeSubWindows();
        break;
    case cmd::kTileHorizontal:
        tile(Qt::Vertical);
        break;
    case cmd::kTileVertical:
        tile(Qt::Horizontal);
        break;
    case cmd::kArrange:
        // Minimised editors line up along the bottom again.
        for (auto* w : mdi_->subWindowList())
            if (w->isMinimized()) w->showMinimized();
        break;
    case cmd::kCloseAll:
        closeAllEditors();
        break;
    case cmd::kHelpTopics:
        HelpWindow::showContext(this, std::nullopt);
        break;
    case cmd::kAbout:
        AboutDialog(ctx_.texts, this).exec();
        break;
    case cmd::kToolBar:
    case cmd::kStatusBar:
        break; // toggled through the checkable action
    default:
        if (command == cmd::kGridPaste) undo_->describe(undoCaption(ctx_.text(kTextPaste)));
        if (registry_.runCommand(command, ctx_, *this)) break;
        if (auto* sub = mdi_->activeSubWindow())
            if (auto* view = dynamic_cast<EditorView*>(sub->widget())) view->handleCommand(command);
        break;
    }
}

// File > Recent Files: filled from the settings each time it opens, so every window agrees.
void MainFrame::addRecentFilesMenu(QMenu* file) {
    file->addSeparator();
    auto* recent = file->addMenu(ctx_.text(kTextRecentFiles));
    recent->setObjectName(QStringLiteral("recentFiles"));
    auto fill = [this, recent] {
        recent->clear();
        int n = 0;
        for (const std::string& path : AppSettings(ctx_.settingsApplication).recentFiles()) {
            const QString name = QString::fromStdString(path);
            QAction* a = recent->addAction(QStringLiteral("&%1 %2").arg(++n).arg(name));
            connect(a, &QAction::triggered, this, [this, path] { openRecentFile(path); });
        }
        recent->setEnabled(n > 0);
    };
    connect(recent, &QMenu::aboutToShow, this, fill);
    fill();
}

void MainFrame::openRecentFile(const std::string& path) {
    commitPendingEdit();
    if (!files_->confirmDiscard()) return;
    openFile(path);
}

void MainFrame::openFile(const std::string& path) {
    if (files_->openPath(path) == CommandOutcome::Done) {
        rememberFile();
        afterNewDataSet();
        return;
    }
    // Nothing was opened: the data set on screen stays, with its editor.
    if (mdi_->subWindowList().isEmpty()) openEditor(cmd::kChannelInfo);
}

void MainFrame::rememberFile() {
    AppSettings(ctx_.settingsApplication).addRecentFile(ctx_.doc.path());
}

void MainFrame::afterNewDataSet() {
    updateTitle();
    rebuildMenus();
    emit gridClipboardDiscarded();
    openEditor(cmd::kChannelInfo);
    undo_->reset();
}

void MainFrame::showRestoredDataSet(bool modelChanged) {
    updateTitle();
    if (!modelChanged) {
        refreshViews();
        return;
    }
    rebuildMenus();
    emit gridClipboardDiscarded();
    openEditor(cmd::kChannelInfo);
}

void MainFrame::showHelp(int command) {
    HelpWindow::showContext(this, helpContext(command));
}

// ---- Editors -------------------------------------------------------------------------------------

QMdiSubWindow* MainFrame::editorWindow(int command) const {
    for (auto* w : mdi_->subWindowList())
        if (w->property("command").toInt() == command) return w;
    return nullptr;
}

void MainFrame::openEditor(int command) {
    QMdiSubWindow* sub = editorWindow(command);
    if (sub) {
        // A minimised editor comes back; a maximised one stays maximised.
        if (sub->isMinimized()) sub->showNormal();
    } else {
        QWidget* view = registry_.createEditor(command, ctx_, *this);
        if (!view) return;
        // A new editor joins the area in the state the others are in: maximised when they are.
        QMdiSubWindow* active = mdi_->activeSubWindow();
        const bool maximised = active && active->isMaximized();
        auto* frame = new ChildFrame(view, closingAll_);
        frame->setProperty("command", command);
        // The title bar elides the title anew for each region it works out at every step of the
        // placing below, a hundred times or more and each shaping the whole title; the title goes on
        // once the frame has its place.
        frame->setWindowTitle(QString());
        const QSize own = view->size();
        mdi_->addSubWindow(frame);
        frame->showNormal();
        if (frame->isMaximized()) frame->showNormal(); // the area maximises it beside a maximised one
        // The view's size hint counts only once it is shown and laid out (hidden rows, styled
        // fonts). The frame fits the whole form, or the area where that is smaller, but never goes
        // below the form's minimum; that is also the size it returns to from maximised.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QSize decoration = frame->size() - view->size();
        const QSize content = view->sizeHint()
                                  .expandedTo(own)
                                  .boundedTo(mdi_->viewport()->size() - decoration)
                                  .expandedTo(view->minimumSizeHint());
        frame->resize(content + decoration);
        if (command == cmd::kChannelInfo) frame->move(0, 0);
        if (maximised) frame->showMaximized();
        frame->setWindowTitle(view->windowTitle());
        connect(frame, &QObject::destroyed, this, [this] {
            // Runs after the window has left the area.
            QTimer::singleShot(0, this, [this] {
                rebuildMenus();
                emit editorsChanged();
            });
        });
        rebuildMenus();
        emit editorsChanged();
        sub = frame;
    }
    // Wherever it was opened from (menu, tree, command), the editor is in front with the focus.
    activateWindow();
    sub->raise();
    mdi_->setActiveSubWindow(sub);
    // The view's own choice of focus (its grid) when it made one, else its first control that
    // takes it (a tab widget without a visible bar does not).
    QWidget* view = sub->widget();
    if (QWidget* to = view->focusWidget()) to->setFocus(Qt::OtherFocusReason);
    for (QWidget* w = view->nextInFocusChain(); !view->focusWidget() && w != view && view->isAncestorOf(w);
         w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(view) && w->isEnabled())
            w->setFocus(Qt::OtherFocusReason);
}

void MainFrame::closeAllEditors() {
    closingAll_ = true;
    for (auto* w : mdi_->subWindowList()) {
        w->close();
        delete w; // closed at once, so a fresh data set never meets a stale view
    }
    if (tree_) tree_->close();
    closingAll_ = false;
    rebuildMenus();
}

// Horizontal tiling stacks the windows top to bottom; vertical tiling puts them side by side.
// No window is squeezed below its minimum size: the area is shared out so that the windows that
// need more get their minimum and the others split the rest, and what does not fit is reached
// through the MDI area's scroll bars.
void MainFrame::tile(Qt::Orientation stacking) {
    QList<QMdiSubWindow*> windows;
    for (auto* w : mdi_->subWindowList())
        if (!w->isMinimized()) windows << w;
    if (windows.isEmpty()) return;
    const bool stacked = stacking == Qt::Vertical;
    auto along = [stacked](QSize s) { return stacked ? s.height() : s.width(); };
    auto across = [stacked](QSize s) { return stacked ? s.width() : s.height(); };
    std::vector<QSize> minimum;
    int sumAlong = 0, maxAcross = 0;
    for (auto* w : windows) {
        w->showNormal();
        minimum.push_back(w->minimumSizeHint().expandedTo(w->minimumSize()));
        sumAlong += along(minimum.back());
        maxAcross = std::max(maxAcross, across(minimum.back()));
    }
    // Scrolled back to the origin first, so the windows are laid out from the area's top left.
    mdi_->horizontalScrollBar()->setValue(0);
    mdi_->verticalScrollBar()->setValue(0);
    // The area without scroll bars, less the bar that an overflow in either direction brings.
    QSize area = mdi_->contentsRect().size();
    const int bar = mdi_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, mdi_);
    const bool overflowAlong = sumAlong > along(area), overflowAcross = maxAcross > across(area);
    if (overflowAlong) (stacked ? area.rwidth() : area.rheight()) -= bar;
    if (overflowAcross) (stacked ? area.rheight() : area.rwidth()) -= bar;
    // Water filling: a window whose minimum exceeds an equal share keeps its minimum.
    const int n = static_cast<int>(windows.size());
    std::vector<bool> fixed(std::size_t(n), false);
    int rest = along(area), open = n;
    for (bool changed = true; changed && open > 0;) {
        changed = false;
        for (int i = 0; i < n; ++i) {
            const int need = along(minimum[std::size_t(i)]);
            if (fixed[std::size_t(i)] || need * open <= rest) continue;
            fixed[std::size_t(i)] = true;
            rest -= need;
            --open;
            changed = true;
        }
    }
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        int length = along(minimum[std::size_t(i)]);
        if (!fixed[std::size_t(i)]) {
            length = std::max(length, rest / open);
            rest -= length;
            --open;
        }
        const int breadth = std::max(across(area), across(minimum[std::size_t(i)]));
        if (stacked)
            windows[i]->setGeometry(0, pos, breadth, length);
        else
            windows[i]->setGeometry(pos, 0, length, breadth);
        pos += length;
    }
}

void MainFrame::commitPendingEdit() {
    for (auto* w : mdi_->subWindowList())
        if (auto* view = dynamic_cast<EditorView*>(w->widget())) view->commitPendingEdit();
}

void MainFrame::refreshViews() {
    for (auto* w : mdi_->subWindowList())
        if (auto* view = dynamic_cast<EditorView*>(w->widget())) view->refreshFromImage();
}

void MainFrame::refreshOtherViews(unsigned views) {
    gui::refreshOtherViews(*this, views);
}

void MainFrame::identificationChanged() {
    updateTitle();
    rebuildMenus();
}

void MainFrame::showHelpTopic(int topic) {
    HelpWindow::showContext(this, topic);
}

QMetaObject::Connection MainFrame::onGridClipboardDiscarded(QObject* receiver, std::function<void()> f) {
    return connect(this, &MainFrame::gridClipboardDiscarded, receiver, std::move(f));
}

void MainFrame::openTree() {
    if (tree_) return;
    tree_ = new NavigationTree(ctx_, *this);
    tree_->show();
}

// ---- Dialogs -------------------------------------------------------------------------------------

namespace {
class FrameModelHost : public ModelChangeHost {
  public:
    FrameModelHost(MainFrame& f) : f_(f) {}
    bool confirmDiscard() override { return f_.fileCommands().confirmDiscard(); }
    void closeAllEditors() override { f_.closeAllEditors(); }

  private:
    MainFrame& f_;
};
} // namespace

void MainFrame::doModelInformation() {
    FrameModelHost host(*this);
    ModelInfoDialog dlg(ctx_, host, this);
    if (dlg.exec() != QDialog::Accepted) return;
    undo_->describe(undoCaption(dlg.windowTitle()));
    if (dlg.applyResult().discardClipboard) emit gridClipboardDiscarded();
    rebuildMenus();
    updateTitle();
    openEditor(cmd::kChannelInfo);
}

void MainFrame::doReadRadio() {
    // The radio's data set replaces the current one, so unsaved edits are offered for saving first.
    if (!files_->confirmDiscard()) return;
    TransferDialog dlg(ctx_, *this, TransferDialog::Mode::Read);
    if (dlg.exec() != QDialog::Accepted) return;
    closeAllEditors();
    adoptLoadedDataSet(ctx_.doc, LoadOrigin::Radio, ctx_.boxes);
    updateTitle();
    rebuildMenus();
    emit gridClipboardDiscarded();
    openEditor(cmd::kChannelInfo);
    undo_->reset();
}

void MainFrame::doWriteRadio() {
    // What the write marks in the working copy (version bits, format version) is no user's step.
    undo_->checkpoint();
    TransferDialog dlg(ctx_, *this, TransferDialog::Mode::Write);
    dlg.exec();
    undo_->rebase();
}

void MainFrame::doCommPort() {
    CommPortDialog dlg(ctx_, this);
    if (dlg.exec() == QDialog::Accepted) updatePortPane();
}

// ---- Transfers and exit --------------------------------------------------------------------------

void MainFrame::beginTransfer() {
    if (transfers_++ == 0) qApp->installEventFilter(this);
}

void MainFrame::endTransfer() {
    if (transfers_ == 0 || --transfers_ > 0) return;
    qApp->removeEventFilter(this);
    if (closeDeferred_) {
        closeDeferred_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

bool MainFrame::eventFilter(QObject* watched, QEvent* e) {
    if (transfers_ > 0 && e->type() == QEvent::KeyPress) {
        // Menu activation by keyboard would start commands in the middle of a transfer.
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Alt || k->key() == Qt::Key_F10 || (k->modifiers() & Qt::AltModifier))
            return true;
    }
    if (e->type() == QEvent::KeyPress && qobject_cast<QMenu*>(watched)) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_F1) {
            if (auto* a = static_cast<QMenu*>(watched)->activeAction()) {
                int command = a->data().toInt();
                static_cast<QMenu*>(watched)->close();
                showHelp(command);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainFrame::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) {
        auto* ev = static_cast<QWindowStateChangeEvent*>(e);
        if (isMinimized()) maximisedBeforeMinimise_ = ev->oldState() & Qt::WindowMaximized;
    }
    QMainWindow::changeEvent(e);
}

void MainFrame::closeEvent(QCloseEvent* e) {
    if (transfers_ > 0) {
        closeDeferred_ = true;
        e->ignore();
        return;
    }
    if (!exitConfirmed_) {
        commitPendingEdit(); // the save question weighs what was typed
        if (!files_->confirmExit()) {
            e->ignore();
            return;
        }
        exitConfirmed_ = true;
        storePlacement();
    }
    closeAllEditors();
    if (tree_) tree_->close();
    if (auto* help = HelpWindow::instance()) help->close();
    e->accept();
}

void MainFrame::storePlacement() {
    settings::WindowPlacement p;
    const QRect n = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.left = n.left();
    p.top = n.top();
    p.right = n.right() + 1;
    p.bottom = n.bottom() + 1;
    if (isMinimized()) {
        p.showState = settings::storedShowState(settings::kShowMinimised, maximisedBeforeMinimise_);
    } else {
        p.showState = isMaximized() ? settings::kShowMaximised : settings::kShowNormal;
    }
    AppSettings(ctx_.settingsApplication).setWindowPlacement(p);
}

void MainFrame::restorePlacement() {
    auto p = AppSettings(ctx_.settingsApplication).windowPlacement();
    QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    if (!p) {
        // The normal geometry fills the screen too, for desktops that do not maximise windows.
        setGeometry(available);
        showMaximized();
        return;
    }
    ScreenRect area{available.left(), available.top(), available.right() + 1, available.bottom() + 1};
    auto fit = fitIntoArea({p->left, p->top, p->right, p->bottom}, area);
    setGeometry(fit.left, fit.top, fit.width(), fit.height());
    if (p->showState == settings::kShowMaximised)
        showMaximized();
    else if (p->showState == settings::kShowMinimised)
        showMinimized();
    else
        showNormal();
}

} // namespace velora::gui
