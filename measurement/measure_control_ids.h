#pragma once
// Control ids, timer ids and text ids of the measurement control panel (dialog 138). The .ui form
// carries each control id as the dynamic property ctrlId.

#include "platform/win_types.h"
#include "workflow/workflow_peers.h"

namespace measurement {

constexpr int kControlDialogId = 138;

// Buttons, indicators and statics.
constexpr int IDC_MC_GROUP = 1088;
constexpr int IDC_MC_START = 1150;
constexpr int IDC_MC_STOP = 1151;
constexpr int IDC_MC_TRIGGER = 1152;
constexpr int IDC_MC_CONTROL = 1154;
constexpr int IDC_MC_RUN_LED = 1157;
constexpr int IDC_MC_TRIGGER_LED = 1158;
constexpr int IDC_MC_BUSY_MARKER = 1159;
constexpr int IDC_MC_SINGLE_SHOT = 1162;
constexpr int IDC_MC_PLACEMENT = 1203;
constexpr int IDC_MC_STEP_COUNT = 1204;
constexpr int IDC_MC_RATE = 1245;
constexpr int IDC_MC_SERIAL_LABEL = 1246;
constexpr int IDC_MC_SERIAL = 1317;
constexpr int IDC_MC_RANGE_LABEL = 1256;
constexpr int IDC_MC_RANGE = 1318;
constexpr int IDC_MC_UNCERTAINTY_LABEL = 1160;
constexpr int IDC_MC_UNCERTAINTY = 1319;
constexpr int IDC_MC_AUTO_REPEAT = 1341;
constexpr int IDC_MC_SENSOR_GROUP = 1362;
constexpr int kSensorCheck[4] = {1371, 1372, 1373, 1374};
constexpr int kPowerViewButton[2] = {1375, 1376};
constexpr int IDC_MC_STATE_LED = 1390;
constexpr int IDC_MC_ANGLE_ZERO = 1467;
constexpr int IDC_MC_ENCODER_WARNING = 1479;
constexpr int kAngleZeroOption[2] = {1485, 1486};
constexpr int kPowerShowCheck[2] = {1487, 1488};
constexpr int IDC_MC_PICTURE = 1490;

// Duration row.
constexpr int IDC_MC_DURATION_GROUP = 1436;
constexpr int IDC_MC_VALUE_SETS = 1430;
constexpr int IDC_MC_FIXED_LIMIT = 1431;
constexpr int IDC_MC_PROGRESS = 1432;
constexpr int IDC_MC_DURATION_COMBO = 1433;
constexpr int IDC_MC_VALUE_SETS_LABEL = 1435;

// Diagnostics area.
constexpr int IDC_MC_DIAG_GROUP = 1370;
constexpr int kDiagnosticBase[7] = {1381, 1385, 1391, 1401, 1405, 1441, 1446};
constexpr int kDiagnosticLabels[] = {1370, 1366, 1367, 1368, 1380, 1389, 1411, 1412, 1413, 1445, 1390};
// The Process Monitor's last line: why the stream of a multiport device was stopped (its form
// caption while there is none).
constexpr int IDC_MC_STOP_REASON = 1413;
constexpr int IDC_MC_DIAG_OFF = 1770;
constexpr int IDC_MC_LOSS_TEST = 1777;
constexpr int IDC_MC_ONE_GAP = 1778;
constexpr int IDC_MC_TWO_GAPS = 1779;
constexpr int kGapField[6] = {1771, 1772, 1773, 1774, 1775, 1776};
constexpr int IDC_MC_GAP_FIRST = 1784;
constexpr int kGapLabels[3] = {1781, 1782, 1783};

// Timers of the panel window.
constexpr UINT_PTR kTimerTriggerBlink = 0;
constexpr UINT_PTR kTimerPortSearch = 1;
constexpr UINT_PTR kTimerReceiveTimeout = 5;
constexpr UINT_PTR kTimerControlBusy = 7;
constexpr UINT_PTR kTimerStatusWatch = workflow::kCtrlPageTimerStatusWatch;         // 9
constexpr UINT_PTR kTimerDiagnosticList = workflow::kCtrlPageTimerDiagnosticRefresh;  // 10
constexpr UINT_PTR kTimerShowRefresh = 19;
constexpr UINT_PTR kTimerSingleShotSetup = 43;
constexpr UINT_PTR kTimerMultiportWatch = 45;
constexpr UINT_PTR kTimerAfterMeasurement = 62;
constexpr UINT_PTR kTimerProgress = 63;
constexpr UINT_PTR kTimerTimeExpired = 64;
constexpr UINT_PTR kTimerSingleShotAngle = 65;
constexpr UINT_PTR kTimerEncoderWarning = 66;

// The rotor type (status answer byte 9) whose quadrature encoder must count the angle.
constexpr BYTE kRotorTypeAngleEncoder = 20;

// Texts.
constexpr UINT kTextGroup = 5026;
constexpr UINT kTextStart = 5194;
constexpr UINT kTextStop = 5195;
constexpr UINT kTextSingleShot = 5200;
constexpr UINT kTextAutoRepeat = 5370;
constexpr UINT kTextControl = 5197;
constexpr UINT kTextRate = 5151;
constexpr UINT kTextSensorWord = 5111;
constexpr UINT kTextPower = 5033;
constexpr UINT kTextShowSensors = 5555;
constexpr UINT kTextEncoderWarning = 5653;
constexpr UINT kTextAngleAtStart = 5326;
constexpr UINT kTextAngleAtTrigger = 5327;
constexpr UINT kTextPowerDisplay = 5329;
constexpr UINT kTextQuadratureEncoder = 5123;
constexpr UINT kTextFirst = 5661;
constexpr UINT kTextSecond = 5662;
constexpr UINT kTextReady = 5270;
constexpr UINT kTextDisconnected = 5271;
constexpr UINT kTextMeasuring = 5272;
constexpr UINT kTextWaitForStart = 5273;
constexpr UINT kTextWaitForStop = 5274;
constexpr UINT kTextProtocolError = 5267;
constexpr UINT kTextTriggerOn = 5371;
constexpr UINT kTextTriggerOff = 5372;
constexpr UINT kTextRs485Problem = 5377;
constexpr UINT kTextNoValues = 5376;
constexpr UINT kTextPowerUnits = 5399;
constexpr UINT kTextSameDiagramFile = 5427;
constexpr UINT kTextTimeExpired = 5489;
constexpr UINT kTextNotSupported = 5261;
constexpr UINT kTextErrorCode = 5278;
constexpr UINT kTextCodeRev = 5279;
constexpr UINT kTextCodeType = 5280;
constexpr UINT kTextSerial = 5113;
constexpr UINT kTextRange = 5118;
constexpr UINT kTextUncertainty = 5199;
constexpr UINT kTextDuration = 5160;
constexpr UINT kTextTimeLimit = 5479;
constexpr UINT kTextTimer = 5556;
constexpr UINT kTextMinutes = 5191;
constexpr UINT kTextHour = 5521;
constexpr UINT kTextHours = 5522;
constexpr UINT kTextDay = 5523;
constexpr UINT kTextDays = 5524;

// The kinds of the panel and of the set-up page among the frame's pages.
constexpr int kControlViewKind = 138;
constexpr int kSetupViewKind = 135;

}  // namespace measurement
