// velora-cli fleet check / report, and the dispatch of `fleet`: one base data set, a manifest of
// radios each with its own values; `fleet write` lives with the other radio transfers.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>

#include "CliArgs.h"
#include "CliSession.h"
#include "base/Latin1.h"
#include "comm/FleetRun.h"
#include "dataset/DataSetDiff.h"
#include "dataset/FleetManifest.h"
#include "print/DeliverySheet.h"
#include "print/ReportLayout.h"
#include "print/TextRender.h"

namespace velora::cli {

namespace {

constexpr const char* kCheckUsage =
    "usage: velora-cli fleet check BASE.dat MANIFEST.csv [--allow-duplicates]";
constexpr const char* kReportUsage =
    "usage: velora-cli fleet report LOG.csv [--customer NAME] [--base BASE.dat] [-o OUT]";

std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

int cmdFleetCheck(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {}, {"--allow-duplicates"});
    if (!a.ok() || a.positional().size() != 2) {
        printError(a.ok() ? kCheckUsage : a.error());
        return kExitUsage;
    }
    const std::string& basePath = a.positional()[0];
    const std::string& manifestPath = a.positional()[1];
    auto manifest = readFleetManifest(manifestPath, s.texts);
    if (!manifest || !s.open(basePath)) return kExitFailure;
    const bool allowDuplicates = a.flag("--allow-duplicates");
    const comm::FleetCheck check =
        comm::checkFleet(*manifest, s.doc, s.texts, {nullptr, allowDuplicates, true});
    for (std::size_t r = 0; r < manifest->rows.size(); ++r) {
        const auto& mr = manifest->rows[r];
        const auto& row = check.rows[r];
        s.messenger.context = manifestPath + ": line " + std::to_string(mr.line);
        for (const auto& m : row.messages)
            s.messenger.show(m);
        std::cout << formatText(s.texts.text(fleet::kTextLine),
                                {std::to_string(mr.line), "'" + mr.label + "'"})
                  << '\n';
        if (row.build.refusal) {
            std::cout << "  refused: " << *row.build.refusal << '\n';
            continue;
        }
        for (const auto& c : row.build.changed)
            std::cout << "  changed: " << c << '\n';
        const DataSetDiff diff = compareDataSets(s.doc, *row.doc, s.texts, s.boxes);
        for (const auto& l : diffLines(diff, s.texts))
            std::cout << "  " << l << '\n';
    }
    s.messenger.context.clear();
    const std::size_t refused = check.refusedRows();
    const auto& duplicates = check.duplicates;
    for (const auto& d : duplicates)
        std::cout << (allowDuplicates ? "note: " : "refused: ") << d << '\n';
    std::cout << std::flush;
    if (refused > 0)
        printError(std::to_string(refused) + " of " + std::to_string(check.rows.size()) + " rows refused");
    if (!duplicates.empty() && !allowDuplicates)
        printError("two radios would share a value that must be unique in a fleet; --allow-duplicates "
                   "accepts it");
    return check.passed() ? kExitOk : kExitFailure;
}

int cmdFleetReport(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"-o", "--customer", "--base"}, {});
    if (!a.ok() || a.positional().size() != 1) {
        printError(a.ok() ? kReportUsage : a.error());
        return kExitUsage;
    }
    const auto out = a.value("-o");
    // The sheet leaves here as text; a file named as a PDF would not hold one.
    if (out && out->size() >= 4 && lowered(out->substr(out->size() - 4)) == ".pdf") {
        printError("velora-cli writes the delivery sheet as text; Print Delivery Sheet in the application's "
                   "Fleet Programming dialog prints it or writes a PDF");
        return kExitUsage;
    }
    std::ifstream in(a.positional()[0]);
    if (!in) {
        printError("cannot open " + a.positional()[0]);
        return kExitFailure;
    }
    print::DeliveryHead head;
    if (auto c = a.value("--customer")) head.customer = *c;
    head.date = print::deliveryDate(print::reportTime());
    if (auto base = a.value("--base")) {
        if (!s.open(*base)) return kExitFailure;
        print::describeBase(head, s.doc);
    }
    // The page holds the single-byte text of the printed sheet; what leaves the command line is UTF-8.
    const std::string text =
        latin1ToUtf8(print::renderText(print::deliverySheet(head, fleet::readLog(in), s.texts)));
    if (out) {
        std::ofstream f(*out, std::ios::binary);
        if (!(f << text) || !f.flush()) {
            printError("cannot write " + *out);
            return kExitFailure;
        }
        return kExitOk;
    }
    std::cout << text;
    return kExitOk;
}

} // namespace

std::optional<fleet::Manifest> readFleetManifest(const std::string& path, const TextSource& texts) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        printError("cannot open " + path);
        return std::nullopt;
    }
    std::string error;
    auto m = fleet::readManifest(in, texts, error);
    if (!m) printError(path + ": " + error);
    return m;
}

int cmdFleet(CliSession& s, const std::vector<std::string>& args) {
    const std::string sub = args.empty() ? "" : args[0];
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (sub == "check") return cmdFleetCheck(s, rest);
    if (sub == "write") return cmdFleetWrite(s, rest);
    if (sub == "report") return cmdFleetReport(s, rest);
    printError("usage: velora-cli fleet check|write|report ... (see --help)");
    return kExitUsage;
}

} // namespace velora::cli
