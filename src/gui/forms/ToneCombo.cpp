#include "forms/ToneCombo.h"

#include <QComboBox>

#include "forms/FilteredLineEdit.h"

namespace velora::gui {

QComboBox* makeToneCombo(QWidget* parent, FilteredLineEdit* edit, const QStringList& items) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setLineEdit(edit);
    // What is typed is what is converted: no completion from the list ("74" is not 74.4 Hz).
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    return combo;
}

} // namespace velora::gui
