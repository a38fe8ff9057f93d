#pragma once
// The remote and the repeater channel list views: a grid of (group, channel) numbers typed in place.
// One class serves both lists; the remote view tells the user when no remote-select function is
// assigned.
#include "features/ChannelLists.h"
#include "features/GridFormView.h"

namespace velora::gui {

class CChannelListView : public GridFormView {
    Q_OBJECT
  public:
    using Kind = forms::ChannelListArea::Kind;
    CChannelListView(AppContext& ctx, EditorHost& frame, Kind kind);

    forms::ChannelListArea& listArea() { return static_cast<forms::ChannelListArea&>(area()); }
};

} // namespace velora::gui
