#include "app/menu_model.h"

#include "app/page_table.h"

namespace app {

const std::vector<Menu>& MainMenu()
{
    static const std::vector<Menu> menu{
        {5710, {{5720, Command::ShowPage, kPageLogo},
                {5719, Command::ResetSettings, 0, false},
                {5716, Command::Exit, 0, false}}},
        {5711, {{5726, Command::ShowPage, kPageMeasureControl},
                {5723, Command::ShowPage, kPageMeasureSetup},
                {5724, Command::ShowPage, kPageDocumentation}}},
        {5712, {{5721, Command::ShowPage, kPageConnection},
                {5722, Command::ShowPage, kPageInformation},
                {5725, Command::ShowPage, kPageCalibration},
                {5727, Command::ShowPage, kPageDiagnostics}}},
        {5713, {{5730, Command::ToggleBar, 0, false},
                {5731, Command::ToggleBar, 1, false},
                {5732, Command::ToggleBar, 2, false},
                {5733, Command::ToggleStatusBar, 0, false}}},
        {5714, {{5740, Command::SetLanguage, 0, false},
                {5741, Command::SetLanguage, 1000, false},
                {5742, Command::SetLanguage, 2000, false},
                {5743, Command::SetLanguage, 3000, false}}},
        {5715, {{5717, Command::About, 0, false}}},
    };
    return menu;
}

}  // namespace app
