#include "measurement/channel_scaling_page.h"

#include <cmath>
#include <cstdlib>

#include "environment/lang_ui.h"
#include "environment/number_text.h"
#include "measurement/channel_scaling_numbers.h"
#include "res/string_table.h"

namespace measurement {

namespace {

constexpr UINT kTextSensor = 5111;
constexpr UINT kTextChannelA = 5321;
constexpr UINT kTextChannelB = 5322;
constexpr UINT kTextSensorAdjustment = 5927;
constexpr UINT kTextScaling = 5341;
constexpr UINT kTextAngle = 5031;
constexpr UINT kTextSpeed = 5032;
constexpr UINT kTextUnitRpm = 5583;  // "1/min"
constexpr UINT kTextEquate = 5380;
constexpr UINT kTextAdu = 5319;
constexpr UINT kTextReadValue = 5354;
constexpr UINT kTextCreate = 5346;
constexpr UINT kTextChange = 5296;
constexpr UINT kTextScalingChange = 5335;
constexpr UINT kTextCancel = 5237;
constexpr UINT kTextReferenceRefused = 5397;

}  // namespace

CDlgSoftwareConfig::CDlgSoftwareConfig(IScalingHost& host) : m_host(host) {}

CDlgSoftwareConfig::~CDlgSoftwareConfig() { Release(); }

bool CDlgSoftwareConfig::OnInitDialog()
{
    if (!m_bFirstInit) return true;
    m_nLanguage = GetLanguage();
    if (BYTE* running = m_host.PanelRunningByte()) {
        m_bPreviousRunning = *running;
        *running = 1;
        m_bHolding = true;
    }
    m_bFirstInit = false;
    return true;
}

void CDlgSoftwareConfig::Release()
{
    if (!m_bHolding) return;
    if (BYTE* running = m_host.PanelRunningByte()) *running = m_bPreviousRunning;
    m_bHolding = false;
}

bool CDlgSoftwareConfig::UnitFactorUsable() const { return std::isfinite(m_dUnitFactor) && m_dUnitFactor != 0.0; }

void CDlgSoftwareConfig::OnShowWindow(bool show)
{
    if (!show || m_host.IsReloadSuppressed()) return;
    Load();
    if (m_controls.Text(IDC_SCALE_SENSOR_UNIT) == "\xB0" "C") {
        // Temperatures are not scaled.
        m_controls.Enable(IDC_SCALE_TARGET, false);
        m_controls.Enable(IDC_SCALE_UNIT, false);
        m_controls.Enable(IDC_SCALE_SAVE, false);
    }
}

void CDlgSoftwareConfig::Load()
{
    m_nLanguage = GetLanguage();
    m_bLocked = true;
    m_info = m_host.ChannelInfo(m_nChannel);
    m_controls.SetText(IDC_SCALE_UNIT, m_sUserUnit);

    if (m_dScaleFactor == 0.0) {
        if (m_nLanguage == 2000 || m_nLanguage == 4000) {
            const CString scaling = LoadLangString(kTextScaling);
            m_sCaption = LoadLangString(kTextCreate) + " de l" + scaling.Mid(1);
        } else {
            m_sCaption = LoadLangString(kTextScaling) + " " + LoadLangString(kTextCreate);
        }
        m_controls.SetText(IDC_SCALE_SAVE, LoadLangString(kTextCreate));
    } else {
        m_sCaption = LoadLangString(kTextScalingChange);
        m_controls.SetText(IDC_SCALE_SAVE, LoadLangString(kTextChange));
    }
    m_controls.SetText(IDC_SCALE_CANCEL, LoadLangString(kTextCancel));
    if (m_info.activePorts >= 2)
        m_controls.SetText(IDC_SCALE_CHANNEL_GROUP,
                           CString::Formatted("%s %d", LoadLangString(kTextSensor).GetString(), m_info.sensorNumber));
    else
        m_controls.SetText(IDC_SCALE_CHANNEL_GROUP, m_nChannel == 0   ? LoadLangString(kTextChannelA)
                                                    : m_nChannel == 1 ? LoadLangString(kTextChannelB)
                                                                      : CString("n.a."));
    m_controls.SetText(IDC_SCALE_SENSOR_GROUP, LoadLangString(kTextSensorAdjustment));
    m_controls.SetText(IDC_SCALE_SCALING_GROUP, LoadLangString(kTextScaling));

    CString valueText, unitText;
    if (m_info.encoder) {
        m_controls.SetText(IDC_SCALE_MEASURAND, LoadLangString(m_info.encoderAngle ? kTextAngle : kTextSpeed));
        m_dNominalValue = m_info.encoderAngle ? 360.0 : 30000.0;
        valueText = CString::Formatted("%d", static_cast<int>(m_dNominalValue));
        // The speed's unit is named in the language shown, as everywhere else.
        unitText = m_info.encoderAngle ? CString("\xB0") : LoadLangString(kTextUnitRpm);
        m_dUnitFactor = 1.0;
    } else {
        m_controls.SetText(IDC_SCALE_MEASURAND, m_info.measurandText);
        valueText = m_info.nominalValueText;
        unitText = m_info.unitText;
        m_dUnitFactor = m_info.unitFactor;
        CString point = valueText;
        point.Replace(',', '.');
        m_dNominalValue = std::atof(point.GetString());
    }
    m_controls.SetText(IDC_SCALE_REFERENCE, valueText);
    m_dReference = m_dNominalValue;
    m_controls.SetText(IDC_SCALE_NOMINAL, valueText);
    m_controls.SetText(IDC_SCALE_SENSOR_UNIT, unitText);
    m_controls.SetText(IDC_SCALE_REFERENCE_UNIT, unitText);

    m_dNominalCounts = m_info.nominalCounts;
    const double counts = std::isfinite(m_dNominalCounts) ? std::trunc(m_dNominalCounts) : 0.0;
    m_controls.SetText(IDC_SCALE_COUNTS, CString::Formatted("%.0f", counts));
    m_controls.SetText(IDC_SCALE_COUNTS_UNIT, LoadLangString(kTextAdu));
    m_controls.SetText(IDC_SCALE_READ, LoadLangString(kTextReadValue));
    m_controls.SetText(IDC_SCALE_EQUATE1, LoadLangString(kTextEquate));
    m_controls.SetText(IDC_SCALE_EQUATE2, LoadLangString(kTextEquate));

    // A unit factor of 0 (or none at all) leaves nothing sound to show or to save.
    if (UnitFactorUsable()) {
        m_dTarget = m_dNominalValue * m_dScaleFactor / m_dUnitFactor;
        m_controls.SetText(IDC_SCALE_TARGET, LocalizeDecimalSeparator(FormatScalingTarget(m_dTarget), m_nLanguage));
    } else {
        m_dTarget = 0.0;
        m_controls.SetText(IDC_SCALE_TARGET, "n.a.");
    }
    m_controls.Enable(IDC_SCALE_SAVE, UnitFactorUsable());
    m_controls.Enable(IDC_SCALE_TARGET, true);
    m_controls.Enable(IDC_SCALE_UNIT, true);
    m_bLocked = false;
}

void CDlgSoftwareConfig::OnReadValue() { m_host.RequestSingleShot(m_nChannel); }

void CDlgSoftwareConfig::SetCurrentMeasuredValue(LONG raw1, LONG raw2)
{
    const LONG raw = m_info.activePorts < 2 && m_nChannel == 1 ? raw2 : raw1;
    const double value = static_cast<double>(raw) * m_info.countsToUnit * m_dUnitFactor;
    m_bLocked = true;
    m_controls.SetText(IDC_SCALE_REFERENCE, FormatScalingReading(value, m_nLanguage));
    m_bLocked = false;
    m_dReference = std::isfinite(value) ? value : 0.0;
}

void CDlgSoftwareConfig::OnReferenceChanged()
{
    if (!m_bLocked) m_dReference = TextToDouble(m_controls.Text(IDC_SCALE_REFERENCE));
}

void CDlgSoftwareConfig::OnTargetChanged()
{
    if (!m_bLocked) m_dTarget = TextToDouble(m_controls.Text(IDC_SCALE_TARGET));
}

void CDlgSoftwareConfig::OnUnitChanged()
{
    if (!m_bLocked) m_sUserUnit = m_controls.Text(IDC_SCALE_UNIT).Left(5);
}

bool CDlgSoftwareConfig::OnOK()
{
    if (!(m_dReference >= 1e-9)) {
        LangMessageBox(kTextReferenceRefused);
        return false;
    }
    if (!UnitFactorUsable()) return false;
    const double factor = m_dTarget / m_dReference * m_dUnitFactor;
    if (!std::isfinite(factor)) return false;
    m_dScaleFactor = factor;
    Release();
    return true;
}

void CDlgSoftwareConfig::OnCancel() { Release(); }

}  // namespace measurement
