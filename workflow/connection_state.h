#pragma once
// ConnectionState: the process-wide record of which of the first two sensors are connected,
// active, selected, started or stopped, with a few display flags and a display mode per
// sensor. Plain free functions, GUI thread only.
//
// Sets are coded 0 none, 1 first sensor, 2 second sensor, 3 both. The setters of the 8-bit
// flags take the negation of the wanted value (0 stores 1, anything else stores 0), as their
// callers were written for it. Only sensor indexes 0 and 1 exist: any other index is ignored
// by the setters and reads as "not set" (0, false) from the getters.

namespace connection_state {
// Back to the start values (for tests and a fresh start).
void ResetAllForTest();
int GetActiveSet();
}  // namespace connection_state

// Connected set.
int GetConnectedSensorCount();
bool IsFirstSensorConnected();
bool IsSecondSensorConnected();
void SetFirstSensorConnected();
void SetSecondSensorConnected();
void ResetConnectionState();

// Selection.
bool IsFirstSensorSelected();
bool IsSecondSensorSelected();
void SetSensorSelected(int index, int invertedFlag);

// Run state.
void SetSensorStateStarted(int index);
void SetSensorStateStopped(int index);
bool IsSensorStateStarted(int index);
bool IsSensorStateStopped(int index);

// Active set.
void UpdateActiveSensorSet(int index, int op);

// Display flags.
bool AreBothDisplayFlagsSet();
bool GetDisplayFlag(int index);
void SetDisplayFlag(int index, int invertedFlag);

// Other flags and modes.
bool GetSensorOption(int index);
void SetSensorOption(int index, int invertedFlag);
bool GetSensorExtraFlag(int index);
void SetSensorExtraFlag(int index, int invertedFlag);
bool GetSensorThirdFlag(int index);
void SetGlobalSwitch(int invertedFlag);
void SetAllSensorsDisplayMode(int mode);

