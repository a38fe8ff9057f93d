#pragma once
// Small conversions every view needs between the core's byte strings and Qt widgets.
#include <QFont>
#include <QString>
#include <string>

class QMenu;
class QWidget;

namespace velora::gui {

// The core's texts are one byte per character (Latin-1), as the memory image holds them.
QString fromCore(const std::string& s);
// Back into the image's single-byte characters.
std::string toCore(const QString& s);
// Names a control by its numeric id ("ctl1038") for tests and help look-up.
void setControlId(QWidget* w, int id);
// `font` at the size of `like`: a fixed-pitch font beside a proportional one.
QFont sizedLike(QFont font, const QFont& like);

// Every item of the menu gets an access key of its own (the first holder of a letter keeps it).
void giveUniqueMnemonics(QMenu* menu);

} // namespace velora::gui
