#pragma once
// CDlgSoftwareConfig: the logic of the channel scaling page. It shows a channel's own setting
// (nominal value and unit, and the converter counts that correspond to them) and lets the user
// state that a reference value in the sensor's unit is to read as a target value in a unit of
// his own (up to five characters). The reference can be typed or read from the sensor with one
// single shot. Save computes the new factor; the opener stores it with the unit text and sends
// both to the sensor.
//
// While the page is open the control panel's running byte is held at 1, so that nothing else
// talks to the sensor as if it were idle; closing puts back the value it had before.

#include "measurement/page_controls.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

namespace measurement {

constexpr int kScalingDialogId = 204;

// Controls of the page.
enum ScalingControl : int {
    IDC_SCALE_REFERENCE = 1298,
    IDC_SCALE_TARGET = 1299,
    IDC_SCALE_UNIT = 1300,
    IDC_SCALE_READ = 1301,
    IDC_SCALE_CHANNEL_GROUP = 1302,
    IDC_SCALE_SENSOR_GROUP = 1303,
    IDC_SCALE_SCALING_GROUP = 1304,
    IDC_SCALE_MEASURAND = 1305,
    IDC_SCALE_NOMINAL = 1306,
    IDC_SCALE_SENSOR_UNIT = 1307,
    IDC_SCALE_COUNTS = 1308,
    IDC_SCALE_COUNTS_UNIT = 1309,
    IDC_SCALE_REFERENCE_UNIT = 1310,
    IDC_SCALE_EQUATE1 = 1460,
    IDC_SCALE_EQUATE2 = 1461,
    IDC_SCALE_SAVE = 1,
    IDC_SCALE_CANCEL = 2,
};

// What the page reads of the channel, through the main frame.
struct ScalingChannelInfo {
    int activePorts = 1;
    int sensorNumber = 1;          // of the sensor that carries the channel
    bool encoder = false;          // angle or speed encoder
    bool encoderAngle = false;     // encoder kind: angle (else speed)
    CString measurandText;         // the channel's measurand from the sensor information
    // The channel view's formatter given the nominal-value code: nominal value text, unit text
    // and the factor between the nominal value's unit and the shown one.
    CString nominalValueText;
    CString unitText;
    double unitFactor = 1.0;
    double countsToUnit = 1.0;
    double nominalCounts = 0.0;
};

class IScalingHost {
public:
    virtual ~IScalingHost() = default;
    virtual ScalingChannelInfo ChannelInfo(int channel) = 0;
    // One single shot whose answer comes back through SetCurrentMeasuredValue.
    virtual void RequestSingleShot(int channel) = 0;
    // The control panel's running byte; null when there is no panel.
    virtual BYTE* PanelRunningByte() = 0;
    // The frame's suppress flag: the page skips its loading while it is set.
    virtual bool IsReloadSuppressed() const = 0;
};

class CDlgSoftwareConfig {
public:
    explicit CDlgSoftwareConfig(IScalingHost& host);
    ~CDlgSoftwareConfig();

    // Set by the opener before the page is shown.
    int m_nChannel = 0;
    double m_dScaleFactor = 0.0;
    CString m_sUserUnit;

    PageControls& Controls() { return m_controls; }
    const PageControls& Controls() const { return m_controls; }
    CString Caption() const { return m_sCaption; }

    bool OnInitDialog();
    void OnShowWindow(bool show);
    void OnReadValue();
    void SetCurrentMeasuredValue(LONG raw1, LONG raw2);
    // The user's edits (the shell has written the new text into the controls).
    void OnReferenceChanged();
    void OnTargetChanged();
    void OnUnitChanged();
    // Save: true when the page closes (the new factor is in m_dScaleFactor).
    bool OnOK();
    void OnCancel();

    bool IsOpen() const { return m_bHolding; }

private:
    void Load();
    void Release();
    bool UnitFactorUsable() const;

    IScalingHost& m_host;
    PageControls m_controls;
    ScalingChannelInfo m_info;
    bool m_bFirstInit = true;
    int m_nLanguage = 0;
    double m_dUnitFactor = 1.0;
    double m_dNominalValue = 0.0;
    double m_dNominalCounts = 0.0;
    double m_dReference = 0.0;
    double m_dTarget = 0.0;
    CString m_sCaption;
    bool m_bLocked = false;
    bool m_bHolding = false;
    BYTE m_bPreviousRunning = 0;
};

}  // namespace measurement
