#pragma once
// The Model Information dialog: shows the core's ModelInfoForm and forwards every choice to it;
// OK hands the chosen configuration to the core's confirm-and-apply.
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QRadioButton>

#include "dataset/ModelInfoApply.h"
#include "dataset/ModelInfoForm.h"
#include "views/AppContext.h"

namespace velora::gui {

class ModelInfoDialog : public QDialog {
    Q_OBJECT
  public:
    ModelInfoDialog(AppContext& ctx, ModelChangeHost& host, QWidget* parent);
    const ModelApplyResult& applyResult() const { return result_; }
    const ModelInfoForm& form() const { return form_; }

    void accept() override;

  private:
    void showForm();
    void fill(QComboBox* box, const std::vector<ListItem>& items, int selected, bool enabled);
    QComboBox* combo(const char* name);

    AppContext& ctx_;
    ModelChangeHost& host_;
    ModelInfoForm form_;
    ModelApplyResult result_;
    bool updating_ = false;
    QRadioButton *singleHead_, *dualHead_, *singleBand_, *dualBand_;
    QComboBox *head1_, *head2_, *model1_, *band1_, *board1_, *model2_, *band2_, *board2_;
};

} // namespace velora::gui
