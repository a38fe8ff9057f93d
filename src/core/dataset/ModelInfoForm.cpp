#include "dataset/ModelInfoForm.h"

namespace velora {

namespace {

constexpr int kModelLow = 0, kModelVhf = 1, kModelUhf = 2;

bool bandInGroup(int bandCode, int model) {
    if (bandCode < 0 || model < 0) return false;
    auto g = bandGroupOfCode(static_cast<std::uint8_t>(bandCode));
    return g && static_cast<int>(*g) == model;
}

int firstBandOf(int model) {
    for (const auto& b : kBands)
        if (static_cast<int>(b.group) == model) return b.code;
    return -1;
}

} // namespace

int modelOfGroup(std::optional<BandGroup> g) {
    return g ? static_cast<int>(*g) : -1;
}

ModelInfoForm::ModelInfoForm(const ModelIdentification& id) {
    c_.dualHead = id.isDualHead();
    c_.head1Type = id.headType(kHead1);
    rememberedHead2Type_ = id.headType(kHead2);
    c_.head2Type = c_.dualHead ? rememberedHead2Type_ : -1;
    c_.dualBand = id.isDualBand();
    c_.model1 = static_cast<int>(id.modelIndex(kModel1).value_or(kModelVhf));
    c_.band1 = id.bandCode(kModel1);
    if (!bandInGroup(c_.band1, c_.model1)) c_.band1 = firstBandOf(c_.model1);
    c_.board1 = id.optionBoard(kModel1);

    // A model 2 without a group is taken as UHF with no band chosen.
    rememberedModel2_ = modelOfGroup(id.bandGroup(kModel2));
    rememberedBand2_ = id.bandCode(kModel2);
    if (rememberedModel2_ < 0) {
        rememberedModel2_ = kModelUhf;
        rememberedBand2_ = -1;
    }
    rememberedBoard2_ = id.optionBoard(kModel2);
    // A loaded data set may name model 1's model for model 2 too; the dialog offers it as it would
    // on turning Dual Band on, so model 2 never shows a model that its list does not hold.
    if (c_.dualBand) chooseDualBand();
}

std::vector<ListItem> ModelInfoForm::model1Items() const {
    if (c_.dualBand && c_.model2 >= 0) return modelListExcept(static_cast<std::size_t>(c_.model2));
    return modelList();
}

std::vector<ListItem> ModelInfoForm::model2Items() const {
    return modelListExcept(static_cast<std::size_t>(c_.model1));
}

std::vector<ListItem> ModelInfoForm::band1Items(char sep) const {
    return bandList(static_cast<BandGroup>(c_.model1), sep);
}

std::vector<ListItem> ModelInfoForm::band2Items(char sep) const {
    if (c_.model2 < 0) return {};
    return bandList(static_cast<BandGroup>(c_.model2), sep);
}

void ModelInfoForm::chooseSingleHead() {
    if (c_.head2Type >= 0) rememberedHead2Type_ = c_.head2Type;
    c_.dualHead = false;
    c_.head2Type = -1;
}

void ModelInfoForm::chooseDualHead() {
    c_.dualHead = true;
    c_.head2Type = rememberedHead2Type_;
}

void ModelInfoForm::chooseSingleBand() {
    if (c_.model2 >= 0) {
        rememberedModel2_ = c_.model2;
        rememberedBand2_ = c_.band2;
        rememberedBoard2_ = c_.board2 >= 0 ? c_.board2 : 0;
    }
    c_.dualBand = false;
    c_.model2 = c_.band2 = c_.board2 = -1;
}

void ModelInfoForm::chooseDualBand() {
    c_.dualBand = true;
    int m2 = c_.model2 >= 0 ? c_.model2 : rememberedModel2_;
    int band2 = c_.model2 >= 0 ? c_.band2 : rememberedBand2_;
    if (m2 == c_.model1) {
        m2 = c_.model1 == kModelUhf ? kModelVhf : kModelUhf;
        band2 = -1;
    }
    c_.model2 = m2;
    c_.band2 = bandInGroup(band2, m2) ? band2 : firstBandOf(m2);
    c_.board2 = c_.board2 >= 0 ? c_.board2 : rememberedBoard2_;
}

void ModelInfoForm::chooseModel1(int modelIndex) {
    if (modelIndex < kModelLow || modelIndex > kModelUhf) return;
    c_.model1 = modelIndex;
    c_.band1 = firstBandOf(modelIndex);
}

void ModelInfoForm::chooseModel2(int modelIndex) {
    if (modelIndex < kModelLow || modelIndex > kModelUhf || !c_.dualBand) return;
    c_.model2 = modelIndex;
    c_.band2 = firstBandOf(modelIndex);
}

} // namespace velora
