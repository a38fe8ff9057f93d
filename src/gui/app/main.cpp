// The program: the real message boxes and the real language-file search around the start-up.
#include <cstdio>
#include <strings.h>

#include "app/Startup.h"
#include "base/LanguageFile.h"
#include "views/QtMessenger.h"
#include "views/StartupTrace.h"

namespace {

constexpr char kHelp[] = R"(usage: velora [-nosplash] [wqwq] [step] [--demo-radio] [DATAFILE]
       velora --export-pdf DATAFILE OUT.pdf [--sections LIST]

The programming application for the RM-410, RM-420 and RM-430 radios.

  -nosplash, /nosplash  start without the splash window
  wqwq                  extended capacity: 255 channels, channel numbers up to 254 per group
  step                  accept the 1.25 kHz channel step in the VHF band
  --demo-radio          start a simulated radio (velora-radio-sim) and use it as the port
  DATAFILE              open this data file instead of the default data set
  --export-pdf DATAFILE OUT.pdf [--sections LIST]
                        write the printed report of DATAFILE to OUT.pdf without a window
  --help                this text
  --version             the program's version

The language file velora.lng is looked for beside the program, in the current folder, in
share/velora of the installation, then in each folder of PATH.
)";

// Answered before Qt starts, so they work without a display.
bool hasOption(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (strcasecmp(argv[i], name) == 0) return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    velora::gui::startupMark("main");
    if (hasOption(argc, argv, "--help") || hasOption(argc, argv, "-h")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (hasOption(argc, argv, "--version")) {
        std::puts("velora " VELORA_VERSION);
        return 0;
    }
    velora::gui::QtMessenger messenger;
    velora::gui::StartupEnvironment env{
        messenger, velora::defaultLanguageSearchFolders(velora::programFolder()),
        [&messenger](QWidget* mainWindow) { messenger.setOwner(mainWindow); }};
    return velora::gui::startApplication(argc, argv, env);
}
