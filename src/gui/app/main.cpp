// The program: the real message boxes and the real language-file search around the start-up.
#include "app/LanguageFile.h"
#include "app/QtMessenger.h"
#include "app/Startup.h"

int main(int argc, char** argv) {
    velora::gui::QtMessenger messenger;
    velora::gui::StartupEnvironment env{
        messenger, velora::defaultLanguageSearchFolders(velora::programFolder()),
        [&messenger](QWidget* mainWindow) { messenger.setOwner(mainWindow); }};
    return velora::gui::startApplication(argc, argv, env);
}
