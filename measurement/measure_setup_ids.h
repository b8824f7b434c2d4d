#pragma once
// Control ids of the measurement set-up page (dialog 135). The .ui form carries each id as the
// dynamic property ctrlId; the page logic reaches its controls only through these numbers.

namespace measurement {

constexpr int kSetupDialogId = 135;

// Frame, column and trigger captions.
constexpr int IDC_PAGE_FRAME = 1084;
constexpr int IDC_CAPTION_MEASURED = 1092;
constexpr int IDC_CAPTION_RATE = 1094;
constexpr int IDC_CAPTION_DISPLAY = 1099;
constexpr int IDC_CAPTION_DECIMALS = 1100;
constexpr int IDC_CAPTION_UNIT = 1107;
constexpr int IDC_CAPTION_AVERAGE = 1109;
constexpr int IDC_CAPTION_SIGN = 1108;
constexpr int IDC_CAPTION_SCALING = 1293;

// Channel rows A, B, C, D, P1, P2.
constexpr int kChannelButton[4] = {1291, 1289, 1423, 1424};
constexpr int kPowerButton[2] = {1566, 1576};
constexpr int kRowCaption[6] = {1651, 1652, 1653, 1654, 1655, 1656};
constexpr int kDecimalsCombo[6] = {1101, 1102, 1103, 1104, 1105, 1106};
constexpr int kUnitCombo[6] = {1120, 1121, 1122, 1123, 1124, 1125};
constexpr int kAveragingCombo[6] = {1110, 1111, 1112, 1113, 1114, 1115};
constexpr int kSignCombo[6] = {1580, 1581, 1582, 1583, 1584, 1585};
constexpr int kScalingButton[4] = {1666, 1667, 1668, 1669};
constexpr int kLowPassCombo[4] = {1451, 1452, 1453, 1454};
constexpr int IDC_LOWPASS_CAPTION = 1439;

constexpr int IDC_RATE_COMBO = 1095;

// Diagram axes X, Y1..Y6.
constexpr int IDC_DIAGRAM_FRAME = 1600;
constexpr int kAxisCaption[7] = {1610, 1611, 1612, 1613, 1614, 1615, 1616};
constexpr int kAxisCombo[7] = {1620, 1621, 1622, 1623, 1624, 1625, 1626};

// Rate reduction.
constexpr int IDC_REDUCTION_EDIT = 1265;
constexpr int IDC_REDUCTION_CAPTION = 1266;
constexpr int IDC_REDUCTION_UNIT = 1267;

// Triggers.
constexpr int IDC_TRIGGER_FRAME = 1127;
constexpr int IDC_START_FRAME = 1128;
constexpr int IDC_STOP_FRAME = 1129;
constexpr int IDC_START_SOURCE_CAPTION = 1130;
constexpr int IDC_STOP_SOURCE_CAPTION = 1131;
constexpr int IDC_START_SOURCE = 1132;
constexpr int IDC_STOP_SOURCE = 1133;
constexpr int IDC_START_DIRECTION_CAPTION = 1134;
constexpr int IDC_STOP_DIRECTION_CAPTION = 1135;
constexpr int IDC_START_DIRECTION = 1136;
constexpr int IDC_STOP_DIRECTION = 1137;
constexpr int IDC_STOP_VALUE_CAPTION = 1138;
constexpr int IDC_START_VALUE_CAPTION = 1139;
constexpr int IDC_START_VALUE = 1033;
constexpr int IDC_STOP_VALUE = 1140;
constexpr int IDC_START_VALUE_UNIT = 1141;
constexpr int IDC_STOP_VALUE_UNIT = 1142;
constexpr int IDC_TEST_BUTTON = 1143;
constexpr int IDC_START_TIME = 1144;
constexpr int IDC_START_TIME_HINT = 1145;
constexpr int IDC_DURATION_EDIT = 1146;
constexpr int IDC_DURATION_LABEL = 1147;
constexpr int IDC_COUNT_EDIT = 1148;
constexpr int IDC_COUNT_LABEL = 1149;

// Pass/fail conditions.
constexpr int IDC_IONIO_FRAME = 1500;
constexpr int kConditionCheck[2] = {1503, 1504};
constexpr int kConditionCombo[2] = {1515, 1516};
constexpr int kLowerCaption[2] = {1505, 1507};
constexpr int kUpperCaption[2] = {1506, 1508};
constexpr int kLimitUnit[4] = {1509, 1510, 1511, 1512};  // lower 1, upper 1, lower 2, upper 2
constexpr int kLimitEdit[4] = {1517, 1518, 1519, 1520};

// Add-on programs.
constexpr int kAddProgCaption[2] = {1521, 1522};
constexpr int kAddProgBrowse[2] = {1527, 1528};
constexpr int kAddProgButton[2] = {1523, 1524};

// Power groups P1, P2.
constexpr int IDC_DIGITAL_INPUT = 1578;
constexpr int kTorqueSelector[2] = {1561, 1571};
constexpr int kAngleSelector[2] = {1562, 1572};
constexpr int kSpeedCaption[2] = {1563, 1573};
constexpr int kAngleCaption[2] = {1564, 1574};
constexpr int kOptionBox[2] = {1565, 1575};

constexpr int IDC_EXPAND = 1459;
constexpr int IDC_ACCEPT = 1460;
constexpr int IDC_Y_BUTTON = 1440;

// Timers of the page.
constexpr unsigned kTimerRefresh = 18;
constexpr unsigned kTimerPowerSwitchEnd = 56;
constexpr unsigned kTimerWriteReplay = 39;
constexpr unsigned kTimerWriteGuard = 40;
constexpr unsigned kTimerTellNotWritten = 41;
constexpr unsigned kTimerWritePause = 42;
// A choice not written because the sensors are restarting or being connected.
constexpr unsigned kTextNotWrittenWhileReconnecting = 5937;
// Both pass/fail conditions are kept by the same one of several sensors.
constexpr unsigned kTextOneConditionPerSensor = 6310;
// Both pass/fail conditions watch the same channel of a single sensor.
constexpr unsigned kTextOneConditionPerChannel = 6314;
// The channel the user put on the X axis is no longer measured with another one.
constexpr unsigned kTextXAxisBackToTime = 6311;

// Messages the browse controls send after a browse.
constexpr unsigned kMsgStartProgBrowsed = 311;
constexpr unsigned kMsgStopProgBrowsed = 312;

}  // namespace measurement
