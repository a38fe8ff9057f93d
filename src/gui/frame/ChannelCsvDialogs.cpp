#include "frame/ChannelCsvDialogs.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QSaveFile>
#include <fstream>
#include <sstream>

#include "base/InputFile.h"
#include "base/LanguageFile.h"
#include "channels/CChInfoView.h"
#include "views/AppContext.h"
#include "channels/ChannelCsvImport.h"
#include "channels/ChannelGui.h"
#include "channels/ChannelStore.h"
#include "channels/ChirpCsv.h"
#include "channels/CsvText.h"
#include "frame/MainFrame.h"
#include "frame/UndoController.h"
#include "views/AppContext.h"

namespace velora::gui {

namespace {

constexpr int kMaxListedLines = 15; // a message box taller than this is of no use

QString filter(const AppContext& ctx, int text) {
    return ctx.text(text) + QStringLiteral(" (*.csv *.CSV)");
}

// The channel fields' own messages, kept for one summary instead of a box per row.
class Collector : public Messenger {
  public:
    MsgAnswer show(const Message& m) override {
        lines.push_back(m.text);
        return m.buttons == MsgButtons::YesNo || m.buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                                      : MsgAnswer::Ok;
    }
    std::vector<std::string> lines;
};

QString listed(const std::vector<std::string>& lines) {
    QStringList out;
    for (std::size_t i = 0; i < lines.size() && int(i) < kMaxListedLines; ++i)
        out << QString::fromStdString(lines[i]);
    if (int(lines.size()) > kMaxListedLines) out << QStringLiteral("...");
    return out.join(QLatin1Char('\n'));
}

void inform(AppContext& ctx, const QString& text, MsgIcon icon) {
    Message m;
    m.text = text.toStdString();
    m.caption = std::string(LanguageFile::kCaption);
    m.icon = icon;
    ctx.boxes.show(m);
}

std::optional<int> askGroup(MainFrame& frame) {
    // The group the user is looking at: a list replaces a whole group, never one out of sight.
    const CChInfoView* info = findChInfoView(frame);
    bool ok = false;
    const int g = QInputDialog::getInt(&frame, QString::fromLatin1(LanguageFile::kCaption.data()),
                                       frame.context().text(kTextCsvGroup), info ? info->group() + 1 : 1, 1,
                                       160, 1, &ok);
    return ok ? std::optional<int>(g) : std::nullopt;
}

bool isChirpFile(const QString& path) {
    std::ifstream in(path.toStdString());
    return channelCsvFormatOf(in) == ChannelCsvFormat::Chirp;
}

ChannelCsvResult runImport(AppContext& ctx, const QString& path, const ChannelCsvOptions& options,
                           Collector& notes) {
    std::ifstream in(path.toStdString());
    ChannelStore store(ctx.doc, ctx.texts);
    MessageBoxes boxes(notes, ctx.texts);
    return importChannelCsv(in, QFileInfo(path).fileName().toStdString(), store, boxes, options);
}

} // namespace

void addChannelCsvActions(MainFrame& frame, QMenu* menu) {
    AppContext& ctx = frame.context();
    auto action = [&](const char* name, int text, void (*run)(MainFrame&)) {
        auto* a = frame.findChild<QAction*>(QString::fromLatin1(name));
        if (!a) {
            a = new QAction(&frame);
            a->setObjectName(QString::fromLatin1(name));
            QObject::connect(a, &QAction::triggered, &frame, [&frame, run] { run(frame); });
        }
        a->setText(ctx.text(text));
        return a;
    };
    menu->addSeparator();
    menu->addAction(action("importChannels", kTextImportChannels, runImportChannels));
    menu->addAction(action("exportChannels", kTextExportChannels, runExportChannels));
}

void runImportChannels(MainFrame& frame) {
    frame.commitPendingEdit();
    AppContext& ctx = frame.context();
    // Either kind of list is told by its header; the filters only narrow what the dialog lists.
    QFileDialog dlg(&frame, ctx.text(kTextImportChannels).remove(QLatin1Char('&')),
                    QString::fromStdString(ctx.doc.folder()));
    dlg.setObjectName(QStringLiteral("importChannelsDialog"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters({filter(ctx, kTextVeloraCsvFilter), filter(ctx, kTextChirpCsvFilter)});
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    importChannelsFrom(frame, dlg.selectedFiles().first());
}

void runExportChannels(MainFrame& frame) {
    frame.commitPendingEdit();
    AppContext& ctx = frame.context();
    QFileDialog dlg(&frame, ctx.text(kTextExportChannels).remove(QLatin1Char('&')),
                    QString::fromStdString(ctx.doc.folder()));
    dlg.setObjectName(QStringLiteral("exportChannelsDialog"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters({filter(ctx, kTextVeloraCsvFilter), filter(ctx, kTextChirpCsvFilter)});
    dlg.setDefaultSuffix(QStringLiteral("csv"));
    dlg.selectFile(QFileInfo(QString::fromStdString(ctx.doc.fileName())).completeBaseName() +
                   QStringLiteral(".csv"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    const bool chirp = dlg.selectedNameFilter() == filter(ctx, kTextChirpCsvFilter);
    exportChannelsTo(frame, dlg.selectedFiles().first(), chirp);
}

bool importChannelsFrom(MainFrame& frame, const QString& path, std::optional<int> group) {
    AppContext& ctx = frame.context();
    // A FIFO, a device or a huge file would hang or swamp the reader: refuse it before opening.
    if (const int err = regularFileError(path.toStdString(), kMaxCsvFileSize); err != 0) {
        ctx.boxes.errorText((ctx.text(kTextCsvNotImported) + QLatin1Char('\n')).toStdString() +
                            regularFileErrorText(err));
        return false;
    }
    ChannelCsvOptions options;
    if (isChirpFile(path)) {
        if (!group) group = askGroup(frame);
        if (!group) return false;
    }
    options.group = group.value_or(1) - 1;

    // A trial first, so that what the list would leave out or delete is asked before anything changes.
    Collector notes;
    options.trial = true;
    ChannelCsvResult result = runImport(ctx, path, options, notes);
    // Only rows the radio cannot hold stand in the way: the user may take the rest.
    const bool rest = !result.ok && !result.unusable.empty() && result.rows > 0;
    if (result.ok || rest) {
        QString question;
        if (rest)
            question += ctx.text(kTextCsvUnusable) + QLatin1Char('\n') + listed(result.unusable) +
                        QStringLiteral("\n\n");
        if (!result.deleted.empty())
            question += ctx.text(kTextCsvDeleted) + QLatin1Char('\n') + listed(result.deleted) +
                        QStringLiteral("\n\n");
        question += ctx.text(rest ? kTextCsvImportRest : kTextCsvImportList);
        if ((rest || !result.deleted.empty()) &&
            ctx.boxes.questionText(question.toStdString(), MsgButtons::YesNo) != MsgAnswer::Yes)
            return false;
        options.trial = false;
        options.skipUnusable = rest;
        notes.lines.clear();
        result = runImport(ctx, path, options, notes);
    }
    if (!result.ok) {
        std::vector<std::string> lines{result.error};
        lines.insert(lines.end(), result.unusable.begin(), result.unusable.end());
        ctx.boxes.errorText(
            (ctx.text(kTextCsvNotImported) + QLatin1Char('\n') + listed(lines)).toStdString());
        return false;
    }

    // One undo step for the whole list, named after the command.
    frame.undoController().describe(
        ctx.text(kTextImportChannels).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    frame.undoController().checkpoint();
    frame.refreshViews();
    frame.updateTitle();
    QString summary = ctx.text(kTextCsvImported).replace(QStringLiteral("%d"), QString::number(result.rows));
    if (!notes.lines.empty()) summary += QStringLiteral("\n\n") + listed(notes.lines);
    if (!result.deleted.empty())
        summary +=
            QStringLiteral("\n\n") + ctx.text(kTextCsvDeleted) + QLatin1Char('\n') + listed(result.deleted);
    const bool plain = notes.lines.empty() && result.deleted.empty();
    inform(ctx, summary, plain ? MsgIcon::Information : MsgIcon::Warning);
    return true;
}

bool exportChannelsTo(MainFrame& frame, const QString& path, bool chirp, std::optional<int> group) {
    AppContext& ctx = frame.context();
    if (chirp && !group) group = askGroup(frame);
    if (chirp && !group) return false;
    ChannelStore store(ctx.doc, ctx.texts);
    Collector notes;
    MessageBoxes boxes(notes, ctx.texts);
    std::ostringstream out;
    if (chirp)
        writeChirpCsv(out, store, boxes, *group - 1);
    else
        writeChannelCsv(out, store, boxes);
    // Written whole or not at all, so a failed export never leaves half a list behind.
    QSaveFile file(path);
    const std::string text = out.str();
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
        ctx.boxes.errorText((path + QStringLiteral(": ") + file.errorString()).toStdString());
        return false;
    }
    return true;
}

} // namespace velora::gui
