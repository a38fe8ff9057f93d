// One undo and one redo on a full history (200 steps), and the per-action check that finds no change.
#include <benchmark/benchmark.h>

#include "dataset/DataSetInit.h"
#include "model/Document.h"
#include "dataset/UndoHistory.h"

namespace {

using namespace velora;

struct FullHistory {
    Document doc;
    UndoHistory history;

    FullHistory() {
        defaultInitialise(doc, true, false);
        history.reset(doc.image().working());
        for (std::size_t i = 0; i < UndoHistory::kDefaultDepth; ++i) {
            doc.image().working().main[0x100 + i] ^= 0x5A;
            history.record(doc.image().working(), "Channel 1-3 Receive Frequency");
        }
    }
};

void BM_UndoRedoStep(benchmark::State& state) {
    FullHistory h;
    for (auto _ : state) {
        h.history.undo(h.doc);
        h.history.redo(h.doc);
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_UndoRedoStep)->Unit(benchmark::kMicrosecond);

void BM_RecordWithoutChange(benchmark::State& state) {
    FullHistory h;
    for (auto _ : state)
        benchmark::DoNotOptimize(h.history.record(h.doc.image().working(), "none"));
}
BENCHMARK(BM_RecordWithoutChange)->Unit(benchmark::kMicrosecond);

void BM_RecordStep(benchmark::State& state) {
    FullHistory h;
    for (auto _ : state) {
        h.doc.image().working().main[0x800] ^= 0x01;
        h.history.record(h.doc.image().working(), "Channel 1-3 Receive Frequency");
    }
}
BENCHMARK(BM_RecordStep)->Unit(benchmark::kMicrosecond);

} // namespace
