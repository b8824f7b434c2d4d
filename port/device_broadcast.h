#pragma once
// Device notifications as the port manager receives them: an event code and a header that
// names the device.

#include "platform/cstring.h"
#include "platform/win_types.h"

constexpr UINT WM_DEVICECHANGE = 0x0219;
constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
constexpr WPARAM DBT_DEVICEQUERYREMOVE = 0x8001;
constexpr WPARAM DBT_DEVICEQUERYREMOVEFAILED = 0x8002;
constexpr WPARAM DBT_DEVICEREMOVEPENDING = 0x8003;
constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr DWORD DBT_DEVTYP_PORT = 3;
constexpr DWORD DBT_DEVTYP_DEVICEINTERFACE = 5;

struct DeviceBroadcast {
    DWORD devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    // The port name (port records) or the device's path (interface records).
    CString name;
};
