#include "app/main_frame_sensor_admin.h"

#include "app/main_frame.h"
#include "app/page_table.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/sensor_admin_pages.h"

void CMainFrame::InstallSensorAdmin()
{
    m_sensorAdmin = std::make_shared<sensor_admin::SensorAdminPages>(m_com, loop());
    sensor_admin::SensorAdminPages& pages = *m_sensorAdmin;
    // The pages exist as long as the frame: they register at once, the start-up search window
    // by its direct call.
    RegisterObject(kFrameConnectionPage, static_cast<workflow::IConnectionPage*>(&pages.connection));
    RegisterObject(kFrameStartUpPage, static_cast<workflow::IStartUpPage*>(&pages.startUp));
    RegisterObject(kFrameInformationPage, static_cast<workflow::IInformationPage*>(&pages.information));
    RegisterObject(kFrameCalibrationPage, static_cast<workflow::ICalibrationPage*>(&pages.calibration));
    RegisterObject(kFrameDiagnosticPage, static_cast<workflow::IDiagnosticPage*>(&pages.diagnostic));

    auto* startUp = new sensor_admin::StartUpForm(pages.startUp, this);
    startUp->setWindowFlags(Qt::Dialog);
    startUp->hide();
    // Once every connected sensor is active, the pages show the ports as they now are.
    m_hooks.activationCheck = [this] {
        m_sensorAdmin->connection.UpdatePortList(false);
        m_sensorAdmin->diagnostic.COM_RefreshDiagnosticList();
    };
    m_hooks.startUpSearch = [this] {
        m_sensorAdmin->startUp.Show();
        m_com.COM_SearchComPorts(0);
    };
}

sensor_admin::SensorAdminPages* CMainFrame::SensorAdmin() { return m_sensorAdmin.get(); }

namespace app {

namespace {

sensor_admin::SensorAdminPages* FramePages()
{
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    return frame ? frame->SensorAdmin() : nullptr;
}

}  // namespace

QWidget* MakeSensorConnectionPage(QWidget* parent, int pageIndex)
{
    sensor_admin::SensorAdminPages* pages = FramePages();
    if (!pages) return MakePlaceholderPage(parent, pageIndex);
    return new sensor_admin::SensorConnectionForm(pages->connection, parent);
}

QWidget* MakeSensorInformationPage(QWidget* parent, int pageIndex)
{
    sensor_admin::SensorAdminPages* pages = FramePages();
    if (!pages) return MakePlaceholderPage(parent, pageIndex);
    return new sensor_admin::SensorInformationForm(pages->information, parent);
}

QWidget* MakeSensorCalibrationPage(QWidget* parent, int pageIndex)
{
    sensor_admin::SensorAdminPages* pages = FramePages();
    if (!pages) return MakePlaceholderPage(parent, pageIndex);
    return new sensor_admin::SensorCalibrationForm(pages->calibration, parent);
}

QWidget* MakeDiagnosticPage(QWidget* parent, int pageIndex)
{
    sensor_admin::SensorAdminPages* pages = FramePages();
    if (!pages) return MakePlaceholderPage(parent, pageIndex);
    return new sensor_admin::DiagnosticForm(pages->diagnostic, parent);
}

}  // namespace app
