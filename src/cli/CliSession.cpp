#include "CliSession.h"

#include <cstring>
#include <iostream>

#include "channels/ChannelStore.h"
#include "model/DataFile.h"

namespace velora::cli {

void printError(const std::string& what) {
    std::cerr << "velora-cli: " << what << '\n';
}

bool CliSession::loadTexts() {
    auto file = findLanguageFile(programFolder());
    auto status = file ? texts.load(*file) : LanguageFile::Status::NotFound;
    if (auto m = LanguageFile::failureMessage(status)) {
        printError(m->text);
        return false;
    }
    return true;
}

bool CliSession::open(const std::string& path) {
    messenger.context = path;
    bool ok = openWithoutDialogs(doc, boxes, path) == CommandOutcome::Done;
    messenger.context.clear();
    return ok;
}

bool CliSession::save(const std::string& path) {
    ChannelStore(doc, texts).padNames();
    auto r = writeDataFile(doc.image(), path);
    if (!r.ok()) {
        printError("cannot write " + path + ": " + std::strerror(r.systemError));
        return false;
    }
    doc.image().markSaved();
    return true;
}

} // namespace velora::cli
