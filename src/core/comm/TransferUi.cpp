#include "comm/TransferUi.h"

#include <algorithm>
#include <thread>

namespace velora::comm {

void TransferUi::waitWhilePumping(std::chrono::milliseconds ms) {
    constexpr std::chrono::milliseconds kStep{20};
    const auto until = std::chrono::steady_clock::now() + ms;
    while (true) {
        pumpMessages();
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) break;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kStep, until - now));
    }
}

std::string blockLabel(const TextSource& texts, int counter, int total) {
    return std::string(texts.text(kTextBlock)) + " " + std::to_string(counter) + " / " +
           std::to_string(total);
}

} // namespace velora::comm
