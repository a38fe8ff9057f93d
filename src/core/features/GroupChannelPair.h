#pragma once
// A (group, channel) pair of the common settings block, edited as two number edits: priority 1,
// priority 2, home and emergency. Both bytes are 0-based, 0xFF meaning none; the edits show them
// 1-based. Numbers that name no existing group or channel are refused with message 241.
#include <string>
#include <string_view>

#include "channels/ChannelStore.h"

namespace velora::forms {

class GroupChannelPair {
  public:
    enum class Slot { Priority1 = 0, Priority2 = 1, Home = 2, Emergency = 3 };
    enum class Result {
        Unchanged, // the number already stored
        Stored,
        Refused, // message 241 shown, nothing changed
        Busy,    // a commit of this pair is already waiting on its message box
    };
    static constexpr int kNotFound = 241;

    explicit GroupChannelPair(Slot slot) : slot_(slot) {}

    int group(const Document& doc) const; // 0-based, 0xFF none
    int channel(const Document& doc) const;
    bool hasGroup(const Document& doc) const { return group(doc) != 0xFF; }
    std::string groupText(const Document& doc) const; // 1-based, empty for none
    std::string channelText(const Document& doc) const;

    // Empty text clears both bytes; a new existing group is stored and the channel cleared.
    Result commitGroup(std::string_view text, ChannelStore& store, MessageBoxes& boxes);
    // Empty text clears the channel; a channel of the pair's group is stored.
    Result commitChannel(std::string_view text, ChannelStore& store, MessageBoxes& boxes);

  private:
    std::size_t offset() const;
    Result refuse(MessageBoxes& boxes);

    Slot slot_;
    bool busy_ = false; // a message box of this pair is up: focus changes must not commit again
};

} // namespace velora::forms
