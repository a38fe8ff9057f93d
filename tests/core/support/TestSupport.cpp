#include "TestSupport.h"

#include <random>

namespace velora::test {

std::string_view NumberedTexts::text(int number) const {
    if (number < 0 || number >= static_cast<int>(cache_.size())) return {};
    if (cache_[number].empty()) cache_[number] = "T" + std::to_string(number);
    return cache_[number];
}

MsgAnswer RecordingMessenger::show(const Message& m) {
    shown.push_back(m);
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    switch (m.buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::RetryCancel:
        return MsgAnswer::Retry;
    }
    return MsgAnswer::Ok;
}

std::vector<int> RecordingMessenger::ids() const {
    std::vector<int> out;
    for (const auto& m : shown)
        out.push_back(m.textId);
    return out;
}

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("velora-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace velora::test
