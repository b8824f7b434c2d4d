// Calibration steps on the sensor. Until the user calibration is built, the raw acquisition
// only enters its state and phase, so that the acknowledgement analysis can hand over to it.

#include "workflow/com_port.h"

bool CComPort::COM_ZMReadRawCalibInit(int kind)
{
    m_sCalib.nPhase = kind;
    m_sCalib.nCount = 0;
    m_iZMCOMConfgFlow = ZM_READ_RAW_CALIB_INIT;
    return true;
}
