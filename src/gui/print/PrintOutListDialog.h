#pragma once
// "Print Out List": the sections to print, the group range of the channel information, and the
// buttons that set up, preview and print them (or, opened from File > Export as PDF, write them to
// a PDF).
#include <QDialog>
#include <map>

#include "print/ReportLayout.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace velora::gui {

struct AppContext;

class PrintOutListDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Mode { Print, ExportPdf };
    PrintOutListDialog(AppContext& ctx, Mode mode, QWidget* parent);

    // The checked sections and the range as the edits hold it now, clamped.
    print::Selection selection();
    QCheckBox* sectionBox(unsigned flag) const;
    QLineEdit* startEdit() const { return start_; }
    QLineEdit* endEdit() const { return end_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* previewButton() const { return preview_; }

  public slots:
    void clearAll();
    void selectAll();

  private:
    void boxClicked();
    void rangeEdited(bool startEdited);
    void updateButtons();
    void accepted();

    AppContext& ctx_;
    Mode mode_;
    std::map<unsigned, QCheckBox*> boxes_;
    QLineEdit* start_ = nullptr;
    QLineEdit* end_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* preview_ = nullptr;
    print::GroupRange range_;
};

} // namespace velora::gui
