#include "dataset/UndoHistory.h"

#include "model/Document.h"
#include "model/ModelCatalogue.h"

namespace velora {

namespace {
const std::string kNoText;
}

UndoHistory::UndoHistory(std::size_t depth) : depth_(depth == 0 ? 1 : depth) {}

void UndoHistory::reset(const ImageCopy& current) {
    undo_.clear();
    redo_.clear();
    recorded_ = current;
    recordedName_.clear();
}

void UndoHistory::reset(const Document& current) {
    reset(current.image().working());
    recordedName_ = current.fileName();
}

bool UndoHistory::record(const ImageCopy& current, std::string description) {
    if (!pending(current)) return false;
    undo_.push_back({recorded_, std::move(description), recordedName_});
    if (undo_.size() > depth_) undo_.pop_front();
    redo_.clear();
    recorded_ = current;
    return true;
}

bool UndoHistory::record(const Document& current, std::string description) {
    if (!record(current.image().working(), std::move(description))) return false;
    recordedName_ = current.fileName();
    return true;
}

void UndoHistory::rebase(const Document& current) {
    rebase(current.image().working());
    const std::string& name = current.fileName();
    if (name == recordedName_) return;
    for (auto* steps : {&undo_, &redo_})
        for (Step& step : *steps)
            if (step.fileName == recordedName_) step.fileName = name;
    recordedName_ = name;
}

const std::string& UndoHistory::undoText() const {
    return undo_.empty() ? kNoText : undo_.back().description;
}

const std::string& UndoHistory::redoText() const {
    return redo_.empty() ? kNoText : redo_.back().description;
}

// The step leaves `from` for `to`, which keeps the state being left under the step's description.
bool UndoHistory::move(std::deque<Step>& from, std::deque<Step>& to, ImageCopy& working) {
    if (from.empty()) return false;
    Step& step = from.back();
    to.push_back({working, std::move(step.description), recordedName_});
    working = step.image;
    recorded_ = working;
    recordedName_ = std::move(step.fileName);
    from.pop_back();
    return true;
}

bool UndoHistory::undo(ImageCopy& working) {
    record(working, {});
    return move(undo_, redo_, working);
}

bool UndoHistory::redo(ImageCopy& working) {
    // A change made since the last undo ends what could be redone.
    if (record(working, {})) return false;
    return move(redo_, undo_, working);
}

bool UndoHistory::moveOnDocument(std::deque<Step>& from, std::deque<Step>& to, Document& doc) {
    const ModelIdentification before = identificationOf(doc.image());
    if (!move(from, to, doc.image().working())) return false;
    if (!recordedName_.empty()) doc.setFileName(recordedName_);
    const ModelIdentification after = identificationOf(doc.image());
    if (after != before) doc.codec().loadBandLimits(after);
    return true;
}

bool UndoHistory::undo(Document& doc) {
    record(doc, {});
    return moveOnDocument(undo_, redo_, doc);
}

bool UndoHistory::redo(Document& doc) {
    if (record(doc, {})) return false;
    return moveOnDocument(redo_, undo_, doc);
}

} // namespace velora
