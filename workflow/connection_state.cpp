#include "workflow/connection_state.h"

#include <array>
#include <cstdint>

namespace {

struct State {
    int connected = 0;
    int active = 0;
    std::array<std::uint8_t, 2> selected{};
    std::array<int, 2> runState{};  // 0 none, 1 started, 2 stopped
    std::array<std::uint8_t, 2> option{};
    std::array<std::uint8_t, 2> display{};
    std::array<std::uint8_t, 2> extra{};
    std::array<std::uint8_t, 2> third{};  // nothing sets it
    std::array<int, 2> displayMode{};
    std::uint8_t globalSwitch = 0;
};

State g_state;

bool ValidIndex(int index) { return index == 0 || index == 1; }
std::uint8_t FromInverted(int invertedFlag) { return invertedFlag == 0 ? 1 : 0; }
bool FirstBitConnected() { return g_state.connected == 1 || g_state.connected == 3; }

void ClearSensorFlags(int index)
{
    if (!ValidIndex(index)) return;
    g_state.display[index] = 0;
    g_state.extra[index] = 0;
    g_state.third[index] = 0;
}

}  // namespace

namespace connection_state {
void ResetAllForTest() { g_state = State{}; }
int GetActiveSet() { return g_state.active; }
}  // namespace connection_state

int GetConnectedSensorCount()
{
    switch (g_state.connected) {
    case 0: return 0;
    case 1:
    case 2: return 1;
    case 3: return 2;
    default: return -1;
    }
}

bool IsFirstSensorConnected() { return FirstBitConnected(); }
bool IsSecondSensorConnected() { return g_state.connected == 2 || g_state.connected == 3; }

void SetFirstSensorConnected()
{
    if (g_state.connected == 0) g_state.connected = 1;
    else if (g_state.connected == 2) g_state.connected = 3;
}

void SetSecondSensorConnected()
{
    if (g_state.connected == 0) g_state.connected = 2;
    else if (g_state.connected == 1) g_state.connected = 3;
}

void ResetConnectionState()
{
    g_state.connected = 0;
    for (int i = 0; i < 2; ++i) {
        g_state.runState[i] = 0;
        g_state.selected[i] = 0;
        g_state.display[i] = 0;
        g_state.extra[i] = 0;
    }
}

// Both selection tests look at the first sensor's connection, as the pages expect.
bool IsFirstSensorSelected() { return g_state.selected[0] && FirstBitConnected(); }
bool IsSecondSensorSelected() { return g_state.selected[1] && FirstBitConnected(); }

void SetSensorSelected(int index, int invertedFlag)
{
    if (!ValidIndex(index)) return;
    g_state.selected[index] = FromInverted(invertedFlag);
    if (!g_state.selected[index]) g_state.display[index] = 0;
}

void SetSensorStateStarted(int index)
{
    if (!ValidIndex(index)) return;
    g_state.runState[index] = 1;
    SetDisplayFlag(index, 1);
}

void SetSensorStateStopped(int index)
{
    if (ValidIndex(index)) g_state.runState[index] = 2;
}

bool IsSensorStateStarted(int index) { return ValidIndex(index) && g_state.runState[index] == 1; }
bool IsSensorStateStopped(int index) { return ValidIndex(index) && g_state.runState[index] == 2; }

void UpdateActiveSensorSet(int index, int op)
{
    if (!ValidIndex(index)) return;
    int& set = g_state.active;
    if (op == 0) {
        const int bit = index == 0 ? 1 : 2;
        if (set == 0 || set == 1 || set == 2) {
            set |= bit;
            return;
        }
        ClearSensorFlags(index);
        return;
    }
    if (op == 1) {
        if (set == 1) {
            if (index == 0) set = 0;
        } else if (set == 2) {
            if (index != 0) set = 0;
        } else if (set == 3) {
            set = index == 0 ? 2 : 1;
        }
    }
    ClearSensorFlags(index);
}


bool AreBothDisplayFlagsSet() { return g_state.display[0] && g_state.display[1]; }
bool GetDisplayFlag(int index) { return ValidIndex(index) && g_state.display[index]; }

void SetDisplayFlag(int index, int invertedFlag)
{
    if (ValidIndex(index)) g_state.display[index] = FromInverted(invertedFlag);
}

bool GetSensorOption(int index) { return ValidIndex(index) && g_state.option[index]; }
void SetSensorOption(int index, int invertedFlag)
{
    if (ValidIndex(index)) g_state.option[index] = FromInverted(invertedFlag);
}

bool GetSensorExtraFlag(int index) { return ValidIndex(index) && g_state.extra[index]; }
void SetSensorExtraFlag(int index, int invertedFlag)
{
    if (ValidIndex(index)) g_state.extra[index] = FromInverted(invertedFlag);
}

bool GetSensorThirdFlag(int index) { return ValidIndex(index) && g_state.third[index]; }
void SetGlobalSwitch(int invertedFlag) { g_state.globalSwitch = FromInverted(invertedFlag); }

void SetAllSensorsDisplayMode(int mode) { g_state.displayMode = {mode, mode}; }
