#pragma once
// The application's run from start-up to exit, apart from main() so that tests can drive it with
// their own message sink and language-file folders.
#include <QWidget>
#include <filesystem>
#include <functional>
#include <vector>

#include "base/Messenger.h"

namespace velora::gui {

struct StartupEnvironment {
    // Shows every message of the run, the language-file failure included.
    Messenger& messenger;
    // Searched in order for velora.lng.
    std::vector<std::filesystem::path> languageFolders;
    // Told the main window as soon as it exists (message boxes open over it; tests look at it).
    std::function<void(QWidget* mainWindow)> mainWindowCreated;
};

// Runs the application and returns its exit code. Uses the existing QApplication, if any.
//
// Besides the program's own switches it takes two for development:
//   --demo-radio     a simulated radio on the current port (velora-radio-sim beside the program);
//   --startup-probe  once the main window is up and the event loop has run, print
//                    "startup-probe realtime_us=<CLOCK_REALTIME in µs> since_start_ms=<ms since the
//                    process started>" on stdout and end without the exit question.
int startApplication(int argc, char** argv, const StartupEnvironment& env);

} // namespace velora::gui
