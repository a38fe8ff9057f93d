// velora-cli report: the printed report as plain text.
#include <fstream>
#include <iostream>

#include "CliArgs.h"
#include "CliSession.h"
#include "base/Latin1.h"
#include "print/ReportLayout.h"
#include "print/TextRender.h"

namespace velora::cli {

int cmdReport(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"--sections", "-o"}, {"--landscape"});
    if (!a.ok() || a.positional().size() != 1) {
        printError(a.ok() ? "usage: velora-cli report FILE [--sections LIST] [--landscape] [-o OUT]"
                          : a.error());
        return kExitUsage;
    }
    if (!s.open(a.positional()[0])) return kExitFailure;
    print::ReportOptions options;
    options.selection = print::everySection(s.doc);
    if (auto list = a.value("--sections")) {
        std::string error;
        auto selection = print::parseSections(*list, s.doc, &error);
        if (!selection) {
            printError(error);
            return kExitUsage;
        }
        options.selection = *selection;
    }
    options.landscape = a.flag("--landscape");
    if (options.landscape) std::swap(options.width, options.height);
    options.stamp = print::headerStamp(print::reportTime());
    print::ReportLayout layout(s.doc, s.boxes);
    // The report holds the data set's single-byte text; what leaves the command line is UTF-8.
    const std::string text = latin1ToUtf8(print::renderText(layout.build(options)));
    if (auto out = a.value("-o")) {
        std::ofstream file(*out, std::ios::binary);
        if (!(file << text) || !file.flush()) {
            printError("cannot write " + *out);
            return kExitFailure;
        }
        return kExitOk;
    }
    std::cout << text;
    return kExitOk;
}

} // namespace velora::cli
