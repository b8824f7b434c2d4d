// One sensor of several read again on its own port. The identification of a sensor talks to
// the first port in configuration mode; a sensor of several has its own port, whose bytes
// otherwise go to the measuring-mode analysis. For the read that port stands in for the first
// one, its bytes go to the receive chain, and the answers fill that sensor's record. The other
// sensors stay connected, and what the controller keeps of the first connection (the block
// texts the single-port writers start from, the first port, the codec's address) is as before
// once the read has ended, whichever way it ends.

#include "workflow/com_port.h"

std::array<CString*, 9> CComPort::KeptBlockTexts()
{
    return {&m_strBlockRotorUserCalib, &m_strBlockRotorFactoryCalib, &m_strBlockStatorHeader, &m_strBlockRotorHeader,
            &m_strBlockStatorHardware, &m_strBlockStatorOperation, &m_strBlockStatorSwConfig,
            &m_strPendingSwConfigBlock, &m_strBlockRotorOperation};
}

bool CComPort::COM_ReadSensorAgain(int sensor)
{
    if (m_nCountActivePorts < 2) return sensor == 0 && COM_StartInitStep();
    if (sensor < 0 || sensor >= m_nCountActivePorts || IsRereading()) return false;
    const std::shared_ptr<workflow::ISensorPort> port = m_pPortManOfPort[static_cast<std::size_t>(sensor)];
    if (!port) return false;
    m_reread.sensor = sensor;
    m_reread.firstPort = m_pPortMan;
    m_reread.addressHi = GetAddressHi();
    m_reread.addressLo = GetAddressLo();
    const std::array<CString*, 9> kept = KeptBlockTexts();
    for (std::size_t i = 0; i < kept.size(); ++i) m_reread.keptBlocks[i] = *kept[i];

    m_pPortMan = port;
    m_nCurSensor = sensor;
    const int row = m_nPortRecOfSensor[static_cast<std::size_t>(sensor)];
    if (ValidRow(row)) SetSensorAddress(m_PortRec[static_cast<std::size_t>(row)].m_nAddress, 255);
    EmptyRecvBuffer(sensor);
    if (COM_ZMStartInit()) return true;
    COM_EndSensorReread();
    return false;
}

void CComPort::COM_FinishSensorReread()
{
    const int sensor = m_reread.sensor;
    EndIdentificationWatch();
    m_iZMCOMConfgFlow = ZM_STOP_MEASURE;
    m_pfnReplyHandler = nullptr;
    m_strReceiveCOM.Empty();
    m_bStartupStatus = 0;
    // The configuration write stores the set-up into the blocks just read.
    HandOverBlockTexts(sensor, m_Sensor[static_cast<std::size_t>(sensor)]);
    COM_EndSensorReread();
    if (m_pMainFrame) m_pMainFrame->EndWaitCursorOnce();
    if (m_peers.information) m_peers.information->SetTimer(workflow::kInfoPageTimerFill, 10);
}

void CComPort::COM_EndSensorReread()
{
    if (!IsRereading()) return;
    m_pPortMan = m_reread.firstPort;
    SetSensorAddress(m_reread.addressHi, m_reread.addressLo);
    const std::array<CString*, 9> kept = KeptBlockTexts();
    for (std::size_t i = 0; i < kept.size(); ++i) *kept[i] = m_reread.keptBlocks[i];
    m_nCurSensor = 0;
    m_reread = SensorReread();
}
