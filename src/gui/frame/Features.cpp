#include "views/EditorRegistry.h"

#include "base/FrameCommands.h"
#include "channels/ChannelGui.h"
#include "comm/TestModeDialog.h"
#include "features/CTestFreqView.h"
#include "features/FeatureGui.h"
#include "frame/MainFrame.h"
#include "frame/MemoryMapDialog.h"
#include "print/ReportPrinting.h"

namespace velora::gui {

// Editor views and feature dialogs register here, for example:
//   registry.addEditor(cmd::kChannelInfo, [](AppContext& c, MainFrame& f) { return new CChInfoView(c, f); });
//   registry.addCommand(cmd::kTestMode, [](AppContext& c, MainFrame& f) { TestModeDialog(c, f).exec(); });
void registerFeatures(EditorRegistry& registry) {
    registerChannelViews(registry);
    registerFeatureViews(registry);
    registry.addCommand(cmd::kPrint, [](AppContext& c, MainFrame& f) { runPrintCommand(c, &f); });
    registry.addCommand(cmd::kPrintPreview,
                        [](AppContext& c, MainFrame& f) { runPrintPreviewCommand(c, &f); });
    registry.addEditor(cmd::kTestFrequency,
                       [](AppContext& c, MainFrame& f) { return new CTestFreqView(c, f); });
    registry.addCommand(cmd::kMemoryMap, runMemoryMap);
    registry.addCommand(cmd::kTestMode, [](AppContext& c, MainFrame& f) { TestModeDialog::run(c, f); });
}

} // namespace velora::gui
