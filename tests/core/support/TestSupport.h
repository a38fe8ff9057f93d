#pragma once
// Shared fakes for the core tests.
#include <filesystem>
#include <string>
#include <vector>

#include "base/Messenger.h"

namespace velora::test {

// Texts "T<n>" for every number, so a test can tell which text a message used.
class NumberedTexts : public TextSource {
  public:
    std::string_view text(int number) const override;

  private:
    mutable std::vector<std::string> cache_ = std::vector<std::string>(700);
};

// Records every message and answers from a queue (default: Ok / Yes / Retry as first button).
class RecordingMessenger : public Messenger {
  public:
    MsgAnswer show(const Message& m) override;
    std::vector<Message> shown;
    std::vector<MsgAnswer> answers; // consumed front to back
    std::vector<int> ids() const;
};

struct MessengerFixture {
    NumberedTexts texts;
    RecordingMessenger messenger;
    MessageBoxes boxes{messenger, texts};
};

// A fresh temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

} // namespace velora::test
