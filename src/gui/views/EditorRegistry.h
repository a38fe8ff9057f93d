#pragma once
// Which command opens which editor view, and which command runs which dialog of a later feature.
// A command with nothing registered stays in the menus and the tree, disabled.
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

namespace velora::gui {

struct AppContext;
class EditorHost;

class EditorRegistry {
  public:
    // Builds the view (its window title becomes the child frame's title).
    using EditorFactory = std::function<QWidget*(AppContext&, EditorHost&)>;
    using CommandHandler = std::function<void(AppContext&, EditorHost&)>;

    void addEditor(int command, EditorFactory f) { editors_[command] = std::move(f); }
    void addCommand(int command, CommandHandler h) { commands_[command] = std::move(h); }
    bool hasEditor(int command) const { return editors_.count(command) != 0; }
    bool hasCommand(int command) const { return commands_.count(command) != 0; }
    QWidget* createEditor(int command, AppContext& ctx, EditorHost& frame) const;
    bool runCommand(int command, AppContext& ctx, EditorHost& frame) const;
    std::vector<int> commands() const {
        std::vector<int> ids;
        for (const auto& [id, handler] : commands_)
            ids.push_back(id);
        return ids;
    }

  private:
    std::map<int, EditorFactory> editors_;
    std::map<int, CommandHandler> commands_;
};

// Registers every editor view and feature dialog that exists. Each feature adds its line here.
void registerFeatures(EditorRegistry& registry);

} // namespace velora::gui
