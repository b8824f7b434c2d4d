#include "sensor_admin/calib_prompts.h"

#include "sensor_admin/dlg_sensor_calibration.h"
#include "workflow/com_port.h"

namespace sensor_admin {

CCalibPrompt::CCalibPrompt(CComPort& com, CDlgSensorCalibration& page, platform::MessageLoop& loop)
    : CWnd(loop), m_com(com), m_page(page)
{
}

// ---- Zero point ----------------------------------------------------------------------------------

CDlgCalibMsgGetValueZero::CDlgCalibMsgGetValueZero(CComPort& com, CDlgSensorCalibration& page, platform::MessageLoop& loop)
    : CCalibPrompt(com, page, loop)
{
}

void CDlgCalibMsgGetValueZero::Open()
{
    m_com.COM_InitCalibRecords();
    m_com.COM_ClearControlFlags();
    m_bWithoutControl = false;
    m_bAcquiring = false;
    m_bVisible = true;
    Changed();
}

void CDlgCalibMsgGetValueZero::OnOK()
{
    if (!m_bVisible || m_bAcquiring) return;
    for (CalibChannel& channel : m_com.m_sCalib.channel) channel.bWithoutControlMark = m_bWithoutControl ? 1 : 0;
    m_bAcquiring = true;
    Changed();
    m_page.OnZeroAcquisitionStarted();
    m_com.COM_ZMReadRawCalibInit(0);
}

void CDlgCalibMsgGetValueZero::OnCancel()
{
    Close();
    m_page.Cancel();
}

void CDlgCalibMsgGetValueZero::Close()
{
    CWnd::KillTimer(kZeroPromptTimerWait);
    m_bVisible = false;
    m_bAcquiring = false;
    Changed();
}

void CDlgCalibMsgGetValueZero::StartWaitTimer() { CWnd::SetTimer(kZeroPromptTimerWait, kZeroPromptWaitMs); }

void CDlgCalibMsgGetValueZero::OnTimer(UINT_PTR id)
{
    CWnd::KillTimer(id);
    if (id != kZeroPromptTimerWait || !m_bVisible) return;
    // Zero point and control signal are read: the scale value is next.
    Close();
    m_page.OnZeroPhaseDone();
}

// ---- Scale value ---------------------------------------------------------------------------------

CDlgCalibMsgGetValueEnd::CDlgCalibMsgGetValueEnd(CComPort& com, CDlgSensorCalibration& page, platform::MessageLoop& loop)
    : CCalibPrompt(com, page, loop)
{
}

void CDlgCalibMsgGetValueEnd::Open()
{
    m_bVisible = true;
    m_bAcquiring = false;
    m_bWarningVisible = false;
    Changed();
}

void CDlgCalibMsgGetValueEnd::OnOK()
{
    if (!m_bVisible || m_bAcquiring) return;
    m_bAcquiring = true;
    m_bWarningVisible = false;
    Changed();
    m_page.AcceptNewValues();
    m_page.OnScaleAcquisitionStarted();
    m_com.COM_ZMReadRawCalibInit(1);
}

void CDlgCalibMsgGetValueEnd::OnCancel()
{
    if (!m_bVisible) return;
    m_bVisible = false;
    m_bAcquiring = false;
    Changed();
    m_page.Cancel();
}

void CDlgCalibMsgGetValueEnd::CloseIfVisible()
{
    if (!m_bVisible) return;
    // The views show again what they hold: the prompt stood over them while the values came.
    if (m_com.m_pMainFrame) m_com.m_pMainFrame->RefreshChannelViews(4);
    m_bVisible = false;
    m_bAcquiring = false;
    Changed();
    m_page.OnScalePromptClosed(false);
}

void CDlgCalibMsgGetValueEnd::ShowWarning()
{
    m_bWarningVisible = true;
    Changed();
}

}  // namespace sensor_admin
