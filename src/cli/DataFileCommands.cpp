// velora-cli new and info.
#include <iostream>

#include "CliArgs.h"
#include "CliSession.h"
#include "channels/ChannelStore.h"
#include "dataset/DataSetInit.h"
#include "model/ModelCatalogue.h"

namespace velora::cli {

int cmdNew(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {"-o"}, {});
    auto out = a.value("-o");
    if (!a.ok() || !out || !a.positional().empty()) {
        printError(a.ok() ? "usage: velora-cli new -o FILE" : a.error());
        return kExitUsage;
    }
    // The data set the application starts with: the default model, fresh defaults.
    s.doc.image().reset();
    defaultInitialise(s.doc, true, true);
    s.doc.image().markSaved();
    if (!s.save(*out)) return kExitFailure;
    std::cout << "created " << *out << '\n';
    return kExitOk;
}

int cmdInfo(CliSession& s, const std::vector<std::string>& args) {
    CliArgs a(args, {}, {});
    if (!a.ok() || a.positional().size() != 1) {
        printError(a.ok() ? "usage: velora-cli info FILE" : a.error());
        return kExitUsage;
    }
    const std::string& path = a.positional()[0];
    if (!s.open(path)) return kExitFailure;

    const auto& main = s.doc.image().main();
    const ModelIdentification id = identificationOf(s.doc.image());
    const TextSource& t = s.texts;
    auto board = [&](int model) { return std::string(t.text(id.optionBoardText(model))); };
    auto head = [&](int h) { return std::string(t.text(id.headTypeText(h))); };

    std::cout << "File:           " << path << '\n'
              << "Format version: " << fixedText(main, layout::kFormatVersion, layout::kVersionText.size())
              << '\n'
              << "Title:          " << dataSetTitle(id) << '\n'
              << "Model 1:        " << modelAndBandName(id, kModel1) << '\n'
              << "Option board 1: " << board(kModel1) << '\n';
    if (id.isDualBand())
        std::cout << "Model 2:        " << modelAndBandName(id, kModel2) << '\n'
                  << "Option board 2: " << board(kModel2) << '\n';
    std::cout << "Bands:          " << (id.isDualBand() ? "dual band" : "single band") << '\n'
              << "Heads:          " << (id.isDualHead() ? "dual head" : "single head")
              << " (head 1: " << head(kHead1);
    if (id.isDualHead()) std::cout << ", head 2: " << head(kHead2);
    std::cout << ")\n";

    ChannelStore store(s.doc, s.texts);
    int groups = 0, channels = 0;
    for (int g = 0; g < 160; ++g) {
        if (!store.groupUsed(g)) continue;
        ++groups;
        channels += static_cast<int>(store.channelNumbers(g).size());
    }
    std::cout << "Groups used:    " << groups << '\n'
              << "Channels:       " << channels << " of " << store.totalLimit() << '\n'
              << "Free area:      " << store.freeBytes() << " bytes\n";
    return kExitOk;
}

} // namespace velora::cli
