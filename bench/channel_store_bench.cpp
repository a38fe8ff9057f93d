// Worst cases of the channel store on a full extended-mode pool, and a full grid refresh.
#include <benchmark/benchmark.h>

#include <string>

#include "channels/ChannelStore.h"
#include "model/Document.h"
#include "model/ModelCatalogue.h"

namespace {

using namespace velora;

class Texts : public TextSource {
  public:
    std::string_view text(int) const override { return "Off"; }
};

struct FullPool {
    Texts texts;
    Document doc{RunOptions{true, false}};
    ChannelStore store{doc, texts};

    // Group 0 holds n0 channels with frequencies, tones and names, group 1 the rest of the pool.
    explicit FullPool(int n0 = 254) {
        doc.image().reset();
        auto id = ModelIdentification::defaults();
        setIdentification(doc.image(), id);
        doc.codec().loadBandLimits(id);
        doc.image().main()[0x10] = 14;
        for (int i = 0; i < 255; ++i) {
            int g = i < n0 ? 0 : 1, c = i < n0 ? i : i - n0;
            std::string f = std::to_string(150 + c / 20) + "." + std::to_string(10000 + 625 * (c % 16));
            store.setChannelFieldText(f, g, c, ChannelField::RxFrequency, nullptr);
            store.setChannelFieldText(f, g, c, ChannelField::TxFrequency, nullptr);
            store.setChannelFieldText("D023N", g, c, ChannelField::Decode, nullptr);
            store.setChannelFieldText("CHANNEL " + std::to_string(c), g, c, ChannelField::Name, nullptr);
        }
    }
};

// Adding channel 1 of group 0 when group 0 holds 253 others: every entry above moves up.
void BM_AddChannelFullPool(benchmark::State& state) {
    FullPool p;
    p.store.deleteChannel(0, 0);
    for (auto _ : state) {
        int r = p.store.addChannel(0, 0);
        benchmark::DoNotOptimize(r);
        state.PauseTiming();
        p.store.record(r)[0] = 0; // the caller stores a frequency
        p.store.deleteChannel(0, 0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddChannelFullPool);

// Deleting the first channel of the full pool: every later entry moves down.
void BM_DeleteChannelFullPool(benchmark::State& state) {
    FullPool p;
    for (auto _ : state) {
        p.store.deleteChannel(0, 0);
        state.PauseTiming();
        int r = p.store.addChannel(0, 0);
        p.store.record(r)[0] = 0;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteChannelFullPool);

// Copying 127 channels onto a group of 128 in a full pool: 128 records freed, 127 filled, and
// the entries above the destination moved twice. The pause tops the pool up again.
void BM_CopyGroupFullPool(benchmark::State& state) {
    FullPool p(127);
    for (auto _ : state) {
        bool ok = p.store.copyGroup(1, 0);
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        p.store.setChannelFieldText("160.0", 1, 200, ChannelField::RxFrequency, nullptr);
        state.ResumeTiming();
    }
    if (p.store.freeBytes() != 0) state.SkipWithError("pool not full");
}
BENCHMARK(BM_CopyGroupFullPool)->Unit(benchmark::kMicrosecond);

// One full refresh of the channel grid: seven field texts for each of 254 rows.
void BM_GridRefresh254Rows(benchmark::State& state) {
    FullPool p;
    for (auto _ : state) {
        for (int c = 0; c < 254; ++c)
            for (int f = 0; f < kChannelFieldCount; ++f)
                benchmark::DoNotOptimize(p.store.channelFieldText(0, c, ChannelField(f)));
    }
}
BENCHMARK(BM_GridRefresh254Rows)->Unit(benchmark::kMicrosecond);

} // namespace
