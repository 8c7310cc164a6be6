#include "tools/tessauto/MainWindow.h"

#include "tools/tessauto/Text.h"

namespace tessauto {

namespace {

// Control ids of the main window, in the order it creates them.
constexpr int kFolderField = 105;
constexpr int kStartButton = 115;
constexpr struct {
    int id;
    bool ShortcutChoice::*wanted;
    const char* letter;
} kShortcutBoxes[] = {
    {111, &ShortcutChoice::desktop, "d"},
    {112, &ShortcutChoice::startMenu, "s"},
    {113, &ShortcutChoice::startUp, "u"},
    {114, &ShortcutChoice::sendTo, "t"},
};
constexpr char kStartSuffix[] = "開始(&S)";

const winauto::ControlInfo* control(const winauto::WindowInfo& window, int id)
{
    for (const winauto::ControlInfo& each : window.controls)
        if (each.id == id) return &each;
    return nullptr;
}

bool usable(const winauto::ControlInfo* each) { return each && each->visible && each->enabled; }

} // namespace

bool IsInstallStartPage(const winauto::WindowInfo& window)
{
    if (Lowered(window.className) != "tfrmmain") return false;
    const winauto::ControlInfo* start = control(window, kStartButton);
    const std::string suffix = kStartSuffix;
    return usable(start) && start->text.size() >= suffix.size() &&
           start->text.compare(start->text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

Settings SettingsFor(const winauto::WindowInfo& window, const std::optional<std::string>& folder,
                     const std::optional<ShortcutChoice>& options)
{
    Settings settings;
    if (folder) {
        const winauto::ControlInfo* field = control(window, kFolderField);
        if (!usable(field) || field->readonly) {
            settings.problem = "the script does not let the install folder be changed";
            return settings;
        }
        settings.actions.push_back({Action::Verb::SetText, kFolderField, *folder});
    }
    if (options) {
        for (const auto& box : kShortcutBoxes) {
            const winauto::ControlInfo* check = control(window, box.id);
            const bool wanted = (*options).*box.wanted;
            if (check && check->checked && (*check->checked != 0) == wanted) continue;
            if (!usable(check)) {
                settings.problem = std::string("the script does not let the shortcut box '") + box.letter + "' (" +
                                   (check ? ShownCaption(check->text) : "missing") + ") be " +
                                   (wanted ? "ticked" : "unticked");
                return settings;
            }
            settings.actions.push_back({Action::Verb::Check, box.id, wanted ? "1" : "0"});
        }
    }
    return settings;
}

} // namespace tessauto
