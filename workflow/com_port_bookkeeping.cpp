// Bookkeeping around measurements and calibrations: record and statistics resets, scale
// values and factors, the status text of a port row, and look-ups over the port table.

#include <algorithm>
#include <numbers>

#include "platform/message_box.h"
#include "workflow/com_port.h"
#include "workflow/connection_state.h"
#include "workflow/workflow_texts.h"

namespace {
constexpr double kNoReading = 66666.6666666;
constexpr double kUntouchedScaleFactor = 1.00000123;
constexpr double kCelsiusPerCount = 0.03125;
}  // namespace

void CComPort::COM_InitSensorRecords()
{
    for (CSensorRecord& sensor : m_Sensor) sensor.Reset();
}

void CComPort::COM_ResetMeasureStatistics()
{
    if (m_bClearValues) {
        m_aiValue.fill(0);
        m_bClearValues = false;
    }
    for (std::size_t i = 0; i < m_aiValue.size(); ++i) m_aiPrevValue[i] = m_aiValue[i] + 1;
    for (auto& table : m_adMissingMarker)
        for (double& marker : table) marker = marker == -10.0 ? -9.0 : -10.0;
    for (auto& table : m_adMinValue) table.fill(1e99);
    for (auto& table : m_adMaxValue) table.fill(-1e99);
    COM_CalcScaleFactorsOfActiveChannels();
}

void CComPort::COM_CalcScaleFactorsOfActiveChannels()
{
    if (m_nCountActivePorts < 0) return;
    for (int i = 0; i < kChannelCount; ++i) {
        if (i >= 4) {
            if (GetDisplayFlag(i - 4)) COM_CalcScaleFactors(i);
        } else if (i < m_nCountActivePorts) {
            COM_CalcScaleFactors(i);
        }
    }
}

void CComPort::COM_InitCalibRecords()
{
    for (CalibChannel& channel : m_sCalib.channel) {
        channel.dZeroRaw = channel.dScaleRaw = channel.dControlRaw = kNoReading;
        channel.dZeroValue = channel.dScaleValue = channel.dControlValue = kNoReading;
        channel.nCount = 0;
        channel.nSum = 0;
        channel.bZeroDone = channel.bScaleDone = channel.bControlDone = 0;
        channel.bControlOn = 1;
        channel.bFollowing = 0;
    }
    m_sCalib.nCount = 0;
}

void CComPort::COM_ClearControlFlags()
{
    for (CalibChannel& channel : m_sCalib.channel) channel.bControlOn = 0;
}

bool CComPort::IsControlOn() const { return m_sCalib.channel[0].bControlOn || m_sCalib.channel[1].bControlOn; }

double CComPort::COM_GetScaleValue(int sensor, BYTE* valid, BYTE* kind, const double* value, BYTE selector) const
{
    const CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor >= 0 && sensor < kMaxSensorPorts ? sensor : 0)];
    const BYTE state = record.m_sIdent[kIdentCalibration];
    double result = 0.0;
    if (value) {
        result = *value;
    } else if (state == 2) {
        // The stored measuring inaccuracy (a percentage) of the calibration in force.
        result = selector == 1 ? record.m_sRotorFactoryCalib.dInaccuracyA : record.m_sRotorFactoryCalib.dInaccuracyB;
    } else if (state == 3) {
        result = selector == 1 ? record.m_sRotorUserCalib.dInaccuracyA : record.m_sRotorUserCalib.dInaccuracyB;
    }
    if (kind) *kind = state;
    if (valid) *valid = result > 0.0 && result < 5.0 ? 1 : 0;
    return result;
}

bool CComPort::COM_CalcInaccuracy(int sensor) const
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return false;
    const CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor)];
    if (record.m_sIdent[kIdentCalibration] != 3) return false;
    const RotorCalib& u = record.m_sRotorUserCalib;
    const RotorCalib& f = record.m_sRotorFactoryCalib;
    return u.nGainCodeA == f.nGainCodeA && u.nOffsetA == f.nOffsetA && u.nGainCodeB == f.nGainCodeB &&
           u.nOffsetB == f.nOffsetB && u.nControlCodeA == f.nControlCodeA && u.nControlCodeB == f.nControlCodeB &&
           u.nFullScaleCountA == f.nFullScaleCountA && u.nFullScaleCountB == f.nFullScaleCountB;
}

