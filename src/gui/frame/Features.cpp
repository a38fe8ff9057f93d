#include "views/EditorRegistry.h"

#include "base/FrameCommands.h"
#include "channels/ChannelGui.h"
#include "comm/FleetDialog.h"
#include "comm/TestModeDialog.h"
#include "features/CTestFreqView.h"
#include "features/FeatureGui.h"
#include "frame/MemoryMapDialog.h"
#include "print/ReportPrinting.h"
#include "views/EditorHost.h"

namespace velora::gui {

// Editor views and feature dialogs register here, for example:
//   registry.addEditor(cmd::kChannelInfo, [](AppContext& c, EditorHost& f) { return new CChInfoView(c, f);
//   }); registry.addCommand(cmd::kTestMode, [](AppContext& c, EditorHost& f) { TestModeDialog(c, f).exec();
//   });
void registerFeatures(EditorRegistry& registry) {
    registerChannelViews(registry);
    registerFeatureViews(registry);
    registry.addCommand(cmd::kPrint,
                        [](AppContext& c, EditorHost& f) { runPrintCommand(c, f.hostWindow()); });
    registry.addCommand(cmd::kPrintPreview,
                        [](AppContext& c, EditorHost& f) { runPrintPreviewCommand(c, f.hostWindow()); });
    registry.addEditor(cmd::kTestFrequency,
                       [](AppContext& c, EditorHost& f) { return new CTestFreqView(c, f); });
    registry.addCommand(cmd::kMemoryMap, runMemoryMap);
    registry.addCommand(cmd::kTestMode, [](AppContext& c, EditorHost& f) { TestModeDialog::run(c, f); });
    registry.addCommand(cmd::kFleetProgramming,
                        [](AppContext& c, EditorHost& f) { FleetDialog(c, f).exec(); });
}

} // namespace velora::gui
