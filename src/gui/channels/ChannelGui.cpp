#include "channels/ChannelGui.h"

#include <QMdiSubWindow>

#include "base/FrameCommands.h"
#include "channels/CChEditView.h"
#include "channels/CChInfoView.h"
#include "channels/CGrEditView.h"
#include "forms/FieldTypes.h"
#include "views/EditorHost.h"
#include "views/EditorRegistry.h"
#include "views/EditorView.h"

namespace velora::gui {

grid::ChannelRowBuffer& channelPasteBuffer() {
    static grid::ChannelRowBuffer buffer;
    return buffer;
}

namespace {
template <typename View> View* findView(const EditorHost& frame, int command) {
    QMdiSubWindow* w = frame.editorWindow(command);
    return w ? qobject_cast<View*>(w->widget()) : nullptr;
}
} // namespace

CChInfoView* findChInfoView(const EditorHost& frame) {
    return findView<CChInfoView>(frame, cmd::kChannelInfo);
}
CChEditView* findChEditView(const EditorHost& frame) {
    return findView<CChEditView>(frame, kCmdChannelEditView);
}
CGrEditView* findGrEditView(const EditorHost& frame) {
    return findView<CGrEditView>(frame, kCmdGroupEditView);
}

void refreshOtherViews(EditorHost& frame, unsigned views) {
    namespace v = forms::views;
    static constexpr std::pair<unsigned, int> kViews[] = {
        {v::kChannelInfo, cmd::kChannelInfo},   {v::kChannelEdit, kCmdChannelEditView},
        {v::kGroupEdit, kCmdGroupEditView},     {v::kRemoteList, cmd::kRemoteList},
        {v::kRepeaterList, cmd::kRepeaterList}, {v::kOptionalFeatures, cmd::kOptionalFeatures},
        {v::kScanInfo, cmd::kScanInfo},         {v::kEmergency, cmd::kEmergency},
        {v::kOperatorTone, cmd::kOst},          {v::kKeys, cmd::kKeyAssignment},
        {v::kFunctionPort, cmd::kFunctionPort}, {v::kDtmf, cmd::kDtmf},
    };
    for (auto [bit, command] : kViews) {
        if (!(views & bit)) continue;
        if (QMdiSubWindow* w = frame.editorWindow(command))
            if (auto* view = dynamic_cast<EditorView*>(w->widget())) view->refreshFromImage();
    }
}

void registerChannelViews(EditorRegistry& registry) {
    registry.addEditor(cmd::kChannelInfo, [](AppContext& c, EditorHost& f) { return new CChInfoView(c, f); });
    registry.addEditor(kCmdChannelEditView, [](AppContext& c, EditorHost& f) -> QWidget* {
        // The channel edit view follows the grid and exists only beside it.
        return findChInfoView(f) ? new CChEditView(c, f) : nullptr;
    });
    registry.addEditor(kCmdGroupEditView, [](AppContext& c, EditorHost& f) -> QWidget* {
        return findChInfoView(f) ? new CGrEditView(c, f) : nullptr;
    });
}

} // namespace velora::gui
