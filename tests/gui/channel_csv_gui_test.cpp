// File > Import Channels... and Export Channels...: the menu items, a CHIRP list with a row the radio
// cannot hold (the rest imported on Yes, nothing on No), one undo step for the whole import, and a
// VELORA-format export read back.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

#include "GuiTestSupport.h"
#include "channels/ChannelStore.h"
#include "frame/ChannelCsvDialogs.h"
#include "frame/MainFrame.h"
#include "frame/UndoController.h"
#include "views/HelpWindow.h"

using namespace velora;
using namespace velora::gui;

namespace {

constexpr char kChirp[] = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                          "DtcsPolarity,Mode,TStep,Skip,Comment\n"
                          "1,Rpt,162.550000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,\n"
                          "2,Air,121.500000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,\n"
                          "3,Ch3,153.000000,,0.000000,,88.5,88.5,023,NN,NFM,12.50,S,\n";

void write(const QString& path, const char* text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

class ChannelCsvGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void fileMenuOffersBothCommands() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        frame.show();
        QMenu* file = frame.menuBar()->actions().first()->menu();
        QStringList texts;
        for (QAction* a : file->actions())
            texts << a->text();
        QVERIFY2(texts.contains(fx.text(kTextImportChannels)) && texts.contains(fx.text(kTextExportChannels)),
                 qPrintable(texts.join(QLatin1Char('|'))));

        // The import dialog offers both kinds of list.
        QTimer::singleShot(0, [&] {
            auto* dlg = frame.findChild<QFileDialog*>(QStringLiteral("importChannelsDialog"));
            QVERIFY(dlg);
            QCOMPARE(dlg->nameFilters().size(), 2);
            test::saveShot(dlg, QStringLiteral("import-channels-dialog"));
            dlg->reject();
        });
        frame.findChild<QAction*>(QStringLiteral("importChannels"))->trigger();
    }

    void chirpListImportsTheRestOnYesAndUndoesInOneStep() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.csv"));
        write(path, kChirp);
        ChannelStore store(fx.doc, fx.texts);
        const ImageCopy before = fx.doc.image().working();

        fx.messenger.answers = {MsgAnswer::No};
        QVERIFY(!importChannelsFrom(frame, path, 2));
        QVERIFY(fx.doc.image().working() == before);
        QVERIFY2(QString::fromStdString(fx.messenger.shown.back().text)
                     .contains(QStringLiteral("line 3: mode AM")),
                 fx.messenger.shown.back().text.c_str());

        fx.messenger.answers = {MsgAnswer::Yes};
        QVERIFY(importChannelsFrom(frame, path, 2));
        QCOMPARE(store.channelNumbers(1), (std::vector<int>{0, 2}));
        QCOMPARE(store.channelFieldText(1, 0, ChannelField::TxFrequency).text, std::string("161.95000"));

        frame.undoController().undo();
        QVERIFY(fx.doc.image().working() == before);
    }

    void aListWithAByteOrderMarkAsksForItsGroupAndNamesWhatItDeletes() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bom.csv"));
        write(path, (std::string("\xEF\xBB\xBF") + kChirp).c_str());
        ChannelStore store(fx.doc, fx.texts);
        store.setChannelFieldText("150.00000", 3, 6, ChannelField::RxFrequency, nullptr);
        const ImageCopy before = fx.doc.image().working();
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dlg = qobject_cast<QInputDialog*>(w)) {
                    dlg->setIntValue(4);
                    dlg->accept();
                }
        });
        // The question names channel 7, which the list does not: No changes nothing.
        fx.messenger.answers = {MsgAnswer::No};
        QVERIFY(!importChannelsFrom(frame, path));
        QVERIFY(fx.doc.image().working() == before);
        const QString question = QString::fromStdString(fx.messenger.shown.back().text);
        QVERIFY2(question.contains(fx.text(kTextCsvDeleted) + QStringLiteral("\nchannel 7")),
                 qPrintable(question));
    }

    void aFifoIsRefusedWithoutOpeningIt() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        const ImageCopy before = fx.doc.image().working();
        QVERIFY(!importChannelsFrom(frame, fifo)); // would block for ever in open() before the check
        QVERIFY(fx.doc.image().working() == before);
        QCOMPARE(fx.messenger.shown.back().icon, MsgIcon::Error);
    }

    void exportReadsBack() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        QTemporaryDir dir;
        const QString list = dir.filePath(QStringLiteral("list.csv"));
        write(list, kChirp);
        fx.messenger.answers = {MsgAnswer::Yes};
        QVERIFY(importChannelsFrom(frame, list, 5));
        const ImageCopy imported = fx.doc.image().working();

        const QString out = dir.filePath(QStringLiteral("out.csv"));
        QVERIFY(exportChannelsTo(frame, out, false));
        ChannelStore(fx.doc, fx.texts).deleteGroup(4);
        QVERIFY(importChannelsFrom(frame, out));
        QVERIFY(fx.doc.image().working() == imported);
    }

    void helpPageShowsChannelLists() {
        test::Fixture fx;
        MainFrame frame(fx.ctx, fx.registry);
        HelpWindow::showContext(&frame, 3001);
        auto* help = HelpWindow::instance();
        QVERIFY(help);
        test::saveShot(help, QStringLiteral("help-test-channel"));
        help->close();
    }
};

QTEST_MAIN(ChannelCsvGuiTest)
#include "channel_csv_gui_test.moc"
