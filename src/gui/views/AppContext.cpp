#include "views/AppContext.h"

#include "model/ModelCatalogue.h"

namespace velora::gui {

bool AppContext::dualBand() const {
    return identificationOf(doc.image()).isDualBand();
}

} // namespace velora::gui
