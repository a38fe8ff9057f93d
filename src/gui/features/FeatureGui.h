#pragma once
// The feature editors' views (key assignment, function port, ...) as the main frame opens them.

namespace velora::gui {

class EditorRegistry;

void registerFeatureViews(EditorRegistry& registry);

} // namespace velora::gui
