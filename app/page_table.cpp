#include "app/page_table.h"

#include "app/logo_page.h"
#include "app/placeholder_page.h"

namespace app {

// Each helper that builds a page replaces MakePlaceholderPage in its row by MakePage<CItsClass>
// (and includes the page's header above).
const std::array<PageSlot, kPageCount>& PageTable()
{
    static const std::array<PageSlot, kPageCount> table{{
        {kPageLogo, 130, 5720, &MakePage<LogoPage>},
        {kPageConnection, 131, 5721, &MakePlaceholderPage},
        {kPageInformation, 132, 5722, &MakePlaceholderPage},
        {kPageMeasureSetup, 135, 5723, &MakePlaceholderPage},
        {kPageDocumentation, 136, 5724, &MakePlaceholderPage},
        {kPageCalibration, 137, 5725, &MakePlaceholderPage},
        {kPageMeasureControl, kKindMeasureControl, 5726, &MakePlaceholderPage},
        {kPageDiagnostics, 139, 5727, &MakePlaceholderPage},
    }};
    return table;
}

QWidget* MakePlaceholderPage(QWidget* parent, int pageIndex)
{
    return new PlaceholderPage(parent, PageTable()[static_cast<std::size_t>(pageIndex)].captionId);
}

}  // namespace app
