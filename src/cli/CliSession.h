#pragma once
// What every velora-cli command shares: the language texts, the document, the message sink,
// and opening a data file the way the application's Open does.
#include <optional>
#include <string>

#include "CliMessenger.h"
#include "base/LanguageFile.h"
#include "dataset/FileCommands.h"
#include "dataset/FleetManifest.h"
#include "model/Document.h"

namespace velora::cli {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

class CliSession {
  public:
    explicit CliSession(RunOptions options) : doc(options) {}

    // Loads velora.lng; prints the fatal message and returns false when it is missing or damaged.
    bool loadTexts();
    // Read into the staging copy and adopt, as the application's Open does. Errors are on stderr.
    bool open(const std::string& path);
    // Blank-fills the names and writes the working copy atomically.
    bool save(const std::string& path);

    LanguageFile texts;
    Document doc;
    CliMessenger messenger;
    MessageBoxes boxes{messenger, texts};
};

int cmdNew(CliSession& s, const std::vector<std::string>& args);
int cmdInfo(CliSession& s, const std::vector<std::string>& args);
int cmdChannels(CliSession& s, const std::vector<std::string>& args);
int cmdRead(CliSession& s, const std::vector<std::string>& args);
int cmdWrite(CliSession& s, const std::vector<std::string>& args);
int cmdFields(CliSession& s, const std::vector<std::string>& args);
int cmdSet(CliSession& s, const std::vector<std::string>& args);
int cmdReport(CliSession& s, const std::vector<std::string>& args);
int cmdTestMode(CliSession& s, const std::vector<std::string>& args);
int cmdDiff(CliSession& s, const std::vector<std::string>& args);
int cmdProbe(CliSession& s, const std::vector<std::string>& args);
int cmdFleet(CliSession& s, const std::vector<std::string>& args);
int cmdFleetWrite(CliSession& s, const std::vector<std::string>& args);
// Reads a fleet manifest; the reason it cannot be read goes to stderr.
std::optional<fleet::Manifest> readFleetManifest(const std::string& path, const TextSource& texts);

void printError(const std::string& what);

} // namespace velora::cli
