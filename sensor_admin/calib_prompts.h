#pragma once
// The two prompts of a user calibration. The zero-point prompt asks for the unloaded sensor,
// resets the acquisition record and starts the zero-point and control-signal phases; when both
// are done the controller starts its wait (timer 1, 500 ms), after which it hands over to the
// scale-value prompt. The scale-value prompt asks for the reference load and starts the scale
// phase; the acquisition shows its warning element when the values stay too low.

#include <functional>

#include "sensor_admin/change_notice.h"
#include "platform/wnd.h"

class CComPort;

namespace sensor_admin {

class CDlgSensorCalibration;

constexpr UINT_PTR kZeroPromptTimerWait = 1;
constexpr UINT kZeroPromptWaitMs = 500;

// What both prompts share: whether the prompt is shown and acquiring, the port and the page.
class CCalibPrompt : public CWnd, public ChangeNotice {
public:
    bool IsVisible() const { return m_bVisible; }
    bool IsAcquiring() const { return m_bAcquiring; }

protected:
    CCalibPrompt(CComPort& com, CDlgSensorCalibration& page, platform::MessageLoop& loop);
    CComPort& m_com;
    CDlgSensorCalibration& m_page;
    bool m_bVisible = false;
    bool m_bAcquiring = false;
};

class CDlgCalibMsgGetValueZero : public CCalibPrompt {
public:
    CDlgCalibMsgGetValueZero(CComPort& com, CDlgSensorCalibration& page,
                             platform::MessageLoop& loop = platform::MessageLoop::Current());
    void Open();
    void OnOK();
    void OnCancel();
    void Close();
    void StartWaitTimer();
    bool m_bWithoutControl = false;

protected:
    void OnTimer(UINT_PTR id) override;
};

class CDlgCalibMsgGetValueEnd : public CCalibPrompt {
public:
    CDlgCalibMsgGetValueEnd(CComPort& com, CDlgSensorCalibration& page,
                            platform::MessageLoop& loop = platform::MessageLoop::Current());
    void Open();
    void OnOK();
    void OnCancel();
    // Ends the prompt when it is shown.
    void CloseIfVisible();
    // The warning element: the measured values stay too low for a scale reading.
    void ShowWarning();
    bool IsWarningVisible() const { return m_bWarningVisible; }

private:
    bool m_bWarningVisible = false;
};

}  // namespace sensor_admin
