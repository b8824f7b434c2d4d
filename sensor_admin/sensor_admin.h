#pragma once
// Sensor administration: the pages a user finds, connects, inspects and calibrates sensors
// with. Each page is plain logic that serves the workflow controller as one of its peers
// (workflow/workflow_peers.h); the widgets in sensor_admin/forms/ only show it.
//   CDlgSensorConnection      port list, search, connect, disconnect, baud-rate change
//   CDlgStartUp               the search window with its progress
//   CDlgSensorInformationHmb  what the sensor record holds; storing the set-up in the sensor
//   CDlgSensorCalibration     the user calibration, with its prompts
//       CDlgCalibMsgGetValueZero, CDlgCalibMsgGetValueEnd, and the computation
//   CDlgDiagnostic            multiport grouping, sensor list, status request, workflow state
//   SensorAdminPages          all of them, wired to one controller

#include "sensor_admin/admin_texts.h"
#include "sensor_admin/calib_computation.h"
#include "sensor_admin/calib_prompts.h"
#include "sensor_admin/dlg_diagnostic.h"
#include "sensor_admin/dlg_sensor_calibration.h"
#include "sensor_admin/dlg_sensor_connection.h"
#include "sensor_admin/dlg_sensor_information.h"
#include "sensor_admin/dlg_start_up.h"
#include "sensor_admin/port_list_model.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "sensor_admin/sensor_information_rows.h"
