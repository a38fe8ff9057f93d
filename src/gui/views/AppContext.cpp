#include "views/AppContext.h"

#include <QStringList>

#include "model/ModelCatalogue.h"

namespace velora::gui {

QFont AppContext::defaultFixedFont() {
    // DejaVu Sans Mono is the fixed-pitch companion of the UI's DejaVu Sans, as tall to the eye; a
    // Courier at the same size reads a fifth smaller than the text beside it. Elsewhere the
    // desktop's own fixed-pitch face.
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    font.setPointSize(9);
    return font;
}

bool AppContext::dualBand() const {
    return identificationOf(doc.image()).isDualBand();
}

} // namespace velora::gui
