#pragma once
// Undo and redo of changes to the data set. A step is a snapshot of the working copy (three small
// fixed-size areas) taken before the change, with a description of what the change touched. The
// history measures every change against the state it last recorded, so a step exists only where
// the image really changed, however many commits one user action made. A step recorded from the
// document also restores the file name that went with it (Model Information names a changed data
// set velora.dat; undoing that brings the open file's name back).
#include <cstddef>
#include <deque>
#include <string>

#include "model/MemoryImage.h"

namespace velora {

class Document;

class UndoHistory {
  public:
    static constexpr std::size_t kDefaultDepth = 200;

    explicit UndoHistory(std::size_t depth = kDefaultDepth);

    // Forgets every step; `current` is what the next change is measured against (New, Open, Read).
    void reset(const ImageCopy& current);
    void reset(const Document& current);

    // Records the change from the last recorded state to `current` as one step. False, and nothing
    // recorded, when the image did not change. A new step drops what could be redone; past the
    // depth the oldest step goes.
    bool record(const ImageCopy& current, std::string description);
    bool record(const Document& current, std::string description);
    // `current` becomes the recorded state without a step, the steps kept: for a change no user made
    // (names padded for saving, a write's version marks). A file saved under a new name is known by
    // that name from now on, so the steps that named the old one take the new one.
    void rebase(const ImageCopy& current) { recorded_ = current; }
    void rebase(const Document& current);
    // Whether `current` differs from the last recorded state.
    bool pending(const ImageCopy& current) const { return !(current == recorded_); }

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // What the next undo or redo restores; empty when there is none or it has no description.
    const std::string& undoText() const;
    const std::string& redoText() const;
    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }
    std::size_t depth() const { return depth_; }

    // Restores the working copy as it was before the last step (a change not yet recorded counts as
    // the last step). False when there is nothing to undo.
    bool undo(ImageCopy& working);
    bool redo(ImageCopy& working);

    // The same on a document: the frequency codec follows a restored model identification.
    bool undo(Document& doc);
    bool redo(Document& doc);

  private:
    struct Step {
        ImageCopy image;
        std::string description;
        std::string fileName; // empty when recorded without a document
    };
    bool move(std::deque<Step>& from, std::deque<Step>& to, ImageCopy& working);
    bool moveOnDocument(std::deque<Step>& from, std::deque<Step>& to, Document& doc);

    std::size_t depth_;
    ImageCopy recorded_;
    std::string recordedName_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
};

} // namespace velora
