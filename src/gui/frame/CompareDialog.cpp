#include "frame/CompareDialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>
#include <filesystem>

#include "base/FrameCommands.h"
#include "dataset/DataSetDiff.h"
#include "dataset/FileCommands.h"
#include "dataset/RadioHistory.h"
#include "frame/MainFrame.h"
#include "dataset/RadioHistory.h"

namespace velora::gui {

namespace {

constexpr int kTextFileFilter = 95;
constexpr int kTextClose = 13;

QAction* menuAction(MainFrame& frame, const QString& name, int text) {
    auto* a = frame.findChild<QAction*>(name);
    if (!a) {
        a = new QAction(&frame);
        a->setObjectName(name);
    }
    a->setText(frame.context().text(text));
    return a;
}

void runCompare(MainFrame& frame) {
    frame.commitPendingEdit();
    AppContext& ctx = frame.context();
    const QString path = QFileDialog::getOpenFileName(
        &frame, ctx.text(kTextCompareMenu).remove(QLatin1Char('&')), QString::fromStdString(ctx.doc.folder()),
        ctx.text(kTextFileFilter) + QStringLiteral(" (*.dat *.DAT)"));
    if (path.isEmpty()) return;
    const auto comparison = compareWithDataFile(ctx.doc, path.toStdString(), ctx.texts, ctx.boxes);
    if (!comparison) return;
    CompareDialog dlg(ctx, QFileInfo(path).fileName(), *comparison, &frame);
    dlg.exec();
}

} // namespace

CompareDialog::CompareDialog(AppContext& ctx, const QString& file, const FileComparison& comparison,
                             QWidget* parent)
    : QDialog(parent), sides_(new QLabel(QString::fromStdString(comparison.sides))), list_(new QListWidget) {
    setObjectName(QStringLiteral("compareDialog"));
    setWindowTitle(
        QString::fromStdString(formatText(ctx.texts.text(kTextCompareTitle), {file.toStdString()})));
    sides_->setObjectName(QStringLiteral("sides"));
    sides_->setWordWrap(true);
    list_->setObjectName(QStringLiteral("differences"));
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const auto& l : comparison.notes)
        list_->addItem(QString::fromStdString(l));
    for (const auto& l : comparison.lines)
        list_->addItem(QString::fromStdString(l));
    auto* buttons = new QDialogButtonBox;
    auto* close = buttons->addButton(ctx.text(kTextClose), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* v = new QVBoxLayout(this);
    v->addWidget(sides_);
    v->addWidget(list_);
    v->addWidget(buttons);
    resize(640, 420);
}

void addFileMenuExtras(MainFrame& frame, QMenu* menu) {
    QAction* compare = menuAction(frame, QStringLiteral("compareWithFile"), kTextCompareMenu);
    QAction* history = menuAction(frame, QStringLiteral("openRadioHistory"), kTextHistoryMenu);
    QObject::disconnect(compare, &QAction::triggered, nullptr, nullptr);
    QObject::disconnect(history, &QAction::triggered, nullptr, nullptr);
    QObject::connect(compare, &QAction::triggered, &frame, [&frame] { runCompare(frame); });
    QObject::connect(history, &QAction::triggered, &frame, [&frame] { openRadioHistory(frame); });
    menu->addAction(compare);
    menu->addAction(history);
}

void openRadioHistory(MainFrame& frame) {
    Document& doc = frame.context().doc;
    const std::filesystem::path folder = radioHistoryFolder(std::getenv);
    if (folder.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    // File > Open starts in the document's folder; a cancelled open leaves that as it was.
    const std::string before = doc.folder(), name = doc.fileName();
    doc.setFolder(folder.string() + "/");
    const std::string history = doc.folder();
    frame.runCommand(cmd::kOpen);
    if (doc.folder() == history && doc.fileName() == name) doc.setFolder(before);
}

} // namespace velora::gui
