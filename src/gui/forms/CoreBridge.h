#pragma once
// Small conversions every view needs between the core's byte strings and Qt widgets.
#include <QString>
#include <string>

class QMenu;
class QWidget;

namespace velora::gui {

// Language texts are UTF-8 where valid; texts from the memory image are single bytes (Latin-1).
QString fromCore(const std::string& s);
// Back into the image's single-byte characters.
std::string toCore(const QString& s);
// Names a control by its numeric id ("ctl1038") for tests and help look-up.
void setControlId(QWidget* w, int id);
// Every item of the menu gets an access key of its own (the first holder of a letter keeps it).
void giveUniqueMnemonics(QMenu* menu);

} // namespace velora::gui
