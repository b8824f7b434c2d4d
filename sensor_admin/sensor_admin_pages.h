#pragma once
// SensorAdminPages: the five pages of the sensor administration made for one controller, and
// the peers they fill in for it.

#include "sensor_admin/dlg_diagnostic.h"
#include "sensor_admin/dlg_sensor_calibration.h"
#include "sensor_admin/dlg_sensor_connection.h"
#include "sensor_admin/dlg_sensor_information.h"
#include "sensor_admin/dlg_start_up.h"

namespace sensor_admin {

struct SensorAdminPages {
    explicit SensorAdminPages(CComPort& com, platform::MessageLoop& loop = platform::MessageLoop::Current())
        : connection(com, loop), startUp(&connection, loop), information(com, loop), calibration(com, loop),
          diagnostic(com, loop)
    {
    }
    // Puts the pages into the peers (the others stay as they are).
    void FillPeers(workflow::WorkflowPeers& peers)
    {
        peers.connection = &connection;
        peers.startUp = &startUp;
        peers.information = &information;
        peers.calibration = &calibration;
        peers.diagnostic = &diagnostic;
    }

    CDlgSensorConnection connection;
    CDlgStartUp startUp;
    CDlgSensorInformationHmb information;
    CDlgSensorCalibration calibration;
    CDlgDiagnostic diagnostic;
};

}  // namespace sensor_admin
