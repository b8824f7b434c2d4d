#pragma once
// String ids of the sensor administration pages (res/strings/sensor_admin.tsv). The port
// states "aktiv" and "verfügbar" and the "not available" text are the workflow's own ids.

#include "platform/win_types.h"

namespace sensor_admin {

// Connection page.
constexpr UINT kTextConnectionTitle = 5721;  // the page captions of the application
constexpr UINT kTextColumnPort = 5801;
constexpr UINT kTextColumnSensorType = 5802;
constexpr UINT kTextColumnRangeEnd = 5803;
constexpr UINT kTextColumnAddress = 5804;
constexpr UINT kTextColumnSerial = 5805;
constexpr UINT kTextColumnBaudRate = 5806;
constexpr UINT kTextColumnStatus = 5807;
constexpr UINT kTextColumnEnabled = 5808;
constexpr UINT kTextSearch = 5809;
constexpr UINT kTextConnect = 5810;
constexpr UINT kTextDisconnect = 5811;
constexpr UINT kTextUsbPortsOnly = 5812;
constexpr UINT kTextChangeBaudRate = 5813;
constexpr UINT kTextStateNotSupported = 5814;
constexpr UINT kTextStateNotOpenable = 5815;
constexpr UINT kTextPortsGone = 5816;  // "%s": the ports' display names
constexpr UINT kTextStateSelected = 5817;
constexpr UINT kTextEnabledMark = 5818;
constexpr UINT kTextBaudChangeFailed = 5819;
// "%s": the port of a sensor of several whose stator operation block could not be read.
constexpr UINT kTextBaudChangeNoBlock = 5938;
constexpr UINT kTextSearchTookTooLong = 5820;
constexpr UINT kTextSelectPortFirst = 5821;
constexpr UINT kTextSensorNotSupported = 5261;  // the control panel's refusal of a sensor
constexpr UINT kTextBaudChangeDone = 5822;

// Start-up search.
constexpr UINT kTextStartUpTitle = 5830;
constexpr UINT kTextSearching = 5831;
constexpr UINT kTextSearchEndedNoSensor = 5832;
constexpr UINT kTextSearchUsbOnly = 5833;
constexpr UINT kTextPortOfPorts = 5834;

// Sensor information.
constexpr UINT kTextInformationTitle = 5722;
constexpr UINT kTextColumnProperty = 5841;
constexpr UINT kTextColumnValue = 5842;
constexpr UINT kTextStatorSerial = 5843;
constexpr UINT kTextRotorSerial = 5844;
constexpr UINT kTextSensorAddress = 5845;
constexpr UINT kTextStatorIdRevision = 5846;
constexpr UINT kTextRotorIdRevision = 5847;
constexpr UINT kTextCalibration = 5848;
constexpr UINT kTextCalibrationNone = 5849;
constexpr UINT kTextCalibrationFactory = 5850;
constexpr UINT kTextCalibrationUser = 5851;
constexpr UINT kTextRangeA = 5852;
constexpr UINT kTextRangeB = 5853;
constexpr UINT kTextMeasurandA = 5854;
constexpr UINT kTextMeasurandB = 5855;
constexpr UINT kTextDateHardware = 5856;
constexpr UINT kTextDateStatorOperation = 5857;
constexpr UINT kTextDateFactoryCalibration = 5858;
constexpr UINT kTextDateUserCalibration = 5859;
constexpr UINT kTextDateRotorOperation = 5860;
constexpr UINT kTextPulsesPerRevolution = 5861;
constexpr UINT kTextLowPassFilter = 5862;
constexpr UINT kTextModuleCount = 5863;
constexpr UINT kTextInaccuracy = 5864;
constexpr UINT kTextChannelSerials = 5865;
// The measurands of the type classes (the letters of the rotor header).
constexpr UINT kTextStrainGauge = 5823;
constexpr UINT kTextVoltage = 5824;
constexpr UINT kTextCurrent = 5825;
constexpr UINT kTextForce = 5826;
constexpr UINT kTextWeight = 5827;
constexpr UINT kTextMiscellaneous = 5828;
constexpr UINT kTextTemperature = 5829;
constexpr UINT kTextTorque = 5866;
constexpr UINT kTextPower = 5033;  // the measurement pages' own id
constexpr UINT kTextReadAgain = 5867;
constexpr UINT kTextStoreSettings = 5868;
constexpr UINT kTextSensorLeft = 5869;
constexpr UINT kTextGainOffset = 5870;
constexpr UINT kTextNoSensor = 5871;
constexpr UINT kTextSettingsStored = 5872;
constexpr UINT kTextSoftwareUnits = 5873;
constexpr UINT kTextNotAvailableShort = 5874;  // "n.a."
constexpr UINT kTextSettingsNotStored = 5875;
constexpr UINT kTextSensorWord = 5111;  // "Sensor", followed by the sensor's number

// Sensor calibration and its prompts.
constexpr UINT kTextCalibrationTitle = 5725;
constexpr UINT kTextReferenceA = 5881;
constexpr UINT kTextReferenceB = 5882;
constexpr UINT kTextStartCalibration = 5883;
constexpr UINT kTextActivateUserCalibration = 5884;
constexpr UINT kTextDeactivateUserCalibration = 5885;
constexpr UINT kTextChangeInaccuracy = 5886;
constexpr UINT kTextZeroPrompt = 5887;
constexpr UINT kTextEndPrompt = 5888;
constexpr UINT kTextValuesTooLow = 5889;
constexpr UINT kTextWithoutControl = 5890;
constexpr UINT kTextCalibrationStored = 5891;
constexpr UINT kTextCalibrationRunning = 5892;
constexpr UINT kTextCalibrationRefused = 5893;
constexpr UINT kTextInaccuracyPercent = 5894;
constexpr UINT kTextChangeA = 5895;
constexpr UINT kTextChangeB = 5896;
constexpr UINT kTextDeleteA = 5897;
constexpr UINT kTextDeleteB = 5898;
constexpr UINT kTextWriteAllowed = 5899;
constexpr UINT kTextWrite = 5900;
constexpr UINT kTextCalibrationState = 5901;
constexpr UINT kTextConnectFirst = 5902;
constexpr UINT kTextZeroPromptTitle = 5903;
constexpr UINT kTextEndPromptTitle = 5904;
constexpr UINT kTextStepRefused = 5905;
constexpr UINT kTextReferenceMissing = 5906;       // "%c": the channel letter
constexpr UINT kTextControlSignalNoChange = 5907;  // "%s": the channel letters
constexpr UINT kTextNoUserCalibrationStored = 5908;
constexpr UINT kTextReferenceWholeCounts = 5909;
constexpr UINT kTextReferenceTooLarge = 5910;      // "%lu": the largest value

// Diagnostics.
constexpr UINT kTextDiagnosticTitle = 5727;
constexpr UINT kTextWorkflowState = 5911;
constexpr UINT kTextStatusRequest = 5912;
constexpr UINT kTextMultiportDetection = 5913;
constexpr UINT kTextColumnPosition = 5914;
constexpr UINT kTextColumnCount = 5915;
constexpr UINT kTextColumnRole = 5916;
constexpr UINT kTextColumnGroup = 5917;
constexpr UINT kTextRoleMaster = 5918;
constexpr UINT kTextRoleSlave = 5919;
constexpr UINT kTextRoleSingle = 5920;
constexpr UINT kTextStatusAnswer = 5921;
constexpr UINT kTextNoStatusAnswer = 5922;

// OK, Cancel of the prompts.
constexpr UINT kTextOk = 5970;      // the chart's "OK"
constexpr UINT kTextCancel = 5971;  // the chart's "Abbrechen"

}  // namespace sensor_admin
