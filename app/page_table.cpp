#include "app/page_table.h"

#include "app/logo_page.h"
#include "app/main_frame_measurement.h"
#include "app/main_frame_measurement_control.h"
#include "app/main_frame_sensor_admin.h"
#include "app/placeholder_page.h"
#include "documentation/dlg_documentation.h"

namespace app {

// Each helper that builds a page replaces MakePlaceholderPage in its row by MakePage<CItsClass>
// (and includes the page's header above).
const std::array<PageSlot, kPageCount>& PageTable()
{
    static const std::array<PageSlot, kPageCount> table{{
        {kPageLogo, 130, 5720, &MakePage<LogoPage>},
        {kPageConnection, 131, 5721, &MakeSensorConnectionPage},
        {kPageInformation, 132, 5722, &MakeSensorInformationPage},
        {kPageMeasureSetup, 135, 5723, &MakeMeasureSetupPage},
        {kPageDocumentation, 136, 5724, &MakePage<documentation::CDlgDocumentation>},
        {kPageCalibration, 137, 5725, &MakeSensorCalibrationPage},
        {kPageMeasureControl, kKindMeasureControl, 5726, &MakeMeasureControlPage},
        {kPageDiagnostics, 139, 5727, &MakeDiagnosticPage},
    }};
    return table;
}

QWidget* MakePlaceholderPage(QWidget* parent, int pageIndex)
{
    return new PlaceholderPage(parent, PageTable()[static_cast<std::size_t>(pageIndex)].captionId);
}

}  // namespace app
