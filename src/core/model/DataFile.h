#pragma once
// The data file: a 64-byte header ("VELORA", FF FF FF FF, "V2.10", model identification, 39 x FF)
// followed by the main, DTMF and extension areas. An older 50-byte header ("V01") is read too.
#include <cstddef>
#include <string>

#include "model/MemoryImage.h"

namespace velora {

namespace datafile {
inline constexpr std::size_t kHeaderSize = 64;
inline constexpr std::size_t kOldHeaderSize = 50;
inline constexpr std::size_t kFileSize =
    kHeaderSize + layout::kMainSize + layout::kDtmfSize + layout::kExtSize;
inline constexpr std::size_t kOldFileSize =
    kOldHeaderSize + layout::kMainSize + layout::kDtmfSize + layout::kExtSize;
} // namespace datafile

enum class DataFileStatus : int {
    Ok = 0,
    CannotOpen = 1,  // reader: cannot open or read; writer: cannot create or open for writing
    NotDataFile = 2, // wrong tag, unsupported model, or too short
    WriteError = 3,
};

struct DataFileResult {
    DataFileStatus status = DataFileStatus::Ok;
    int systemError = 0; // errno for writer statuses 1 and 3 (and reader status 1)
    bool ok() const { return status == DataFileStatus::Ok; }
};

// The system calls the writer goes through. Tests replace them to make a save fail at any step.
struct DataFileOps {
    long (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};
DataFileOps& dataFileOps();

// Current: the areas carry "V2.10" as their format version; AsIs: they are written exactly as they
// are (a copy kept as a radio sent it).
enum class VersionStamp { Current, AsIs };

// Writes the working copy atomically: a temporary file in the same folder is written, flushed,
// synced and renamed over the target, so a failed save leaves any previous file untouched.
// On success the working copy's format version becomes "V2.10" when the file carries it.
DataFileResult writeDataFile(MemoryImage& image, const std::string& path,
                             VersionStamp stamp = VersionStamp::Current);

// Reads a data file into the staging copy. Nothing is staged unless the whole file is sound.
DataFileResult readDataFile(MemoryImage& image, const std::string& path);

// The same checks on bytes already in memory (used by the file reader and by tests).
DataFileResult parseDataFile(MemoryImage& image, const Byte* data, std::size_t size);

} // namespace velora
