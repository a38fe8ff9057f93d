#pragma once
// The model change the Model Information dialog asks for: what a chosen configuration means for the
// data set (and which question it needs), how it is confirmed and how it is applied to the memory image.
#include <string>

#include "base/Messenger.h"
#include "dataset/ModelInfoForm.h"
#include "model/Document.h"
#include "model/ModelCatalogue.h"

namespace velora {

// What a change means. Bands and option boards alone are kind None.
enum ModelChangeKind : unsigned {
    kModelChangeNone = 0,
    kModelChangeReinitialise = 1u << 0,
    kModelChangeHeadCount = 1u << 1,
    kModelChangeHeadType = 1u << 2,
};

struct ModelChangePlan {
    unsigned kind = kModelChangeNone;
    std::string question; // empty: apply without asking
};

ModelChangePlan planModelChange(const ModelIdentification& current, const ModelConfig& chosen,
                                const TextSource& texts);

struct ModelApplyResult {
    unsigned kind = kModelChangeNone;
    bool discardClipboard = false; // the grid clipboard buffers no longer fit the data set
};

// Writes the chosen configuration into the data set (the dialog's Apply steps after the editors are
// closed). A re-initialised data set is marked saved; any other change leaves the modified state to
// the modification test, so edits made before are still offered for saving.
ModelApplyResult applyModelChange(Document& doc, const TextSource& texts, const ModelConfig& chosen,
                                  unsigned kind);

class ModelChangeHost {
  public:
    virtual ~ModelChangeHost() = default;
    // Offers to save a modified data set before it is replaced; false stops the change.
    virtual bool confirmDiscard() = 0;
    virtual void closeAllEditors() = 0;
};

enum class ModelOkOutcome { Applied, Cancelled };

// OK of the dialog: plan, ask, (for a fresh data set) confirm discarding the current one, apply.
// Cancelled leaves the dialog open and the data set untouched.
ModelOkOutcome confirmModelChange(Document& doc, MessageBoxes& boxes, const ModelConfig& chosen,
                                  ModelChangeHost& host, ModelApplyResult* result = nullptr);

} // namespace velora
