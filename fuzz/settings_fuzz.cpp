// A settings file with anything in it: every value parses to itself or to its default, and what
// parses formats back to the same value.
#include <fstream>

#include "FuzzSupport.h"
#include "base/PortMap.h"
#include "base/SettingsValues.h"

using namespace velora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto cut = text.find('\n');
    const std::string_view a = text.substr(0, cut), b = cut == text.npos ? "" : text.substr(cut + 1);

    const int port = settings::parseComPort(a);
    FUZZ_CHECK(port >= settings::kMinComPort && port <= settings::kMaxComPort);
    (void)settings::parseComCloseDelay(a);
    if (auto id = settings::parseLastModel(a, b))
        FUZZ_CHECK(
            settings::parseLastModel(settings::formatLastModel(*id), settings::formatLastModel2(*id)) == id);
    if (auto p = settings::parseWindowPlacement(a))
        FUZZ_CHECK(settings::parseWindowPlacement(settings::formatWindowPlacement(*p)) == p);
    (void)settings::lastFilePathOr(a, "/default/");

    // The same bytes as a settings file on disk, read as start-up reads it.
    static const std::string path = fuzz::scratchPath("settings.conf");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const auto& [key, value] : settings::readIniGroup(path, "Ports"))
        (void)settings::parseComPort(value), (void)key;
    return 0;
}
