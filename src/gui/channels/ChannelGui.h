#pragma once
#include "forms/CoreBridge.h"
// What the channel editors share: the grid paste buffer, the commands that open the channel and
// group edit views, finding the open channel views, and telling other views to show a change.
#include <QString>
#include <string>

#include "channels/ChannelRowBuffer.h"

namespace velora::gui {

class EditorRegistry;
class EditorHost;
class CChInfoView;
class CChEditView;
class CGrEditView;

// Commands that open the channel and group edit views (the channel information view's buttons).
inline constexpr int kCmdChannelEditView = 32807;
inline constexpr int kCmdGroupEditView = 32806;

// The channel grid's paste buffer, shared by all groups; emptied when a new data set arrives.
grid::ChannelRowBuffer& channelPasteBuffer();

CChInfoView* findChInfoView(const EditorHost& frame);
CChEditView* findChEditView(const EditorHost& frame);
CGrEditView* findGrEditView(const EditorHost& frame);

// Shows a change in the open views named by forms::views bits.
void refreshOtherViews(EditorHost& frame, unsigned views);

void registerChannelViews(EditorRegistry& registry);

} // namespace velora::gui
