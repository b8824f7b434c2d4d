#pragma once
// The three enumeration passes that fill the port list from the devices present: serial
// (the tty class of sysfs, then the extra device paths of the settings), HID (hidraw nodes
// that one of the HID port kinds serves) and USB bulk (vendor-specific interfaces that no
// kernel driver holds, with a bulk read and a bulk write endpoint).
//
// They read sysfs and name device nodes below roots that tests point at a fake tree.

#include <string>

#include "platform/cstring.h"
#include "port/port_list.h"

struct EnumerationRoots {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
};
EnumerationRoots GetEnumerationRoots();
void SetEnumerationRoots(const EnumerationRoots& roots);

bool EnumSerialPorts(CPortDetailArray& list);
bool EnumSerialPortsFromSysfs(CPortDetailArray& list);
// The settings' "SERIALCOMM" stand-in.
bool EnumSerialPortsFromRegistry(CPortDetailArray& list);
bool EnumHidPorts(CPortDetailArray& list);
bool EnumBulkPorts(CPortDetailArray& list);

// Kind flags of a serial port by its driver's service name (upper-cased).
DWORD SerialKindFlags(const CString& serviceName);
// The service name that stands for a Linux serial driver.
CString ServiceNameOfDriver(const CString& driver);
