#pragma once
// Every field and grid cell of the feature areas by a stable key ("scan.look_back_time_b",
// "keys.2.3" for head 2, row 3), with what its control shows now, and KEY=TEXT applied exactly as
// if typed or chosen in the view and then left. The CLI's `fields` and `set` are this class printed;
// the GUI and printing can walk the same entries.
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "channels/ChannelStore.h"
#include "features/AreaRegistry.h"
#include "forms/GridArea.h"

namespace velora::forms {

struct FieldEntry {
    std::string key;
    std::string_view area;
    int page = 0;
    int field = 0; // the descriptor's index in its page; for a grid cell its value column (from 1)
    int row = 0;   // 1-based row of a grid; 0 for a form field
    int labelId = 0;
    int control = 0;
    FieldKind kind = FieldKind::None;
    std::string text; // what the control shows; a check box "1" or "0"
    bool enabled = false;
    bool hasValues = false;
    std::vector<std::string> values; // a list's item texts offered now, in order
};

// "edit", "spin", "list", "check", "combo", "text"; empty for kinds without a value.
std::string_view fieldKindName(FieldKind kind);

class FieldAccess {
  public:
    FieldAccess(Document& doc, MessageBoxes& boxes);
    ~FieldAccess();

    // Every field and grid cell of the named areas (all registered areas when none is named), in
    // area, page and field order. Unknown names are skipped; check them with findArea.
    std::vector<FieldEntry> fields(std::span<const std::string> areas = {});
    std::optional<FieldEntry> find(std::string_view key);

    struct Refusal {
        std::string key;
        std::string reason;
    };
    // Applies one KEY=TEXT: a check box takes "1" or "0", a list or grid cell one of the item texts
    // offered now (case-insensitive), an edit the text as typed through its character filter.
    // Refuses an unknown key, a disabled or read-only field and an item not offered, changing
    // nothing; messages the view would show go to the message boxes. A value the view turns away
    // with a message (a group or channel that does not exist, a channel already listed) is refused
    // too, so a script never takes an unstored value for a stored one.
    // A blank in a DTMF code is refused: the radio reads a blank as the end of the code.
    std::optional<Refusal> set(std::string_view key, std::string_view text);
    // After `set`: what the field shows when that is not what was typed (a character dropped,
    // a text cut, a value clamped, rounded or replaced by its default), else nullopt. An offered
    // item typed in another case and a number typed in another form of the same value count as
    // shown as typed.
    std::optional<std::string> shownOtherwise(std::string_view key, std::string_view typed);

    // The area made for this document (made on first use); nullptr for an unknown name.
    FeatureArea* area(std::string_view name);

  private:
    // Forwards every message and remembers the last one that turns a value away.
    class RefusalWatch : public Messenger {
      public:
        explicit RefusalWatch(Messenger& next) : next_(next) {}
        MsgAnswer show(const Message& m) override;
        int refused = 0; // text number, 0 when none
      private:
        Messenger& next_;
    };
    std::optional<Refusal> apply(std::string_view key, std::string_view text);

    struct Located {
        const AreaInfo* info = nullptr;
        FeatureArea* form = nullptr;
        GridArea* grid = nullptr;
        int page = 0;
        int field = 0;
        int row = -1; // 0-based grid row, -1 for a form field
        int col = 1;  // grid value column, counted from 1
    };
    void collect(const AreaInfo& info, std::vector<FieldEntry>& out);
    FieldEntry formEntry(const AreaInfo& info, FeatureArea& a, int page, int field, std::string key) const;
    FieldEntry gridEntry(const AreaInfo& info, GridArea& g, int page, int row, int col) const;
    std::optional<Located> locate(std::string_view key);
    std::string typedText(FeatureArea& a, int page, int field, std::string_view text) const;
    std::string filtered(const EditFormat& fmt, std::string_view text) const;

    Document& doc_;
    RefusalWatch watch_;
    MessageBoxes boxes_; // the outer boxes, watched
    ChannelStore store_;
    AreaServices services_;
    std::map<std::string_view, std::unique_ptr<FeatureArea>> areas_;
};

} // namespace velora::forms
