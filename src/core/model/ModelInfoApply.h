#pragma once
// The Model Information dialog without its window: the choices it offers and how they react to
// each other, what a chosen configuration means for the data set (and which question it needs),
// and how it is applied to the memory image.
#include <string>
#include <vector>

#include "app/Messenger.h"
#include "model/Document.h"
#include "model/ModelCatalogue.h"

namespace velora {

// The configuration as the dialog shows it. -1 means "no selection" in a list.
struct ModelConfig {
    bool dualHead = false;
    int head1Type = 0;
    int head2Type = -1;
    bool dualBand = false;
    int model1 = 1;
    int band1 = 4; // band code
    int board1 = 0;
    int model2 = -1;
    int band2 = -1;
    int board2 = -1;
    bool operator==(const ModelConfig&) const = default;
};

// The dialog's state and its reactions to the user's choices.
class ModelInfoForm {
  public:
    explicit ModelInfoForm(const ModelIdentification& id);

    const ModelConfig& config() const { return c_; }

    std::vector<ListItem> model1Items() const; // all models, or all but model 2's when dual band
    std::vector<ListItem> model2Items() const; // all but model 1's
    std::vector<ListItem> band1Items(char decimalSeparator = '.') const;
    std::vector<ListItem> band2Items(char decimalSeparator = '.') const; // empty when model 2 has none
    bool head2Enabled() const { return c_.dualHead; }
    bool model2Enabled() const { return c_.dualBand; }

    void chooseSingleHead();
    void chooseDualHead();
    void chooseSingleBand();
    void chooseDualBand();
    void chooseModel1(int modelIndex);
    void chooseModel2(int modelIndex);
    void chooseBand1(int bandCode) { c_.band1 = bandCode; }
    void chooseBand2(int bandCode) { c_.band2 = bandCode; }
    void chooseBoard1(int kind) { c_.board1 = kind; }
    void chooseBoard2(int kind) { c_.board2 = kind; }
    void chooseHead1Type(int type) { c_.head1Type = type; }
    void chooseHead2Type(int type) { c_.head2Type = type; }

  private:
    ModelConfig c_;
    int rememberedHead2Type_ = 0;
    int rememberedModel2_ = 2;
    int rememberedBand2_ = -1;
    int rememberedBoard2_ = 0;
};

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
