// velora-cli channels export / import: the channel grid as CSV, in the program's own columns or as a
// CHIRP-style list. The reading and writing are the core's, shared with the application.
#include <fstream>
#include <iostream>
#include <optional>

#include "CliArgs.h"
#include "CliSession.h"
#include "base/InputFile.h"
#include "channels/ChannelCsvImport.h"
#include "channels/ChannelStore.h"
#include "channels/ChirpCsv.h"

namespace velora::cli {

namespace {

constexpr char kUsage[] = "usage: velora-cli channels export FILE [--format velora|chirp] [--group N]\n"
                          "       velora-cli channels import FILE CSV [--group N] [--skip-unusable] [-o OUT]";

// "--group N": 1 to 160, 1 when not given.
std::optional<int> groupOption(const CliArgs& a) {
    const std::string text = a.value("--group").value_or("1");
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int g = std::stoi(text);
    if (g < 1 || g > 160) return std::nullopt;
    return g - 1;
}

} // namespace

static int exportChannels(CliSession& s, const std::string& path, const std::string& format, int group) {
    if (!s.open(path)) return kExitFailure;
    ChannelStore store(s.doc, s.texts);
    if (format == "chirp")
        writeChirpCsv(std::cout, store, s.boxes, group);
    else
        writeChannelCsv(std::cout, store, s.boxes);
    return kExitOk;
}

static int importChannels(CliSession& s, const std::string& path, const std::string& csvPath,
                          const std::string& out, const ChannelCsvOptions& options) {
    // A folder, FIFO, device or huge file is refused before a read could block or never end.
    if (const int err = regularFileError(csvPath, kMaxCsvFileSize); err != 0) {
        printError("cannot read " + csvPath + ": " + regularFileErrorText(err));
        return kExitFailure;
    }
    std::ifstream in(csvPath);
    if (!in) {
        printError("cannot read " + csvPath);
        return kExitFailure;
    }
    if (!s.open(path)) return kExitFailure;
    ChannelStore store(s.doc, s.texts);
    const ChannelCsvResult result = importChannelCsv(in, csvPath, store, s.boxes, options);
    for (const auto& row : result.unusable)
        std::cerr << "velora-cli: " << (result.ok ? "skipped: " : "error: ") << row << '\n';
    if (!result.ok) {
        printError(result.error +
                   (result.unusable.empty() ? "" : " (--skip-unusable imports the other rows)"));
        return kExitFailure;
    }
    if (!s.save(out)) return kExitFailure;
    for (const auto& channel : result.deleted)
        std::cerr << "velora-cli: deleted from group " << options.group + 1
                  << ", not in the list: " << channel << '\n';
    std::cerr << "velora-cli: imported " << result.rows << " row(s) into " << out << '\n';
    return kExitOk;
}

int cmdChannels(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"-o", "--format", "--group"}, {"--skip-unusable"});
    const auto& p = a.positional();
    const auto group = groupOption(a);
    const std::string format = a.value("--format").value_or("velora");
    const bool formatOk = format == "velora" || format == "chirp";
    if (a.ok() && group && formatOk && p.size() == 2 && p[0] == "export" && !a.value("-o") &&
        !a.flag("--skip-unusable"))
        return exportChannels(s, p[1], format, *group);
    if (a.ok() && group && p.size() == 3 && p[0] == "import" && !a.value("--format")) {
        ChannelCsvOptions options;
        options.group = *group;
        options.skipUnusable = a.flag("--skip-unusable");
        return importChannels(s, p[1], p[2], a.value("-o").value_or(p[1]), options);
    }
    if (!a.ok())
        printError(a.error());
    else if (!group)
        printError("--group takes a group number 1 to 160");
    else if (!formatOk)
        printError("--format takes velora or chirp");
    else
        printError(kUsage);
    return kExitUsage;
}

} // namespace velora::cli
