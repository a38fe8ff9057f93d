// Channel store operations on a data set whose channel tables came from the fuzzer: the operations
// must not misbehave on broken tables, and once the tables are repaired (as a load repairs them)
// every operation keeps them sound.
#include <algorithm>
#include <iterator>

#include "FuzzSupport.h"
#include "channels/ChannelLayout.h"
#include "channels/ChannelRowBuffer.h"
#include "model/Layout.h"

using namespace velora;

namespace {

// Group table, channel list and the first records: where a broken file hurts.
void overwriteTables(Document& doc, fuzz::Input& in) {
    auto main = doc.image().working().main;
    auto put = [&](std::size_t at, std::size_t n) {
        auto b = in.take(n);
        std::copy(b.begin(), b.end(), doc.image().working().main.begin() + static_cast<long>(at));
    };
    put(layout::kGroupTable, 2 * chlayout::kGroups);
    put(layout::kChannelList, 2 * chlayout::kListPositions);
    put(layout::kChannelRecords, 64);
    (void)main;
}

void operate(ChannelStore& store, fuzz::Input& in, MessageBoxes& boxes) {
    const int op = in.byte() % 9;
    const int g = in.byte() % 162 - 1; // one past each end too
    const int c = in.byte() % 258 - 1;
    switch (op) {
    case 0: { // as the grid adds one: a new record that gets its receive frequency at once
        const int r = store.addChannel(g, c);
        if (r >= 0) {
            store.initNewRecord(r);
            const Byte rx[] = {0x00, 0x00, static_cast<Byte>(in.byte() & 0x99), 0x15};
            std::copy(std::begin(rx), std::end(rx), store.record(r).begin());
        }
        break;
    }
    case 1:
        store.deleteChannel(g, c);
        break;
    case 2:
        store.insertChannelNumber(g, c);
        break;
    case 3:
        store.removeChannelNumber(g, c);
        break;
    case 4:
        store.deleteGroup(g);
        break;
    case 5:
        store.copyGroup(g, in.byte() % 162 - 1);
        break;
    case 6:
        store.copyChannel(g, c, in.byte() % 162 - 1, in.byte() % 258 - 1);
        break;
    case 7: {
        grid::ChannelRowBuffer buffer;
        const int first = in.byte() % 260, last = first + in.byte() % 20;
        grid::copyChannelRows(buffer, store, in.byte() % 160, first, last);
        grid::pasteChannelRows(buffer, store, g, c, &boxes);
        break;
    }
    default:
        store.trimToNormalCapacity();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t mode = in.byte();
    auto doc = fuzz::defaultDocument(RunOptions{(mode & 1) != 0, false});
    doc->image().working().main[layout::kChannelRecords - 1] = mode; // nothing of note lives there
    overwriteTables(*doc, in);
    fuzz::Boxes boxes;
    ChannelStore store(*doc, boxes.texts);

    // Broken tables: the reads must stay inside the image whatever the tables claim.
    for (int g = 0; g < chlayout::kGroups; ++g)
        for (int c : store.channelNumbers(g))
            (void)store.channelRecord(g, c);
    (void)store.usedBytes();

    if (!store.validateTables()) store.rebuildTables();
    FUZZ_CHECK(store.validateTables());
    FUZZ_CHECK(!store.rebuildTables()); // sound tables are left as they are
    while (!in.empty()) {
        operate(store, in, boxes.boxes);
        FUZZ_CHECK(store.validateTables());
        FUZZ_CHECK(store.freeBytes() >= 0);
    }
    return 0;
}
