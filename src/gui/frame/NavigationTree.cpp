#include "frame/NavigationTree.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/FrameCommands.h"
#include "frame/MainFrame.h"
#include "model/ModelCatalogue.h"
#include "views/AppContext.h"
#include "views/HelpWindow.h"

namespace velora::gui {

namespace {
constexpr int kTreeHelp = 81;
constexpr int kMoveDown = 26;
} // namespace

NavigationTree::NavigationTree(AppContext& ctx, MainFrame& frame)
    : QDialog(&frame), frame_(frame), tree_(new QTreeWidget) {
    setObjectName(QStringLiteral("tree"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ctx.text(184));
    setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));
    setModal(false);

    tree_->setHeaderHidden(true);
    const auto id = identificationOf(ctx.doc.image());
    auto* root = new QTreeWidgetItem(tree_, {QString::fromStdString(dataSetTitle(id))});
    root->setIcon(0, QIcon(QStringLiteral(":/icons/128.png")));
    root->setData(0, Qt::UserRole, 0);
    for (const auto& e : treeEditors(id.isDualBand())) {
        auto* item = new QTreeWidgetItem(root, {ctx.text(e.treeText)});
        item->setIcon(0, QIcon(QStringLiteral(":/icons/135.png")));
        item->setData(0, Qt::UserRole, e.command);
        if (!frame.isCommandAvailable(e.command))
            item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
    }
    root->setExpanded(true);
    tree_->setCurrentItem(root);
    // Not itemActivated: styles that activate on a single click would open editors by a click, and
    // Enter would arrive twice (from the view and again in keyPressEvent).
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { openItem(item); });

    auto* buttons = new QDialogButtonBox;
    auto* close = buttons->addButton(ctx.text(13), QDialogButtonBox::RejectRole);
    auto* help = buttons->addButton(ctx.text(14), QDialogButtonBox::HelpRole);
    close->setAutoDefault(false);
    help->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(help, &QPushButton::clicked, this, [this] { HelpWindow::showContext(this, kTreeHelp); });

    auto* v = new QVBoxLayout(this);
    v->addWidget(tree_);
    v->addWidget(buttons);
    resize(260, 380);
    move(frame.geometry().topLeft() + QPoint(20, 60 + kMoveDown));
}

void NavigationTree::openItem(QTreeWidgetItem* item) {
    int command = item ? item->data(0, Qt::UserRole).toInt() : 0;
    // The editor opened comes to the front with the focus; the tree stays open beside it.
    if (command != 0) frame_.runCommand(command);
}

void NavigationTree::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_F1:
        HelpWindow::showContext(this, kTreeHelp);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openItem(tree_->currentItem());
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

} // namespace velora::gui
