// A request of the identification that the sensor refused. Each request of an identification
// is sent once: a refusal either lets the identification go on without what was refused, or
// ends it with the sensor not used and the user told why.

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/workflow_texts.h"

namespace {
constexpr BYTE kStatorOperationBlock = 0x02;
constexpr BYTE kFirstRotorBlock = 0x80;
constexpr BYTE kRotorUserCalibBlock = 0x82;
constexpr BYTE kRotorOperationBlock = 0x83;
}  // namespace

void CComPort::ContinueIdentificationAfterRefusal(CSensorRecord& sensor)
{
    const BYTE block = GetBlockNumber();
    const bool blockRead = m_cAwaitedRequest == 'D';
    if (blockRead && block == kRotorUserCalibBlock) {
        // A sensor without a user calibration has no such block: it has no user calibration.
        sensor.m_sRotorUserCalib = RotorCalib{};
        sensor.m_strBlockRotorUserCalib.Empty();
        sensor.m_anBlockCheck[kSlotRotorUserCalib] = kBlockEmpty;
        m_strBlockRotorUserCalib.Empty();
        RequestNextBlock(kRotorOperationBlock);
        return;
    }
    if ((blockRead && block >= kFirstRotorBlock) || m_cAwaitedRequest == 'A') {
        // Without its rotor header, factory calibration or operation block nothing measured with
        // the sensor could be shown right, and without its first value the identification
        // cannot end; asked again, the sensor would refuse again.
        RejectSensorOfIdentification(blockRead, block, sensor.m_cRefusalCode);
        return;
    }
    // A refused stator block: the stator's software configuration is not there; the
    // identification goes on with the rotor blocks.
    if (m_iZMCOMConfgFlow == ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED && m_peers.startUp)
        m_peers.startUp->StepSearchProgress(0);
    // The stator blocks not read are not there: no write starts from what another sensor read
    // into the record before.
    if (!blockRead || block <= kStatorOperationBlock) {
        sensor.m_strBlockStatorOperation.Empty();
        m_strBlockStatorOperation.Empty();
    }
    sensor.m_strBlockStatorSwConfig.Empty();
    m_strBlockStatorSwConfig.Empty();
    CSensorSwConfig& sw = sensor.m_sSwConfig;
    sw.cValid = 0;
    sw.cValid2 = 0;
    sw.cScalingA = 0;
    sw.cScalingB = 0;
    sw.cReadMark = 0;
    if (m_pMainFrame) m_pMainFrame->StoreSensorDisplayValue(m_nCurSensor);
    SendBlockRead(kFirstRotorBlock);
}

void CComPort::RejectSensorOfIdentification(bool blockRead, BYTE block, BYTE code)
{
    const bool probing = m_iZMCOMConfgFlow == ZM_CHECK_IF_HMB_USB_KM2_IS_CONNECTED;
    const int row = probing ? m_nRowCounter : m_nActivePortRec;
    // As the connection page lists it.
    const CString port = ValidRow(row) ? COM_MakePortDisplayName(m_PortRec[static_cast<std::size_t>(row)].m_strPortName)
                                       : CString();
    CString what;
    if (blockRead) {
        what.Format(workflow::WorkflowText(workflow::kTextBlockRead).GetString(), static_cast<int>(block),
                    workflow::WorkflowText(workflow::BlockNameText(block)).GetString());
    } else {
        what = workflow::WorkflowText(workflow::kTextRequestValue);
    }
    CString text;
    text.Format(workflow::WorkflowText(workflow::kTextSensorUnusable).GetString(), port.GetString(), what.GetString(),
                static_cast<int>(code));
    m_pfnReplyHandler = nullptr;
    m_strReceiveCOM.Empty();
    if (probing) {
        AfxMessageBox(text, platform::MB_ICONWARNING);
        PassOverUnusableSensor(m_nCurSensor);
    } else {
        EndConnection(text, row);
    }
}
