// velora-cli diff: two data files compared by meaning, with diff's exit status. FILE1 is the before
// side, FILE2 the after side; the first line of a difference says so.
#include <iostream>
#include <memory>

#include "CliArgs.h"
#include "CliSession.h"
#include "dataset/DataSetDiff.h"

namespace velora::cli {

namespace {
constexpr int kExitDiffer = 1;
constexpr int kExitTrouble = 2;
} // namespace

int cmdDiff(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {}, {});
    if (!a.ok() || a.positional().size() != 2) {
        printError(a.ok() ? "usage: velora-cli diff FILE1 FILE2" : a.error());
        return kExitTrouble;
    }
    // Both files are opened as the application opens them, each into its own session.
    auto other = std::make_unique<CliSession>(s.doc.options());
    if (!other->loadTexts() || !s.open(a.positional()[0]) || !other->open(a.positional()[1]))
        return kExitTrouble;
    const DataSetDiff diff = compareDataSets(s.doc, other->doc, s.texts, s.boxes);
    if (diff.empty()) return kExitOk;
    std::cout << sidesLine(a.positional()[0], a.positional()[1], s.texts) << '\n';
    for (const auto& line : diffLines(diff, s.texts))
        std::cout << line << '\n';
    return kExitDiffer;
}

} // namespace velora::cli
