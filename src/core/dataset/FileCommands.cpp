#include "dataset/FileCommands.h"

#include <sys/stat.h>

#include <cstring>

#include "channels/ChannelStore.h"
#include "dataset/DataSetAdoption.h"
#include "dataset/DataSetInit.h"
#include "model/DataFile.h"
#include "model/ModelCatalogue.h"

namespace velora {

namespace {
constexpr int kTextSaveChanges = 216; // "Save changes to"
constexpr int kTextFileExists = 217;
constexpr int kTextOverwrite = 218;
constexpr int kTextNewDataSet = 219; // a new data set replaces the current one
constexpr int kTextCannotOpen = 207;
constexpr int kTextNotDataFile = 220;
constexpr int kTextExitQuestion = 138;
constexpr int kTextExitCaption = 139;
constexpr std::string_view kAppCaption = "VELORA";

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}
} // namespace

bool FileCommands::confirmDiscard() {
    if (!doc_.isModified()) return true;
    Message m;
    m.text = formatText("%s \"%s\" ?", {boxes_.text(kTextSaveChanges), doc_.fileName()});
    m.caption = std::string(kAppCaption);
    m.buttons = MsgButtons::YesNoCancel;
    m.icon = MsgIcon::Warning;
    switch (boxes_.show(m)) {
    case MsgAnswer::Cancel:
        return false;
    case MsgAnswer::No:
        return true;
    default:
        // Only a completed save lets the command drop the data set: leaving the file dialog or a
        // failed write cancels the whole command, as Cancel would.
        return saveAs() == CommandOutcome::Done;
    }
}

CommandOutcome FileCommands::newDataSet() {
    if (boxes_.question(kTextNewDataSet, MsgButtons::OkCancel, true, MessageBoxes::kCaptionWarning) !=
        MsgAnswer::Ok)
        return CommandOutcome::Cancelled;
    if (!confirmDiscard()) return CommandOutcome::Cancelled;
    ui_.closeAllEditors();
    doc_.image().resetKeepingIdentification();
    defaultInitialise(doc_, false, false);
    if (identificationOf(doc_.image()).hasOptionBoard(2))
        setByte(doc_.image().main(), layout::kCommon + layout::kCsOptionBoardMode, 2);
    doc_.image().markSaved();
    doc_.setFileName(std::string(layout::kDefaultFileName));
    return CommandOutcome::Done;
}

CommandOutcome FileCommands::open() {
    if (!confirmDiscard()) return CommandOutcome::Cancelled;
    auto path = ui_.chooseOpenPath(doc_.folder());
    if (!path) return CommandOutcome::Cancelled;
    return openPath(*path);
}

CommandOutcome openWithoutDialogs(Document& doc, MessageBoxes& boxes, const std::string& path) {
    struct NoDialogs : FileUi {
        std::optional<std::string> chooseOpenPath(const std::string&) override { return std::nullopt; }
        std::optional<std::string> chooseSavePath(const std::string&, const std::string&) override {
            return std::nullopt;
        }
        void closeAllEditors() override {}
    } ui;
    return FileCommands(doc, boxes, ui).openPath(path);
}

CommandOutcome FileCommands::openPath(const std::string& path) {
    const DataFileResult r = readDataFile(doc_.image(), path);
    switch (r.status) {
    case DataFileStatus::Ok:
        break;
    case DataFileStatus::NotDataFile:
        boxes_.error(kTextNotDataFile);
        return CommandOutcome::Failed;
    default:
        // The current file name and folder stay as they were: nothing was opened.
        boxes_.error(kTextCannotOpen);
        return CommandOutcome::Failed;
    }
    doc_.setPath(path);
    ui_.closeAllEditors();
    adoptLoadedDataSet(doc_, LoadOrigin::File, boxes_);
    return CommandOutcome::Done;
}

CommandOutcome FileCommands::save() {
    ChannelStore(doc_, boxes_.texts()).padNames();
    const std::string path = doc_.path();
    if (fileExists(path)) {
        std::string text = formatText(
            "%s\n\n%s : %s", {boxes_.text(kTextFileExists), boxes_.text(kTextOverwrite), doc_.fileName()});
        if (boxes_.questionText(std::move(text), MsgButtons::OkCancel, true) != MsgAnswer::Ok)
            return CommandOutcome::Cancelled;
    }
    return writeTo(path);
}

CommandOutcome FileCommands::saveAs() {
    ChannelStore(doc_, boxes_.texts()).padNames();
    auto path = ui_.chooseSavePath(doc_.folder(), doc_.fileName());
    if (!path) return CommandOutcome::Cancelled;
    CommandOutcome out = writeTo(*path);
    if (out == CommandOutcome::Done) doc_.setPath(*path);
    return out;
}

bool FileCommands::confirmExit() {
    // The exit question is the one question that carries the question icon, not the warning icon.
    Message ask;
    ask.textId = kTextExitQuestion;
    ask.text = boxes_.text(kTextExitQuestion);
    ask.caption = boxes_.text(kTextExitCaption);
    ask.buttons = MsgButtons::YesNo;
    ask.icon = MsgIcon::Question;
    if (boxes_.show(ask) != MsgAnswer::Yes) return false;
    return confirmDiscard();
}

CommandOutcome FileCommands::writeTo(const std::string& path) {
    const DataFileResult r = writeDataFile(doc_.image(), path);
    if (!r.ok()) {
        boxes_.errorText(std::strerror(r.systemError));
        return CommandOutcome::Failed;
    }
    doc_.image().markSaved();
    return CommandOutcome::Done;
}

} // namespace velora
