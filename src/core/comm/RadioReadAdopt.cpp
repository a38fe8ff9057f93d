// Kept apart from the transfer procedures so that linking them does not pull in the adoption code.
#include "comm/RadioTransfer.h"
#include "dataset/DataSetAdoption.h"
#include "dataset/DataSetAdoption.h"
#include "dataset/RadioHistory.h"

namespace velora::comm {

TransferOutcome readKeepingHistory(MemoryImage& image, RadioTransfer& transfer, MessageBoxes& boxes,
                                   HistoryResult* kept) {
    TransferOutcome out = transfer.read(image);
    if (!out.complete()) return out;
    // Before adoption: a radio this application did not prepare is replaced by defaults there, and
    // the history exists for exactly that case.
    HistoryResult r = keepReadInHistory(image.staging(), boxes.texts(), boxes);
    if (kept) *kept = std::move(r);
    return out;
}

TransferOutcome readAndAdopt(Document& doc, RadioTransfer& transfer, MessageBoxes& boxes,
                             AdoptResult* adopted, HistoryResult* kept) {
    TransferOutcome out = readKeepingHistory(doc.image(), transfer, boxes, kept);
    if (!out.complete()) return out;
    const AdoptResult r = adoptLoadedDataSet(doc, LoadOrigin::Radio, boxes);
    if (adopted) *adopted = r;
    return out;
}

} // namespace velora::comm
