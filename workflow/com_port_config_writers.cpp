// Configuration writers. Until they are built, a write is refused: nothing reaches the sensor.

#include "workflow/com_port.h"

bool CComPort::COM_ZMCOMConfgSetStatorOperation(int) { return false; }
