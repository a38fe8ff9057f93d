#include "channels/ChannelGui.h"

#include <QMdiSubWindow>

#include "app/FrameCommands.h"
#include "channels/ChEditView.h"
#include "channels/ChInfoView.h"
#include "channels/GrEditView.h"
#include "features/FieldTypes.h"
#include "frame/EditorRegistry.h"
#include "frame/EditorView.h"
#include "frame/MainFrame.h"

namespace velora::gui {

grid::ChannelRowBuffer& channelPasteBuffer() {
    static grid::ChannelRowBuffer buffer;
    return buffer;
}

namespace {
template <typename View> View* findView(const MainFrame& frame, int command) {
    QMdiSubWindow* w = frame.editorWindow(command);
    return w ? qobject_cast<View*>(w->widget()) : nullptr;
}
} // namespace

ChInfoView* findChInfoView(const MainFrame& frame) {
    return findView<ChInfoView>(frame, cmd::kChannelInfo);
}
ChEditView* findChEditView(const MainFrame& frame) {
    return findView<ChEditView>(frame, kCmdChannelEditView);
}
GrEditView* findGrEditView(const MainFrame& frame) {
    return findView<GrEditView>(frame, kCmdGroupEditView);
}

void refreshOtherViews(MainFrame& frame, unsigned views) {
    namespace v = forms::views;
    static constexpr std::pair<unsigned, int> kViews[] = {
        {v::kChannelInfo, cmd::kChannelInfo},   {v::kChannelEdit, kCmdChannelEditView},
        {v::kGroupEdit, kCmdGroupEditView},     {v::kRemoteList, cmd::kRemoteList},
        {v::kRepeaterList, cmd::kRepeaterList}, {v::kOptionalFeatures, cmd::kOptionalFeatures},
        {v::kScanInfo, cmd::kScanInfo},         {v::kEmergency, cmd::kEmergency},
        {v::kOperatorTone, cmd::kOst},          {v::kKeys, cmd::kKeyAssignment},
        {v::kFunctionPort, cmd::kFunctionPort},
    };
    for (auto [bit, command] : kViews) {
        if (!(views & bit)) continue;
        if (QMdiSubWindow* w = frame.editorWindow(command))
            if (auto* view = dynamic_cast<EditorView*>(w->widget())) view->refreshFromImage();
    }
}

void registerChannelViews(EditorRegistry& registry) {
    registry.addEditor(cmd::kChannelInfo, [](AppContext& c, MainFrame& f) { return new ChInfoView(c, f); });
    registry.addEditor(kCmdChannelEditView, [](AppContext& c, MainFrame& f) -> QWidget* {
        // The channel edit view follows the grid and exists only beside it.
        return findChInfoView(f) ? new ChEditView(c, f) : nullptr;
    });
    registry.addEditor(kCmdGroupEditView, [](AppContext& c, MainFrame& f) -> QWidget* {
        return findChInfoView(f) ? new GrEditView(c, f) : nullptr;
    });
}

} // namespace velora::gui
