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
}

bool UndoHistory::record(const ImageCopy& current, std::string description) {
    if (!pending(current)) return false;
    undo_.push_back({recorded_, std::move(description)});
    if (undo_.size() > depth_) undo_.pop_front();
    redo_.clear();
    recorded_ = current;
    return true;
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
    to.push_back({working, std::move(step.description)});
    working = step.image;
    recorded_ = working;
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
    const ModelIdentification after = identificationOf(doc.image());
    if (after != before) doc.codec().loadBandLimits(after);
    return true;
}

bool UndoHistory::undo(Document& doc) {
    record(doc.image().working(), {});
    return moveOnDocument(undo_, redo_, doc);
}

bool UndoHistory::redo(Document& doc) {
    if (record(doc.image().working(), {})) return false;
    return moveOnDocument(redo_, undo_, doc);
}

} // namespace velora
