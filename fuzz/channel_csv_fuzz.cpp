// A channel CSV file from anywhere (the program's own columns or a CHIRP-style list), imported into
// a default data set: an accepted file leaves sound channel tables, a refused one changes nothing.
#include <sstream>

#include "FuzzSupport.h"
#include "channels/ChannelCsvImport.h"

using namespace velora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t mode = in.byte();
    auto doc = fuzz::defaultDocument(RunOptions{(mode & 1) != 0, false});
    ChannelCsvOptions options;
    options.skipUnusable = (mode & 2) != 0;
    options.group = (mode >> 2) % 40 == 39 ? 159 : (mode >> 2) % 40;
    auto rest = in.rest();
    std::istringstream text(std::string(rest.begin(), rest.end()));

    fuzz::Boxes boxes;
    ChannelStore store(*doc, boxes.texts);
    const ImageCopy before = doc->image().working();
    const ChannelCsvResult r = importChannelCsv(text, "in.csv", store, boxes.boxes, options);
    if (r.ok) {
        fuzz::checkTables(*doc);
        FUZZ_CHECK(r.error.empty());
    } else {
        FUZZ_CHECK(doc->image().working() == before);
        FUZZ_CHECK(!r.error.empty());
    }
    return 0;
}
