#pragma once
// Every data set read from a radio is also kept as a data file in the radio history folder, named
// by the date, time and model of the read, so an earlier state of a radio can always be opened
// again. The folder holds a bounded number of reads; the oldest go first.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>

#include "base/Messenger.h"
#include "base/PortMap.h"
#include "base/TextSource.h"
#include "model/MemoryImage.h"

namespace velora {

inline constexpr std::size_t kRadioHistoryLimit = 100;
// Warning when a read could not be kept; %s is the reason.
inline constexpr int kTextHistoryFailed = 567;

// $XDG_DATA_HOME/velora/history when XDG_DATA_HOME is absolute, else ~/.local/share/velora/history;
// empty when neither is usable.
std::filesystem::path radioHistoryFolder(const settings::EnvLookup& env);

struct HistoryResult {
    std::filesystem::path file; // the file written
    std::string error;          // empty on success
    bool ok() const { return error.empty(); }
};

// "2024-05-01_134512_RM-420.dat": local date and time, then the model names.
std::string radioHistoryName(const ImageCopy& data, std::chrono::system_clock::time_point when);

// Writes `data` (a data set as read, byte for byte) into `folder`, creating it, under a name no
// other read has taken, then removes the oldest history files beyond `limit`. Only names of the
// exact form this function writes are counted or removed.
HistoryResult keepInRadioHistory(const ImageCopy& data, const std::filesystem::path& folder,
                                 std::chrono::system_clock::time_point when,
                                 std::size_t limit = kRadioHistoryLimit);

// What both programs do after a complete read: keep it in the user's history folder, and warn
// (never fail) when that was not possible.
HistoryResult keepReadInHistory(const ImageCopy& data, const TextSource& texts, MessageBoxes& boxes);

} // namespace velora
