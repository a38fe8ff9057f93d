#pragma once
// The decisions of the File commands New, Open, Save and Save As and of Confirm discard.
// The GUI supplies the file dialogs and closes its editors; every prompt goes through MessageBoxes.
#include <optional>
#include <string>

#include "base/Messenger.h"
#include "model/Document.h"

namespace velora {

enum class CommandOutcome { Done, Cancelled, Failed };

class FileUi {
  public:
    virtual ~FileUi() = default;
    // File-open dialog: "*.dat" filter, initial folder, must exist. nullopt when cancelled.
    virtual std::optional<std::string> chooseOpenPath(const std::string& folder) = 0;
    // File-save dialog: default extension "dat", asks before overwriting. nullopt when cancelled.
    virtual std::optional<std::string> chooseSavePath(const std::string& folder, const std::string& name) = 0;
    virtual void closeAllEditors() = 0;
};

// Opens the data file at `path` where no dialog can be shown and no editor is open to close
// (command line, a second data set read for comparison).
CommandOutcome openWithoutDialogs(Document& doc, MessageBoxes& boxes, const std::string& path);

class FileCommands {
  public:
    FileCommands(Document& doc, MessageBoxes& boxes, FileUi& ui) : doc_(doc), boxes_(boxes), ui_(ui) {}

    // Whether a command that would drop the data set may go on: it offers to save a modified one,
    // and only No or Yes with a completed save go on.
    bool confirmDiscard();
    CommandOutcome newDataSet();
    CommandOutcome open();
    // Open without the dialog (command line, tests): read, report, adopt.
    CommandOutcome openPath(const std::string& path);
    CommandOutcome save();
    CommandOutcome saveAs();
    // Exit question (text 138, caption 139) followed by Confirm discard.
    bool confirmExit();

  private:
    CommandOutcome writeTo(const std::string& path);
    Document& doc_;
    MessageBoxes& boxes_;
    FileUi& ui_;
};

} // namespace velora
