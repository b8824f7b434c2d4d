#pragma once
// The two prompts of a user calibration. The zero-point prompt asks for the unloaded sensor,
// resets the acquisition record and starts the zero-point and control-signal phases; when both
// are done the controller starts its wait (timer 1, 500 ms), after which it hands over to the
// scale-value prompt. The scale-value prompt asks for the reference load and starts the scale
// phase; the acquisition shows its warning element when the values stay too low.

#include <functional>

#include "platform/wnd.h"

class CComPort;

namespace sensor_admin {

class CDlgSensorCalibration;

constexpr UINT_PTR kZeroPromptTimerWait = 1;
constexpr UINT kZeroPromptWaitMs = 500;

class CDlgCalibMsgGetValueZero : public CWnd {
public:
    CDlgCalibMsgGetValueZero(CComPort& com, CDlgSensorCalibration& page,
                             platform::MessageLoop& loop = platform::MessageLoop::Current());
    void Open();
    void OnOK();
    void OnCancel();
    void Close();
    void StartWaitTimer();
    bool IsVisible() const { return m_bVisible; }
    bool IsAcquiring() const { return m_bAcquiring; }
    bool m_bWithoutControl = false;
    std::function<void()> onChanged;

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void Changed();
    CComPort& m_com;
    CDlgSensorCalibration& m_page;
    bool m_bVisible = false;
    bool m_bAcquiring = false;
};

class CDlgCalibMsgGetValueEnd : public CWnd {
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
    bool IsVisible() const { return m_bVisible; }
    bool IsAcquiring() const { return m_bAcquiring; }
    std::function<void()> onChanged;

private:
    void Changed();
    CComPort& m_com;
    CDlgSensorCalibration& m_page;
    bool m_bVisible = false;
    bool m_bAcquiring = false;
    bool m_bWarningVisible = false;
};

}  // namespace sensor_admin
