#pragma once
// The few string-table texts the controller needs itself, kept here as data until the
// application's four-language table exists: WorkflowText(id) answers like LoadLangString
// (German id plus the current language offset, "@" for an id it does not know).

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace workflow {

constexpr UINT kTextPortActive = 5125;       // "aktiv"
constexpr UINT kTextPortAvailable = 5126;    // "verfügbar"
constexpr UINT kTextMeasurandAngle = 5031;   // "Drehwinkel"
constexpr UINT kTextMeasurandSpeed = 5032;   // "Drehzahl"
constexpr UINT kTextNotAvailable = 5129;     // "nicht verfügbar"
constexpr UINT kTextUnstableConnection = 5292;
constexpr UINT kTextUnitAdu = 5319;
constexpr UINT kTextUnitCelsius = 5539;
constexpr UINT kTextSerialNotAssigned = 5928;
constexpr UINT kTextCalibrationLoadCheck = 5269;
constexpr UINT kTextOneSensorPerBus = 5359;
constexpr UINT kTextMoreThanOneSensor = 5360;
constexpr UINT kTextSensorsNotPrepared = 5378;
constexpr UINT kTextNumberWordBase = 5400;  // + count: 5402 "zwei" .. 5404 "vier"
constexpr UINT kTextValuesOutOfStep = 5929; // our own: a multiport queue ran over

// Language offset: 0 German, 1000 English, 2000 French, 3000 Spanish.
void SetWorkflowLanguage(int offset);
int GetWorkflowLanguage();
CString WorkflowText(UINT germanId);

}  // namespace workflow
