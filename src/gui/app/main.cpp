// The application: start-up in the order the data set, the settings and the windows depend on,
// and the settings written back at exit.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "app/AppSettings.h"
#include "app/CommandLine.h"
#include "app/FrameCommands.h"
#include "app/LanguageFile.h"
#include "app/QtMessenger.h"
#include "app/SplashWindow.h"
#include "comm/DemoRadio.h"
#include "frame/EditorRegistry.h"
#include "frame/MainFrame.h"
#include "model/DataSetInit.h"

using namespace velora;
using namespace velora::gui;

int main(int argc, char** argv) {
    // 1. The switches; no argument ever names a file to open.
    const CommandLine options = parseCommandLine(argc, argv);
    bool demoRadio = false;
    for (int i = 1; i < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]).compare(QLatin1String("--demo-radio"), Qt::CaseInsensitive) == 0)
            demoRadio = true;

    // 2. Qt sets the process locale to the user's; the settings key follows the program's name.
    QApplication app(argc, argv);
    const QString baseName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    QCoreApplication::setApplicationName(baseName);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));

    // 3. Colour depth for the splash.
    const int depth = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 24;

    // 5. The language file; without it nothing can be shown, and the settings stay as they are.
    LanguageFile texts;
    const auto file = findLanguageFile(programFolder());
    const auto status = file ? texts.load(*file) : LanguageFile::Status::NotFound;
    if (auto failure = LanguageFile::failureMessage(status)) {
        QMessageBox::critical(nullptr, QString::fromStdString(failure->caption),
                              QString::fromStdString(failure->text));
        return 1;
    }

    // 6, 7. Capacity mode and a reset memory image named "velora.dat".
    Document doc(options.run);
    doc.image().reset();
    doc.setFileName(std::string(layout::kDefaultFileName));

    // 8, 9. Remembered model, port and folder.
    comm::SerialPort port;
    AppSettings settings(baseName);
    const bool validModel = settings.readStartup(doc, port, QCoreApplication::applicationDirPath());

    // 10. The default data set, marked saved.
    defaultInitialise(doc, !validModel, true);
    doc.image().markSaved();

    QtMessenger messenger;
    MessageBoxes boxes(messenger, texts);
    AppContext ctx{doc, texts, boxes, port, baseName};
    ctx.fixedFont.setFixedPitch(true);
    ctx.fixedFont.setStyleHint(QFont::TypeWriter);

    // 12. Editor views and feature dialogs.
    EditorRegistry registry;
    registerFeatures(registry);

    // 13, 14. Main frame with the splash over it, then its remembered placement.
    if (!options.noSplash) (new SplashWindow(texts, depth))->showCentred();
    MainFrame frame(ctx, registry);
    messenger.setOwner(&frame);
    frame.restorePlacement();

    // 15. The first editor opens once the event loop runs.
    QTimer::singleShot(0, &frame, [&frame] { frame.runCommand(cmd::kChannelInfo); });

    DemoRadio demo(ctx);
    if (demoRadio) {
        const QString sim = QCoreApplication::applicationDirPath() + QStringLiteral("/velora-radio-sim");
        QString error = demo.start(sim);
        if (!error.isEmpty()) QMessageBox::warning(&frame, QStringLiteral("VELORA"), error);
        frame.updatePortPane();
    }

    const int rc = app.exec();
    demo.restorePortMapping();
    settings.writeExit(doc, port);
    return rc;
}
