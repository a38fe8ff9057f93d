#pragma once
// The language file: every user-visible text of the application, by number.
//
// Format: 8-bit text read in text mode (a CR directly before an LF is dropped). A text begins right
// after a 0x00 byte and ends at the next LF, which is not part of it; bytes between a text's LF and
// the next 0x00 are ignored (numbers or comments for the translator). Inside a text "\n" is a line
// break, "\t" a tab, and a backslash before any other character is kept together with it. The file
// ends at its end or at the first 0xFF byte. It must hold exactly kTextCount complete texts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Messenger.h"
#include "base/TextSource.h"

namespace velora {

class LanguageFile : public TextSource {
  public:
    enum class Status { Ok, NotFound, Damaged };

    static constexpr int kTextCount = 700;
    // Text characters plus one terminator per text.
    static constexpr std::size_t kStoreSize = 27800;
    static constexpr std::string_view kFileName = "velora.lng";

    static constexpr std::string_view kCaption = "VELORA";
    static constexpr std::string_view kNotFoundText =
        "Can't read language file.  Please install this software again.";
    static constexpr std::string_view kDamagedText =
        "Language file has been damaged.  Please install this software again.";

    // Reads and parses the file; a file that cannot be opened or read counts as NotFound.
    // On any failure the texts loaded before stay as they were.
    Status load(const std::filesystem::path& file);
    Status loadFromBytes(std::span<const std::uint8_t> bytes);
    Status loadFromBytes(std::string_view bytes);

    bool loaded() const { return loaded_; }
    std::string_view text(int number) const override;

    // The error box to show when loading failed (caption "VELORA", error icon); none for Ok.
    static std::optional<Message> failureMessage(Status status);

  private:
    std::string store_;                             // texts, each followed by a '\0'
    std::array<std::uint32_t, kTextCount> start_{}; // offset of each text in store_
    bool loaded_ = false;
};

// The folders searched for the language file, in order: the program's folder, the current folder,
// the installed data folder, then each folder of the search path (a ':'-separated list).
std::vector<std::filesystem::path> languageSearchFolders(const std::filesystem::path& programFolder,
                                                         const std::filesystem::path& currentFolder,
                                                         const std::filesystem::path& installFolder,
                                                         std::string_view searchPath);

// The first folder of the list holding a regular file named velora.lng.
std::optional<std::filesystem::path> findLanguageFile(std::span<const std::filesystem::path> folders);

// The search folders of this process: the program's folder, its current folder, the installed data
// folder and $PATH.
std::vector<std::filesystem::path> defaultLanguageSearchFolders(const std::filesystem::path& programFolder);

// findLanguageFile over defaultLanguageSearchFolders(programFolder).
std::optional<std::filesystem::path> findLanguageFile(const std::filesystem::path& programFolder);

// The folder of the running program (from /proc/self/exe); empty when it cannot be told.
std::filesystem::path programFolder();

} // namespace velora
