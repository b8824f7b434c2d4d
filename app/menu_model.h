#pragma once
// The main menu as data: the six menus, their entries with string ids, and what each entry
// does. The menu bar and the navigation tree are both built from it, so they always agree.

#include <vector>

#include "platform/win_types.h"

namespace app {

enum class Command {
    ShowPage,         // argument: page index of the view
    ResetSettings,    // the settings are reset at the next shut-down
    Exit,
    ToggleBar,        // argument: bar index
    ToggleStatusBar,
    SetLanguage,      // argument: language offset
    About,
};

struct MenuEntry {
    UINT textId;
    Command command;
    int argument = 0;
    bool inTree = true;  // the navigation tree leaves out what is no place to go
};

struct Menu {
    UINT textId;
    std::vector<MenuEntry> entries;
};

// "File", "Operating Mode", "Configuration Mode", "View", "Language", "Help".
const std::vector<Menu>& MainMenu();

}  // namespace app
