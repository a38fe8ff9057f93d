#pragma once
#include <QDialog>

#include "base/TextSource.h"

namespace velora::gui {

// "About this FPU": texts 1 to 4 above a separator line, 5 and 6 below, OK.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    AboutDialog(const TextSource& texts, QWidget* parent);
};

} // namespace velora::gui
