// The printed report of a full extended-mode data set (255 channels) with every section: building
// the page description and rendering it as text.
#include <benchmark/benchmark.h>

#include <string>

#include "base/LanguageFile.h"
#include "channels/ChannelStore.h"
#include "dataset/DataSetInit.h"
#include "print/ReportLayout.h"
#include "print/TextRender.h"

namespace {

using namespace velora;

struct Silent : Messenger {
    MsgAnswer show(const Message&) override { return MsgAnswer::Ok; }
};

struct FullReport {
    LanguageFile texts;
    Silent messenger;
    MessageBoxes boxes{messenger, texts};
    Document doc{RunOptions{true, false}};

    FullReport() {
        texts.load(std::string(VELORA_SOURCE_DATA) + "/velora.lng");
        defaultInitialise(doc, true, false);
        ChannelStore store(doc, texts);
        for (int i = 0; i < 255; ++i) {
            const int g = i < 254 ? 0 : 1, c = i < 254 ? i : 0;
            std::string f = std::to_string(150 + c / 20) + "." + std::to_string(10000 + 625 * (c % 16));
            store.setChannelFieldText(f, g, c, ChannelField::RxFrequency, nullptr);
            store.setChannelFieldText(f, g, c, ChannelField::TxFrequency, nullptr);
            store.setChannelFieldText("D023N", g, c, ChannelField::Decode, nullptr);
            store.setChannelFieldText("CH " + std::to_string(c), g, c, ChannelField::Name, nullptr);
        }
    }
    print::ReportOptions options() const {
        print::ReportOptions o;
        o.selection = print::everySection(doc);
        o.stamp = "01/01/70 00:00:00";
        return o;
    }
};

void BM_BuildReport(benchmark::State& state) {
    FullReport r;
    std::size_t pages = 0;
    for (auto _ : state) {
        print::ReportLayout layout(r.doc, r.boxes);
        auto d = layout.build(r.options());
        pages = d.pages.size();
        benchmark::DoNotOptimize(d);
    }
    state.counters["pages"] = double(pages);
}
BENCHMARK(BM_BuildReport)->Unit(benchmark::kMillisecond);

void BM_RenderText(benchmark::State& state) {
    FullReport r;
    print::ReportLayout layout(r.doc, r.boxes);
    const auto d = layout.build(r.options());
    for (auto _ : state)
        benchmark::DoNotOptimize(print::renderText(d));
}
BENCHMARK(BM_RenderText)->Unit(benchmark::kMillisecond);

} // namespace
