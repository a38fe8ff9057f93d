#pragma once
// The Model Information dialog's form without its window: the configuration it shows, the choices
// its lists offer and how they react to each other.
#include <optional>
#include <vector>

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

// The model index of a band group as ModelConfig holds it; -1 for no group.
int modelOfGroup(std::optional<BandGroup> g);

} // namespace velora
