// A data file from anywhere: parsed, adopted, saved, and read back equal to what was adopted.
#include <unistd.h>

#include <cstring>

#include "FuzzSupport.h"
#include "model/DataFile.h"
#include "model/Layout.h"

using namespace velora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A byte past the longest layout picks the run mode, so both capacities see every file.
    const bool extended = size > datafile::kFileSize && (data[datafile::kFileSize] & 1);
    auto doc = fuzz::defaultDocument(RunOptions{extended, false});
    const ImageCopy workingBefore = doc->image().working();
    const ImageCopy stagingBefore = doc->image().staging();

    const DataFileResult r = parseDataFile(doc->image(), data, size);
    FUZZ_CHECK(r.status == DataFileStatus::Ok || r.status == DataFileStatus::NotDataFile);
    FUZZ_CHECK(doc->image().working() == workingBefore);
    if (!r.ok()) {
        FUZZ_CHECK(doc->image().staging() == stagingBefore);
        return 0;
    }

    fuzz::Boxes boxes;
    adoptLoadedDataSet(*doc, LoadOrigin::File, boxes.boxes);
    fuzz::checkTables(*doc);

    static const std::string path = fuzz::scratchPath("data.dat");
    const DataFileResult w = writeDataFile(doc->image(), path);
    FUZZ_CHECK(w.ok());
    Document back;
    back.image().reset();
    FUZZ_CHECK(readDataFile(back.image(), path).ok());
    ::unlink(path.c_str());
    FUZZ_CHECK(back.image().staging() == doc->image().working());
    return 0;
}
