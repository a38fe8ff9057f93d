#pragma once
// One radio feature area as the generic form view sees it: pages of field descriptors, and the
// operations of the form-view pattern on them. The defaults run each field's storage description
// (number, list, check box); an area overrides an operation only for the fields its own rules
// single out and hands every other field back to the base. Printing and the CLI read the same
// field texts.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messenger.h"
#include "forms/FieldTypes.h"
#include "model/Document.h"

namespace velora::forms {

class FeatureArea {
  public:
    FeatureArea(Document& doc, MessageBoxes& boxes) : doc_(doc), boxes_(boxes) {}
    virtual ~FeatureArea() = default;
    FeatureArea(const FeatureArea&) = delete;
    FeatureArea& operator=(const FeatureArea&) = delete;

    // --- The view's tables ---------------------------------------------------------------------
    virtual int titleText() const = 0;
    virtual int defaultHelp() const = 0;
    virtual std::span<const FieldPage> pages() const = 0;
    // A page whose tab is shown only in some states (a list page that exists while a switch is on).
    virtual bool pageAvailable(int page) const;

    int pageCount() const { return int(pages().size()); }
    int fieldCount(int page) const;
    const FieldDescriptor* descriptor(int page, int field) const;
    // The help topic of a field; the view's default for fields without one.
    int helpTopic(int page, int field) const;
    // The index past the last field that the group frame `frame` holds (see frameHolds), never
    // past the next frame or separator line; `frame` + 1 for a field that is not a frame.
    int frameEnd(int page, int frame) const;
    // The first field, in page order, whose value control is `controlId`.
    std::optional<FieldRef> findValueControl(int controlId) const;

    // --- The pattern's operations --------------------------------------------------------------
    // The text the control shows and the value behind it; empty text for a byte out of range.
    virtual FieldText fieldText(int page, int field) const;
    virtual bool isFieldEnabled(int page, int field) const;
    // An edit's text, at most 48 characters are looked at; the text is validated, converted and stored.
    virtual FieldEffects commitField(int page, int field, std::string_view text);
    // A list's selected item data (-1: no selection, nothing stored) or a check box's new state (1/0).
    virtual FieldEffects commitChoice(int page, int field, int value);
    // Commits the edit's text first, then moves the stored value one step in `direction`.
    virtual FieldEffects stepField(int page, int field, std::string_view text, int direction);
    // The focus leaves a field after its commit: rules that run on leaving rather than on change.
    virtual FieldEffects leaveField(int /*page*/, int /*field*/) { return {}; }
    // The items a list offers now, in order (a list may leave items out by state).
    virtual std::vector<ValueItem> valueList(int page, int field) const;
    virtual EditFormat editFormat(int page, int field) const;
    // The range a number field clamps and steps in now.
    virtual NumericRange range(int page, int field) const;

    Document& document() { return doc_; }
    const Document& document() const { return doc_; }
    MessageBoxes& boxes() { return boxes_; }
    std::string text(int number) const { return boxes_.text(number); }

    static constexpr std::size_t kMaxCommitText = 48;

  protected:
    Byte storedByte(const FieldStorage& s) const;
    void storeByte(const FieldStorage& s, Byte value);
    const FieldStorage* storage(int page, int field) const;

  private:
    Document& doc_;
    MessageBoxes& boxes_;
};

} // namespace velora::forms
