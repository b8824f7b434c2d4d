#include "views/display_update.h"

#include "views/display_helper.h"
#include "views/unit_lists.h"
#include "workflow/com_port.h"
#include "workflow/zm_codes.h"

namespace views {

namespace {

// A byte of the software configuration that was never written reads 255.
bool IsSet(BYTE value) { return value != 255; }

// The measurand letter of a sensor's channel: an encoder's channel B measures speed or angle.
BYTE TypeClassOf(const CSensorRecord& record, bool second)
{
    if (second && (record.m_sEncoder.cPresent || record.m_sRotorHeader.cTypeClass == 'Y')) return 'Y';
    return record.m_sRotorHeader.cTypeClass;
}

// The sensor's own unit of a channel: the user scaling it keeps for the channel. Its factor
// converts from the measurand's base unit, as the other units' factors do.
UnitEntry OwnUnitOf(const CSensorRecord& record, bool second)
{
    const CSensorSwConfig& sw = record.m_sSwConfig;
    const bool useB = record.KeepsScalingInB(second);
    UnitEntry own;
    own.textId = kOwnUnitId;
    own.text = useB ? sw.strUnitB : sw.strUnitA;
    own.text.Trim();
    own.factor = (useB ? sw.cScalingB : sw.cScalingA) == 1 ? (useB ? sw.dScaleB : sw.dScaleA) : 0.0;
    own.percent = own.factor;
    return own;
}

void StoreChannel(DisplayTable& table, const CSensorRecord& record, bool second, int language)
{
    const CSensorSwConfig& sw = record.m_sSwConfig;
    const BYTE typeClass = TypeClassOf(record, second);
    const bool angle = typeClass == 'Y' && record.m_sEncoder.cAngle != 0;
    table.typeClass = typeClass;
    std::vector<UnitEntry> units = UnitListOf(typeClass, angle);
    units.insert(units.end() - 1, OwnUnitOf(record, second));
    table.SetUnitList(units);
    table.ownUnit = table.UnitCount() - 2;
    const BYTE unit = second ? sw.cCode5B : sw.cCode5A;
    const BYTE decimals = second ? sw.cCode3B : sw.cCode3A;
    const BYTE averaging = second ? sw.cCode4B : sw.cCode4A;
    const BYTE sign = second ? sw.cFlagB : sw.cFlagA;
    const BYTE state = second ? sw.cCode2B : sw.cCode2A;
    // Only units the list holds (the end entry excluded) can be chosen, the sensor's own unit
    // only while the sensor keeps a scaling.
    const bool listed = IsSet(unit) && unit < table.UnitCount() - 1 &&
                        (unit != table.ownUnit || table.unitFactors[static_cast<std::size_t>(unit)] != 0.0);
    table.selectedUnit = listed ? unit : 0;
    table.shownUnit = table.selectedUnit;
    if (IsSet(decimals)) table.decimals = decimals & 0x07;
    if (IsSet(averaging)) table.averaging = averaging & 0x0F;
    if (IsSet(sign)) table.sign = sign ? 1 : 0;
    table.state = IsSet(state) && (state & 0x03) == kChannelOff ? kChannelOff : kChannelOn;
    if (table.divisor == 0) table.divisor = kDefaultCountValue;
    table.nominalCode = second ? record.m_sRotorHeader.nFullScaleCodeB : record.m_sRotorHeader.nFullScaleCodeA;
    table.nominalValue = second ? record.m_sRotorHeader.dFullScaleB : record.m_sRotorHeader.dFullScaleA;
    table.designation = second ? record.m_sRotorOperation.strSerialB : record.m_sRotorOperation.strSerialA;

    CDisplayHelper helper;
    CString value = "Val.?", unitText = "Unit.?";
    double factor = 0.0;
    if (helper.FormatValueText(CString::Formatted("%04x", table.nominalCode), typeClass, language, value, unitText,
                               factor))
        table.nominalText = value + " " + unitText;
    else
        table.nominalText = "n.a.";
}

}  // namespace

std::vector<SensorChannel> ChannelsOfSensor(const CComPort& com, int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return {};
    if (com.m_nCountActivePorts < 2) {
        if (sensor != 0) return {};
        return {{0, false}, {1, true}};
    }
    const int channel = com.m_nRealSensorIndex[0][static_cast<std::size_t>(sensor)];
    if (channel < 0 || channel >= kChannelP1) return {};
    return {{channel, false}};
}

void UpdateDisplayValues(DisplayTables& tables, CComPort& com, int sensor, int mode, const CSensorRecord* record,
                         int language)
{
    const std::vector<SensorChannel> channels = ChannelsOfSensor(com, sensor);
    if (mode == 0 || !record) {
        for (const SensorChannel& c : channels)
            if (DisplayTable* table = tables.Entry(c.channel)) table->Clear();
        return;
    }
    if (mode != 1) return;
    com.m_bDualDevice = com.GetZMCOMConfgFlow() != ZM_SENSOR_SET_CHANGED && CComPort::IsDeviceCodeDual(record->m_sIdent);
    for (const SensorChannel& c : channels) {
        DisplayTable* table = tables.Entry(c.channel);
        if (!table) continue;
        // A sensor whose channel B is a digital input, or whose channel layout names channel A
        // alone, has no channel B to show.
        if (c.second && (CComPort::IsDeviceCode5(record->m_sIdent) || record->HasChannelAOnly())) {
            table->Clear();
            continue;
        }
        StoreChannel(*table, *record, c.second, language);
    }
}

void StoreSensorDisplayValue(DisplayTables& tables, const CComPort& com, int sensor, int language)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return;
    const CSensorRecord& record = com.m_Sensor[static_cast<std::size_t>(sensor)];
    CDisplayHelper helper;
    for (const SensorChannel& c : ChannelsOfSensor(com, sensor)) {
        DisplayTable* table = tables.Entry(c.channel);
        if (!table) continue;
        const RotorHeader& header = record.m_sRotorHeader;
        table->nominalCode = c.second ? header.nFullScaleCodeB : header.nFullScaleCodeA;
        table->nominalValue = c.second ? header.dFullScaleB : header.dFullScaleA;
        CString value = "Val.?", unit = "Unit.?";
        double factor = 0.0;
        table->nominalText = helper.FormatValueText(CString::Formatted("%04x", table->nominalCode),
                                                    TypeClassOf(record, c.second), language, value, unit, factor)
                                 ? value + " " + unit
                                 : CString("n.a.");
    }
}

}  // namespace views
