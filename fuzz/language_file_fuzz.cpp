// A language file from anywhere: loads or is refused, and every text of a loaded one can be read.
#include "FuzzSupport.h"
#include "base/LanguageFile.h"

using namespace velora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LanguageFile file;
    const auto status = file.loadFromBytes(std::span<const std::uint8_t>(data, size));
    FUZZ_CHECK(status == LanguageFile::Status::Ok || status == LanguageFile::Status::Damaged);
    FUZZ_CHECK(file.loaded() == (status == LanguageFile::Status::Ok));
    std::size_t total = 0;
    for (int n = -1; n <= LanguageFile::kTextCount + 1; ++n)
        total += file.text(n).size();
    FUZZ_CHECK(total <= size);
    // A failed load keeps the texts loaded before.
    if (status == LanguageFile::Status::Ok) {
        const std::string first(file.text(1));
        const std::uint8_t junk[] = {0x00, 'x', '\n'};
        FUZZ_CHECK(file.loadFromBytes(std::span<const std::uint8_t>(junk, sizeof junk)) ==
                   LanguageFile::Status::Damaged);
        FUZZ_CHECK(file.text(1) == first);
    }
    return 0;
}
