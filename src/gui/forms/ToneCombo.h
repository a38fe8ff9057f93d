#pragma once
// The editable tone list of the forms, the grids and the copy dialog: typed text goes through the
// tone character filter, and the list only offers, never completes.
#include <QStringList>

class QComboBox;
class QWidget;

namespace velora::gui {

class FilteredLineEdit;

// A combo box editing through `edit` (which it takes over) and offering `items`.
QComboBox* makeToneCombo(QWidget* parent, FilteredLineEdit* edit, const QStringList& items);

} // namespace velora::gui
