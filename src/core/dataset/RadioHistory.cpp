#include "dataset/RadioHistory.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <system_error>
#include <vector>

#include "model/DataFile.h"
#include "model/ModelCatalogue.h"

namespace velora {

namespace {

constexpr std::string_view kExtension = ".dat";
constexpr std::size_t kStampLength = 17; // "2024-05-01_134512"

std::string fileSafe(const std::string& s) {
    std::string out;
    for (char c : s) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-';
        if (plain)
            out += c;
        else if (!out.empty() && out.back() != '_')
            out += '_';
    }
    while (!out.empty() && out.back() == '_')
        out.pop_back();
    return out.empty() ? "unknown" : out;
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The model part a history name can carry: one model, two (dual band), or "unknown".
bool isModelPart(std::string_view part) {
    if (part == "unknown") return true;
    for (const ModelEntry& first : kModels) {
        const std::string one = fileSafe(std::string(first.name));
        if (part == one) return true;
        for (const ModelEntry& second : kModels)
            if (part == one + "_" + fileSafe(std::string(second.name))) return true;
    }
    return false;
}

// Only a name this folder's writer makes may be counted or removed: the stamp, the model part and,
// for a later read in the same second, its number. A user's own file stays.
bool isHistoryName(const std::string& name) {
    if (name.size() < kStampLength + 1 + kExtension.size() || !name.ends_with(kExtension)) return false;
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const char c = name[i];
        const bool want = i == 4 || i == 7 ? c == '-' : i == 10 ? c == '_' : c >= '0' && c <= '9';
        if (!want) return false;
    }
    if (name[kStampLength] != '_') return false;
    std::string_view rest(name);
    rest = rest.substr(kStampLength + 1, rest.size() - kStampLength - 1 - kExtension.size());
    if (isModelPart(rest)) return true;
    const std::size_t cut = rest.rfind('_');
    if (cut == std::string_view::npos) return false;
    const std::string_view number = rest.substr(cut + 1);
    return allDigits(number) && number[0] != '0' && isModelPart(rest.substr(0, cut));
}

void prune(const std::filesystem::path& folder, std::size_t limit) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.is_regular_file(ec) && isHistoryName(e.path().filename().string())) files.push_back(e.path());
    if (files.size() <= limit) return;
    // The stamp leads the name, so name order is the order of the reads.
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i + limit < files.size(); ++i)
        std::filesystem::remove(files[i], ec);
}

} // namespace

std::filesystem::path radioHistoryFolder(const settings::EnvLookup& env) {
    std::filesystem::path base;
    if (const char* x = env("XDG_DATA_HOME"); x && x[0] == '/')
        base = x;
    else if (const char* home = env("HOME"); home && home[0] != '\0')
        base = std::filesystem::path(home) / ".local" / "share";
    else
        return {};
    return base / "velora" / "history";
}

std::string radioHistoryName(const ImageCopy& data, std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H%M%S", &tm);
    return std::string(stamp) + "_" + fileSafe(dataSetTitle(identificationOf(data.main))) +
           std::string(kExtension);
}

HistoryResult keepInRadioHistory(const ImageCopy& data, const std::filesystem::path& folder,
                                 std::chrono::system_clock::time_point when, std::size_t limit) {
    HistoryResult r;
    if (folder.empty()) {
        r.error = "no home folder";
        return r;
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        r.error = folder.string() + ": " + ec.message();
        return r;
    }
    // Two reads within one second each keep their own file; creating the name exclusively keeps a
    // read running beside this one (another window, the command line) from taking the same name.
    const std::string name = radioHistoryName(data, when);
    const std::string stem = name.substr(0, name.size() - kExtension.size());
    r.file = folder / name;
    for (int n = 2;; ++n) {
        const int fd = ::open(r.file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            break;
        }
        if (errno != EEXIST) {
            r.error = r.file.string() + ": " + std::strerror(errno);
            return r;
        }
        r.file = folder / (stem + "_" + std::to_string(n) + std::string(kExtension));
    }

    // The copy holds what the radio sent, the format version bytes included.
    auto image = std::make_unique<MemoryImage>();
    image->working() = data;
    const DataFileResult w = writeDataFile(*image, r.file.string(), VersionStamp::AsIs);
    if (!w.ok()) {
        r.error = r.file.string() + ": " + std::strerror(w.systemError ? w.systemError : EIO);
        std::filesystem::remove(r.file, ec);
        return r;
    }
    prune(folder, limit);
    return r;
}

HistoryResult keepReadInHistory(const ImageCopy& data, const TextSource& texts, MessageBoxes& boxes) {
    HistoryResult r =
        keepInRadioHistory(data, radioHistoryFolder(std::getenv), std::chrono::system_clock::now());
    if (!r.ok()) boxes.warningText(formatText(texts.text(kTextHistoryFailed), {r.error}));
    return r;
}

} // namespace velora
