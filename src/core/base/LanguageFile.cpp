#include "base/LanguageFile.h"

#include "base/InputFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace velora {

namespace {

constexpr std::uint8_t kTextStart = 0x00;
constexpr std::uint8_t kEndOfFile = 0xFF;
constexpr std::uint8_t kLineFeed = '\n';
constexpr std::uint8_t kCarriageReturn = '\r';
constexpr std::uint8_t kEscape = '\\';

// A real language file is a few tens of kilobytes; anything far larger is not one, and the cap
// keeps a device or a runaway file from being read into memory.
constexpr std::size_t kMaxFileSize = 8u << 20;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Parses the whole file into a fresh store; nothing is committed unless every check passes.
class Parser {
  public:
    explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
        end_ = bytes.size();
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == kEndOfFile) {
                end_ = i;
                break;
            }
    }

    bool run() {
        store_.reserve(LanguageFile::kStoreSize);
        bool inText = false;
        for (std::size_t i = 0; i < end_; ++i) {
            if (droppedCarriageReturn(i)) continue;
            const std::uint8_t b = bytes_[i];
            if (!inText) {
                if (b != kTextStart) continue;                        // translator's numbers and comments
                if (count_ == LanguageFile::kTextCount) return false; // a text too many
                start_[static_cast<std::size_t>(count_)] = static_cast<std::uint32_t>(store_.size());
                inText = true;
                continue;
            }
            if (b == kLineFeed) {
                store_.push_back('\0'); // room was kept when its characters were added
                ++count_;
                inText = false;
                continue;
            }
            // A 0x00 inside a text means its line feed is missing: the numbering is off from here.
            if (b == kTextStart) return false;
            if (b == kEscape && !escape(i)) return false;
            if (b != kEscape && !put(static_cast<char>(b))) return false;
        }
        // A text still open at the end never got its line feed and is incomplete.
        return count_ == LanguageFile::kTextCount;
    }

    std::string& store() { return store_; }
    const std::array<std::uint32_t, LanguageFile::kTextCount>& starts() const { return start_; }

  private:
    // Text-mode reading: a CR directly before an LF is not seen.
    bool droppedCarriageReturn(std::size_t i) const {
        return bytes_[i] == kCarriageReturn && i + 1 < end_ && bytes_[i + 1] == kLineFeed;
    }

    // Index of the next byte as text mode shows it, or end_.
    std::size_t nextVisible(std::size_t i) const {
        std::size_t j = i + 1;
        if (j < end_ && droppedCarriageReturn(j)) ++j;
        return j;
    }

    // Handles the backslash at i; advances i past a consumed partner character.
    bool escape(std::size_t& i) {
        const std::size_t j = nextVisible(i);
        if (j >= end_) return put('\\');
        const std::uint8_t next = bytes_[j];
        if (next == 'n') {
            i = j;
            return put('\n');
        }
        if (next == 't') {
            i = j;
            return put('\t');
        }
        // A line feed still ends the text and a 0x00 is still refused; the backslash stays.
        if (next == kLineFeed || next == kTextStart) return put('\\');
        i = j;
        return put('\\') && put(static_cast<char>(next));
    }

    // Every character needs room for itself and for its text's terminator.
    bool put(char c) {
        if (store_.size() + 2 > LanguageFile::kStoreSize) return false;
        store_.push_back(c);
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t end_ = 0;
    std::string store_;
    std::array<std::uint32_t, LanguageFile::kTextCount> start_{};
    int count_ = 0;
};

} // namespace

LanguageFile::Status LanguageFile::loadFromBytes(std::span<const std::uint8_t> bytes) {
    Parser parser(bytes);
    if (!parser.run()) return Status::Damaged;
    store_ = std::move(parser.store());
    start_ = parser.starts();
    loaded_ = true;
    return Status::Ok;
}