void CComPort::COM_CalcScaleFactors(int sensor)
{
    if (!m_pMainFrame) {
        AfxMessageBox("The calculation of scale factors will be made later");
        return;
    }
    if (sensor < 0 || sensor >= kChannelCount) return;
    const bool single = m_nCountActivePorts < 2 && m_iZMCOMConfgFlow != ZM_SENSOR_SET_CHANGED;
    const int channel = single ? 0 : m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)];
    if (channel < 0 || channel >= kChannelCount) return;
    m_adScaleFactor[static_cast<std::size_t>(channel)] = channel < 4 ? kUntouchedScaleFactor : 0.0;
    const CSensorRecord& record = m_Sensor[static_cast<std::size_t>(sensor < kMaxSensorPorts ? sensor : 0)];

    auto unitId = [](const workflow::DisplayChannelEntry& entry) -> UINT {
        const auto index = static_cast<std::size_t>(entry.selectedUnit);
        return entry.selectedUnit >= 0 && index < entry.unitIds.size() ? entry.unitIds[index] : 0;
    };
    auto unitFactor = [](const workflow::DisplayChannelEntry& entry) {
        const auto index = static_cast<std::size_t>(entry.selectedUnit);
        return entry.selectedUnit >= 0 && index < entry.unitFactors.size() ? entry.unitFactors[index] : 1.0;
    };

    // The other channels start unscaled only with a single sensor: of several, each is another
    // sensor's, whose scale stays (the first read again left the second's view in raw counts).
    if (sensor == 0 && single && m_iZMCOMConfgFlow != ZM_CNFG_SW_CONFIG_SET_SCALING_A &&
        m_iZMCOMConfgFlow != ZM_CNFG_SW_CONFIG_SET_SCALING_B) {
        for (int c = 1; c < kChannelCount; ++c) {
            m_adScaleFactor[static_cast<std::size_t>(c)] = 1.0;
            if (workflow::DisplayChannelEntry* entry = m_pMainFrame->DisplayEntry(c)) entry->perCount = 1.0;
        }
    }

    workflow::DisplayChannelEntry* entry = m_pMainFrame->DisplayEntry(channel);
    if (entry && channel < 4) {
        if (entry->divisor != 0) entry->perCount = record.RangeEnd(false, !single) / entry->divisor;
        const UINT unit = unitId(*entry);
        double factor = entry->perCount * unitFactor(*entry);
        if (unit == workflow::kTextUnitAdu) factor = 1.0;
        else if (unit == workflow::kTextUnitCelsius) factor = kCelsiusPerCount;
        m_adScaleFactor[static_cast<std::size_t>(channel)] = factor;
    } else if (entry) {
        m_adScaleFactor[static_cast<std::size_t>(channel)] = 2.0 * std::numbers::pi * unitFactor(*entry) / 60.0;
    }

    workflow::DisplayChannelEntry* entryB = m_pMainFrame->DisplayEntry(1);
    if (single && entryB && entryB->divisor != 0) {
        entryB->perCount = record.RangeEnd(true, false) / entryB->divisor;
        m_adScaleFactor[1] = (unitId(*entryB) == workflow::kTextUnitAdu || IsDeviceCode5(record.m_sIdent))
                                 ? 1.0 : entryB->perCount * unitFactor(*entryB);
    }
}

// Kept in the row of the port being worked on. Each slot holds its own sensor's text: the text
// of sensor 1 leaves that of sensor 0 in place, so that both answers of a two-sensor port stay.
void CComPort::COM_StoreSensorStatusText(const CString& text)
{
    CPortRecord* rec = CurrentPortRecord();
    if (!rec) return;
    const int slot = CurrentSensor().m_sIdent[kIdentAddress];
    if (slot != 0 && slot != 1) return;  // the row keeps texts of sensor numbers 0 and 1 only
    auto& bytes = rec->m_abStatusSlot[static_cast<std::size_t>(slot)];
    bytes.fill(0);
    const int length = std::min(text.GetLength(), kStatusSlotSize);
    std::copy(text.bytes(), text.bytes() + length, bytes.begin());
    rec->m_bSlotFilled[static_cast<std::size_t>(slot)] = 1;
    rec->m_cLastSlot = static_cast<BYTE>(slot);
}

bool CComPort::IsAnyPortWithModuleIndex() const
{
    for (const CPortRecord& rec : m_PortRec) {
        if (rec.m_strPortName.IsEmpty()) break;
        if (rec.m_Sensor.m_sStatorHeader.cModuleIndex != 0) return true;
    }
    return false;
}

bool CComPort::IsLastPortMissing() const
{
    if (m_strLastPortName.IsEmpty()) return false;
    for (const CPortRecord& rec : m_PortRec) {
        if (rec.m_strPortName.IsEmpty()) break;
        if (rec.m_strPortName == m_strLastPortName) return false;
    }
    return true;
}

bool CComPort::COM_CheckSameDeviceSerial()
{
    int first = -1;
    for (int row = 0; row < kPortTableRows; ++row) {
        const CPortRecord& rec = m_PortRec[static_cast<std::size_t>(row)];
        if (rec.m_nState != kPortStateAvailable) continue;
        if (first < 0) {
            first = row;
            continue;
        }
        if (rec.m_Sensor.m_sStatorHeader.nSerialNo != m_PortRec[static_cast<std::size_t>(first)].m_Sensor.m_sStatorHeader.nSerialNo)
            return false;
    }
    if (first < 0) return true;
    const DWORD serial = m_PortRec[static_cast<std::size_t>(first)].m_Sensor.m_sStatorHeader.nSerialNo;
    if (serial == 0 || serial == 0xFFFFFFFF) {
        CString text = workflow::WorkflowText(workflow::kTextSerialNotAssigned);
        text.Replace("<this app>", "TSL-USB-KM3");
        AfxMessageBox(text, platform::MB_OK | platform::MB_ICONSTOP);
        m_bCloseWithoutSaving = 1;
        if (m_pMainFrame) {
            m_pMainFrame->BeginWaitCursorOnce();
            m_pMainFrame->HideSensorPages();
        }
        SetFrameTimer(kTimerClose, 1000);
        return false;
    }
    return true;
}
