// `velora-cli set`: fuzzed text committed to fields chosen from the fields list of a default data
// set, several in a row, each through the same path as the command.
#include "FuzzSupport.h"
#include "features/FieldAccess.h"

using namespace velora;

namespace {

const std::vector<std::string>& keys() {
    static const std::vector<std::string> all = [] {
        auto doc = fuzz::defaultDocument();
        fuzz::Boxes boxes;
        forms::FieldAccess access(*doc, boxes.boxes);
        std::vector<std::string> out;
        for (const auto& f : access.fields())
            out.push_back(f.key);
        return out;
    }();
    return all;
}

} // namespace

// Input: records of [key index (2 bytes)][length][text], applied in order; the last key may also
// be given as raw text when the first byte is 0xFF, so unknown keys are tried too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& all = keys();
    fuzz::Input in(data, size);
    auto doc = fuzz::defaultDocument(RunOptions{(size & 1) != 0, false});
    fuzz::Boxes boxes;
    forms::FieldAccess access(*doc, boxes.boxes);
    for (int step = 0; step < 8 && !in.empty(); ++step) {
        std::string key;
        if (in.byte() == 0xFF) {
            auto raw = in.take(in.byte() % 40);
            key.assign(raw.begin(), raw.end());
        } else {
            key = all[static_cast<std::size_t>(in.number(static_cast<int>(all.size())))];
        }
        auto raw = in.take(in.byte());
        const std::string text(raw.begin(), raw.end());
        const ImageCopy before = doc->image().working();
        const auto refusal = access.set(key, text);
        if (refusal) FUZZ_CHECK(doc->image().working() == before);
        fuzz::checkTables(*doc);
        // The field still shows a text, whatever was committed.
        if (auto entry = access.find(key)) FUZZ_CHECK(entry->key == key);
    }
    return 0;
}