LanguageFile::Status LanguageFile::loadFromBytes(std::string_view bytes) {
    return loadFromBytes(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

LanguageFile::Status LanguageFile::load(const std::filesystem::path& file) {
    // Only a regular file: a FIFO or device named velora.lng must not block or feed start-up forever.
    const int fd = openRegularFileForReading(file.string(), kMaxFileSize);
    if (fd < 0) return errno == EFBIG ? Status::Damaged : Status::NotFound;
    std::unique_ptr<std::FILE, FileCloser> f(::fdopen(fd, "rb"));
    if (!f) {
        ::close(fd);
        return Status::NotFound;
    }
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 16384> chunk{};
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), f.get());
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
        if (bytes.size() > kMaxFileSize) return Status::Damaged;
        if (n < chunk.size()) break;
    }
    if (std::ferror(f.get())) return Status::NotFound; // e.g. a folder, or an I/O error
    return loadFromBytes(std::span<const std::uint8_t>(bytes));
}

std::string_view LanguageFile::text(int number) const {
    if (!loaded_ || number < 0 || number >= kTextCount) return {};
    const auto n = static_cast<std::size_t>(number);
    const std::size_t begin = start_[n];
    const std::size_t terminator =
        (n + 1 < start_.size() ? start_[n + 1] : static_cast<std::uint32_t>(store_.size())) - 1;
    return std::string_view(store_).substr(begin, terminator - begin);
}

std::optional<Message> LanguageFile::failureMessage(Status status) {
    if (status == Status::Ok) return std::nullopt;
    Message m;
    m.text = std::string(status == Status::NotFound ? kNotFoundText : kDamagedText);
    m.caption = std::string(kCaption);
    m.buttons = MsgButtons::Ok;
    m.icon = MsgIcon::Error;
    return m;
}

std::vector<std::filesystem::path> languageSearchFolders(const std::filesystem::path& programFolder,
                                                         const std::filesystem::path& currentFolder,
                                                         const std::filesystem::path& installFolder,
                                                         std::string_view searchPath) {
    std::vector<std::filesystem::path> folders;
    for (const auto* p : {&programFolder, &currentFolder, &installFolder})
        if (!p->empty()) folders.push_back(*p);
    while (!searchPath.empty()) {
        const std::size_t colon = searchPath.find(':');
        const std::string_view entry = searchPath.substr(0, colon);
        // An empty entry names the current folder, which has been searched already.
        if (!entry.empty()) folders.emplace_back(entry);
        if (colon == std::string_view::npos) break;
        searchPath.remove_prefix(colon + 1);
    }
    return folders;
}

std::optional<std::filesystem::path> findLanguageFile(std::span<const std::filesystem::path> folders) {
    for (const auto& folder : folders) {
        std::error_code ec;
        auto candidate = folder / LanguageFile::kFileName;
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> defaultLanguageSearchFolders(const std::filesystem::path& programFolder) {
    std::error_code ec;
    const auto current = std::filesystem::current_path(ec);
    // The installed data folder beside the program's bin folder, so that an installation moved to
    // another prefix still finds it; else the folder the build was configured to install into.
    std::filesystem::path install;
    if (!programFolder.empty()) {
        const auto beside = programFolder.parent_path() / "share" / "velora";
        std::error_code besideError;
        if (std::filesystem::is_directory(beside, besideError)) install = beside;
    }
#ifdef VELORA_INSTALL_DATADIR
    if (install.empty()) install = VELORA_INSTALL_DATADIR;
#endif
    const char* path = std::getenv("PATH");
    return languageSearchFolders(programFolder, ec ? std::filesystem::path() : current, install,
                                 path ? path : "");
}

std::optional<std::filesystem::path> findLanguageFile(const std::filesystem::path& programFolder) {
    const auto folders = defaultLanguageSearchFolders(programFolder);
    return findLanguageFile(std::span<const std::filesystem::path>(folders));
}

std::filesystem::path programFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

} // namespace velora
