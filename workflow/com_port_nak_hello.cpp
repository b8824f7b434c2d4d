// The sensor's own short frames: a refusal (NAK) of a request and the hello after a restart.

#include "workflow/com_port.h"

namespace {
constexpr int kNakLength = 8;
}

void CComPort::ZMCOMConfg_AnalyseNak()
{
    if (m_strReceiveCOM.GetLength() < 6) return;
    const BYTE refusedRequest = RefusedRequest();
    EndAnswerWait();  // the sensor has answered, if with a refusal
    CSensorRecord& sensor = CurrentSensor();
    sensor.m_cRefusalCode = 0;
    sensor.m_cRefusalCode = m_strReceiveCOM.ByteAt(5);
    const int refusedBlock = BlockWrittenInState(m_iZMCOMConfgFlow);

    switch (m_iZMCOMConfgFlow) {
    case ZM_START_INIT:
    case ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED:
        m_strReceiveCOM.Delete(0, kNakLength);
        ContinueIdentificationAfterRefusal(sensor);
        break;
    case ZM_SET_NEW_FACCALIB:
    case ZM_SET_INACCURACY_FACTORYCALIB:
    case ZM_FACTORYCALIB_ACTIVATE:
    case ZM_FACTORYCALIB_DEACTIVATE:
    case ZM_CONFIGURE_SENSOR:
        break;
    case ZM_CNFG_SET_NEW_BAUDRATE:
        m_strReceiveCOM.Empty();
        if (m_peers.startUp) m_peers.startUp->EndSearchProgress();
        if (m_peers.connection) m_peers.connection->ClearBaudChangeFlag();
        // The sensor keeps its rate: the connection page is usable again, and the user is told.
        if (m_peers.connection) m_peers.connection->ClearBusyFlag();
        COM_ReportRefusedWrite(0x02, sensor.m_cRefusalCode);
        break;
    case ZM_SET_SERIAL_NUMBER_ROTOR_OPERATION:
    case ZM_CNFG_SET_NEW_LOW_PASS_FILTER:
        m_strReceiveCOM.Empty();
        COM_ReportRefusedWrite(refusedBlock, sensor.m_cRefusalCode);
        break;
    default:
        m_strReceiveCOM.Delete(0, kNakLength);
        m_pfnReplyHandler = nullptr;
        // A refused step ends, and the user is told what was refused: a block write, of which
        // nothing is stored, or another request (a value, the control signal, the angle zero,
        // a restart, also one that follows a block the sensor took).
        if (refusedRequest != 0)
            COM_ReportRefusedRequest(refusedRequest, m_nCurSensor, sensor.m_cRefusalCode);
        else if (refusedBlock >= 0)
            COM_ReportRefusedWrite(refusedBlock, sensor.m_cRefusalCode);
        break;
    }
}

void CComPort::ZMCOMConfg_AnalyseHello()
{
    m_strReceiveCOM.Delete(0, GetAnswerLength());
    EndAnswerWait();  // the greeting after a restart

    switch (m_iZMCOMConfgFlow) {
    case ZM_START_INIT:
        // The sensor restarted while it was asked for its status: wait for that answer again.
        m_pfnReplyHandler = m_pfnPrevReplyHandler;
        SetCommand('B');
        SetAnswerLength(21);
        break;
    case ZM_RESTART_SENSOR:
        if (m_peers.measureControl) m_peers.measureControl->CheckSensorVersion(0);
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        COM_SendSingleShot(false, -1);
        break;
    case ZM_STOP_MEASURE:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        break;
    case ZM_USERCALIB_DEACTIVATE:
    case ZM_USERCALIB_ACTIVATE:
    case ZM_SET_NEW_USERCALIB:
    case ZM_SET_NEW_FACCALIB:
    case ZM_SET_INACCURACY_USERCALIB:
    case ZM_SET_INACCURACY_FACTORYCALIB:
    case ZM_CNFG_ST_OPERATION_BLOCK:
    case ZM_CNFG_RT_FACTORY_CALIB_NEW:
    case ZM_FACTORYCALIB_ACTIVATE:
    case ZM_FACTORYCALIB_DEACTIVATE:
    case ZM_CNFG_SET_NEW_LOW_PASS_FILTER:
        m_strReceiveCOM.Empty();
        m_pfnReplyHandler = nullptr;
        m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
        COM_ZMStartInit();
        break;
    case ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED:
        if (m_peers.startUp) m_peers.startUp->FinishSearch();
        if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
        break;
    case ZM_RESTART_SENSOR_AFTER_INIT:
        COM_ZMStartInit();
        break;
    default:
        break;
    }
}
