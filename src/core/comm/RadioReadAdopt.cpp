// Kept apart from the transfer procedures so that linking them does not pull in the adoption code.
#include "comm/RadioTransfer.h"
#include "dataset/DataSetAdoption.h"

namespace velora::comm {

TransferOutcome readAndAdopt(Document& doc, RadioTransfer& transfer, MessageBoxes& boxes,
                             AdoptResult* adopted) {
    TransferOutcome out = transfer.read(doc.image());
    if (!out.complete()) return out;
    const AdoptResult r = adoptLoadedDataSet(doc, LoadOrigin::Radio, boxes);
    if (adopted) *adopted = r;
    return out;
}

} // namespace velora::comm
