#pragma once
// Shared pieces of the fuzz targets: silent texts and message boxes, a default data set, the
// invariant check, and a reader that hands out the fuzzer's bytes one decision at a time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/Messenger.h"
#include "channels/ChannelStore.h"
#include "dataset/DataSetInit.h"
#if __has_include("dataset/DataSetAdoption.h")
#include "dataset/DataSetAdoption.h"
#endif
#include "model/Document.h"

namespace velora::fuzz {

// Texts "T<n>", with real formats where the code formats a number into them.
class Texts : public TextSource {
  public:
    std::string_view text(int number) const override {
        if (number < 0 || number > 600) return {};
        auto& t = cache_[static_cast<std::size_t>(number)];
        if (t.empty()) t = "T" + std::to_string(number) + " %d %s";
        return t;
    }

  private:
    mutable std::vector<std::string> cache_ = std::vector<std::string>(601);
};

// Answers every box with its first button, or with the answers given.
class Messages : public Messenger {
  public:
    int shown = 0;
    MsgAnswer show(const Message& m) override {
        ++shown;
        switch (m.buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        case MsgButtons::RetryCancel:
            return MsgAnswer::Retry;
        default:
            return MsgAnswer::Ok;
        }
    }
};

struct Boxes {
    Texts texts;
    Messages messenger;
    MessageBoxes boxes{messenger, texts};
};

inline std::unique_ptr<Document> defaultDocument(RunOptions options = {}) {
    auto doc = std::make_unique<Document>(options);
    doc->image().reset();
    defaultInitialise(*doc, true, false);
    return doc;
}

// Aborts (so the fuzzer records the input) when a condition the code promises does not hold.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

inline void checkTables(Document& doc) {
    Texts texts;
    ChannelStore store(doc, texts);
    FUZZ_CHECK(store.validateTables());
}

// The fuzzer's bytes as a stream of decisions; zeros once they run out.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data, size) {}
    bool empty() const { return pos_ >= data_.size(); }
    std::size_t left() const { return data_.size() - pos_; }
    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    int number(int limit) { return limit <= 0 ? 0 : (byte() | (byte() << 8)) % limit; }
    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, left());
        auto s = data_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    std::span<const std::uint8_t> rest() { return take(left()); }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// A file in a fast scratch folder (tmpfs when there is one), unique per process.
inline std::string scratchPath(const char* name) {
    const char* dir = std::getenv("VELORA_FUZZ_TMP");
    std::string base = dir ? dir : ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return base + "/velora-fuzz-" + std::to_string(::getpid()) + "-" + name;
}

} // namespace velora::fuzz
