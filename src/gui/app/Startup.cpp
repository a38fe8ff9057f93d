#include "app/Startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <optional>

#include "app/SplashWindow.h"
#include "base/CommandLine.h"
#include "base/FrameCommands.h"
#include "base/LanguageFile.h"
#include "comm/DemoRadio.h"
#include "dataset/DataSetInit.h"
#include "frame/MainFrame.h"
#include "print/ReportPrinting.h"
#include "views/AccessibleNames.h"
#include "views/AppSettings.h"
#include "views/EditorRegistry.h"
#include "views/StartupTrace.h"

namespace velora::gui {

namespace {

bool hasSwitch(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

int startApplication(int argc, char** argv, const StartupEnvironment& env) {
    // 1. The switches.
    const CommandLine options = parseCommandLine(argc, argv);
    const bool demoRadio = hasSwitch(argc, argv, "--demo-radio");
    const bool startupProbe = hasSwitch(argc, argv, "--startup-probe");

    // 2. Qt sets the process locale to the user's; the settings key follows the program's name.
    std::optional<QApplication> ownApp;
    if (!QApplication::instance()) ownApp.emplace(argc, argv);
    startupMark("qt-application");
    // Read once Qt has taken its own options out, so "-platform NAME" names no data file.
    const std::string dataFile = parseCommandLine(argc, argv).dataFile;
    const QString baseName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    QCoreApplication::setApplicationName(baseName);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/129.png")));
    AccessibleNaming::install();
    startupMark("qt-setup");

    // 3. Colour depth for the splash.
    const int depth = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 24;

    // 5. The language file; without it nothing can be shown, and the settings stay as they are.
    LanguageFile texts;
    const auto file = findLanguageFile(std::span<const std::filesystem::path>(env.languageFolders));
    const auto status = file ? texts.load(*file) : LanguageFile::Status::NotFound;
    startupMark("language-file");
    if (!options.error.empty() || options.exportPdf) {
        // The report export runs without a window and leaves the settings alone.
        if (!options.error.empty()) {
            std::fprintf(stderr, "velora: %s\n", options.error.c_str());
            return 2;
        }
        if (auto failure = LanguageFile::failureMessage(status)) {
            std::fprintf(stderr, "velora: %s\n", failure->text.c_str());
            return 1;
        }
        return exportPdfFromCommandLine(texts, options.run, options.exportPdf->dataFile,
                                        options.exportPdf->pdfFile, options.exportPdf->sections);
    }
    if (auto failure = LanguageFile::failureMessage(status)) {
        env.messenger.show(*failure);
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
    startupMark("settings");

    // 10. The default data set, marked saved.
    defaultInitialise(doc, !validModel, true);
    doc.image().markSaved();
    startupMark("data-set");

    // 11. The shared fixed-pitch font.
    MessageBoxes boxes(env.messenger, texts);
    AppContext ctx{doc, texts, boxes, port, baseName};
    ctx.fixedFont.setFixedPitch(true);
    ctx.fixedFont.setStyleHint(QFont::TypeWriter);

    // 12. Editor views and feature dialogs.
    EditorRegistry registry;
    registerFeatures(registry);
    startupMark("editor-registry");

    // 13, 14. Main frame with the splash over it, then its remembered placement.
    if (!options.noSplash) (new SplashWindow(texts, depth))->showCentred();
    MainFrame frame(ctx, registry);
    startupMark("main-frame");
    if (env.mainWindowCreated) env.mainWindowCreated(&frame);
    frame.restorePlacement();
    startupMark("main-frame-shown");

    // 15. The file named on the command line, or the first editor, once the event loop runs.
    QTimer::singleShot(0, &frame, [&frame, dataFile] {
        if (dataFile.empty())
            frame.runCommand(cmd::kChannelInfo);
        else
            frame.openFile(QFileInfo(QString::fromStdString(dataFile)).absoluteFilePath().toStdString());
        startupMark("first-editor");
    });

    DemoRadio demo(ctx);
    if (demoRadio) {
        const QString sim = QCoreApplication::applicationDirPath() + QStringLiteral("/velora-radio-sim");
        auto warn = [&env](const QString& error) {
            if (error.isEmpty()) return;
            Message m;
            m.text = error.toStdString();
            m.caption = std::string(LanguageFile::kCaption);
            m.icon = MsgIcon::Warning;
            env.messenger.show(m);
        };
        warn(demo.start(sim));
        frame.updatePortPane();
        // The demo radio stays the radio of the open data set, whatever its model becomes.
        QObject::connect(&frame, &MainFrame::dataSetShown, &demo, [&demo, &frame, warn] {
            warn(demo.follow());
            frame.updatePortPane();
        });
    }

    if (startupProbe) {
        // After the first frame with the channel view is painted; exit() skips the exit question.
        afterFirstPaint(&frame, [] {
            startupMark("probe");
            printStartupProbe();
            QCoreApplication::exit(0);
        });
    }

    const int rc = QCoreApplication::exec();
    demo.restorePortMapping();
    settings.writeExit(doc, port);
    return rc;
}

} // namespace velora::gui
