#include "views/EditorRegistry.h"

namespace velora::gui {

QWidget* EditorRegistry::createEditor(int command, AppContext& ctx, EditorHost& frame) const {
    auto it = editors_.find(command);
    return it == editors_.end() ? nullptr : it->second(ctx, frame);
}

bool EditorRegistry::runCommand(int command, AppContext& ctx, EditorHost& frame) const {
    auto it = commands_.find(command);
    if (it == commands_.end()) return false;
    it->second(ctx, frame);
    return true;
}

} // namespace velora::gui
