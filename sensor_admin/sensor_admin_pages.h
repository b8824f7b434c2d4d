#pragma once
// SensorAdminPages: the five pages of the sensor administration made for one controller.

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

    CDlgSensorConnection connection;
    CDlgStartUp startUp;
    CDlgSensorInformationHmb information;
    CDlgSensorCalibration calibration;
    CDlgDiagnostic diagnostic;
};

}  // namespace sensor_admin
