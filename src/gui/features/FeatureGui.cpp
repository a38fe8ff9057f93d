#include "features/FeatureGui.h"

#include "app/FrameCommands.h"
#include "features/CFuncPortView.h"
#include "features/CKeyView.h"
#include "frame/EditorRegistry.h"

namespace velora::gui {

void registerFeatureViews(EditorRegistry& registry) {
    registry.addEditor(cmd::kKeyAssignment, [](AppContext& c, MainFrame& f) { return new CKeyView(c, f); });
    registry.addEditor(cmd::kFunctionPort,
                       [](AppContext& c, MainFrame& f) { return new CFuncPortView(c, f); });
}

} // namespace velora::gui
