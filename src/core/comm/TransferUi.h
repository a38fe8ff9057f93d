#pragma once
// What a radio transfer needs from whoever runs it: a progress display, message boxes for its
// prompts (the Messenger part), a message pump between frames and a wait that keeps pumping.
// The GUI implements it with its dialog, the CLI with stderr and flags, tests with a recorder.
#include <chrono>
#include <string>

#include "base/Messenger.h"
#include "base/TextSource.h"

namespace velora::comm {

class TransferUi : public Messenger {
  public:
    // The block label shows labelCounter of total ("Block 5 / 192"); the bar runs 0..total at position.
    virtual void showProgress(int labelCounter, int position, int total) = 0;
    // Lets pending window messages run; called after every unit that travelled well.
    virtual void pumpMessages() {}
    // Waits while pumping; the close delay uses it. The default pumps and sleeps in short steps.
    virtual void waitWhilePumping(std::chrono::milliseconds ms);
};

// Language text of the block-counter word.
inline constexpr int kTextBlock = 165;

// "Block 5 / 192".
std::string blockLabel(const TextSource& texts, int counter, int total);

} // namespace velora::comm
