#pragma once
// The string-table ids of the texts the controller shows itself (res/strings/workflow.tsv).
// WorkflowText(id) is LoadLangString: German id plus the current language offset, "@" for an
// id the table lacks. The language is switched with SetLanguage (res/string_table.h).

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
constexpr UINT kTextSensorLost = 5930;      // our own: a connected sensor's port went away
constexpr UINT kTextSensorLostMeasuring = 5931;  // our own: the same, cutting a measurement short
// Our own: a sensor refused a request of its identification and is not used (port, what, code);
// what: the reading of a block (number, name), with the names of the blocks the others lack.
constexpr UINT kTextSensorUnusable = 5932;
constexpr UINT kTextBlockRead = 5933;
constexpr UINT kTextBlockRotorHeader = 5934;
constexpr UINT kTextBlockRotorFactoryCalib = 5935;
// Our own: the status bar while the program waits for a sensor's greeting after its restart.
constexpr UINT kTextSensorRestarting = 5936;
// Our own: the sensor refused a block write (block number, block name, refusal code); the names.
constexpr UINT kTextBlockRefused = 5941;
constexpr UINT kTextBlockStatorOperation = 5942;
constexpr UINT kTextBlockStatorSwConfig = 5943;
constexpr UINT kTextBlockRotorUserCalib = 5944;
constexpr UINT kTextBlockRotorOperation = 5945;
// Our own: a sensor refused another request (sensor number, what, refusal code); what.
constexpr UINT kTextRequestRefused = 5946;
constexpr UINT kTextRequestValue = 5947;
constexpr UINT kTextRequestControl = 5948;
constexpr UINT kTextRequestAngleZero = 5949;
constexpr UINT kTextRequestRestart = 5950;
constexpr UINT kTextRequestOther = 5951;
// Our own: a sensor found streaming by the search streams on after its stop signal (port).
constexpr UINT kTextStreamWillNotStop = 5952;

CString WorkflowText(UINT germanId);
// The text id of a block's name, by its number.
UINT BlockNameText(int blockNumber);

}  // namespace workflow
