#include "views/display_update.h"

#include "views/display_helper.h"
#include "views/unit_lists.h"
#include "workflow/com_port.h"
#include "workflow/zm_codes.h"

namespace views {

namespace {

// A byte of the software configuration that was never written reads 255.
bool IsSet(BYTE value) { return value != 255; }

// The codes the set-up page lists. A code beyond them (an erased memory's decimals 7 and
// averaging 15) is shown, used and written back as the default a channel has before any sensor
// names one, as a unit beyond the list is.
constexpr BYTE kMaxListedDecimals = 4;
constexpr BYTE kMaxListedAveraging = 9;
constexpr int kDefaultDecimals = 2;
constexpr int kDefaultAveraging = 0;  // one value

// Both bytes of a channel as an erased memory leaves them (0xFF: unit 31, decimals 7,
// averaging 15, state 3, sign "-"): nothing was chosen for it, its sign no more than the rest.
bool IsErasedChannel(BYTE unit, BYTE decimals, BYTE averaging, BYTE sign, BYTE state)
{
    return unit == 0x1F && decimals == 0x07 && averaging == 0x0F && sign == 1 && state == 0x03;
}

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
    own.text = CSensorSwConfig::ShownUnit(useB ? sw.strUnitB : sw.strUnitA);
    own.factor = (useB ? sw.cScalingB : sw.cScalingA) == 1 ? (useB ? sw.dScaleB : sw.dScaleA) : 0.0;
    own.percent = own.factor;
    return own;
}

void StoreRangeEndText(DisplayTable& table, int language)
{
    CString value = "Val.?", unit = "Unit.?";
    double factor = 0.0;
    table.nominalText = FormatRangeEnd(table, CString::Formatted("%04x", table.nominalCode), language, value, unit, factor)
                            ? value + " " + unit
                            : CString("n.a.");
}

void StoreChannel(DisplayTable& table, const CSensorRecord& record, bool second, bool several, int language)
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
    if (IsSet(decimals)) table.decimals = decimals <= kMaxListedDecimals ? decimals : kDefaultDecimals;
    if (IsSet(averaging)) table.averaging = averaging <= kMaxListedAveraging ? averaging : kDefaultAveraging;
    if (IsSet(sign)) table.sign = sign && !IsErasedChannel(unit, decimals, averaging, sign, state) ? 1 : 0;
    table.state = IsSet(state) && (state & 0x03) == kChannelOff ? kChannelOff : kChannelOn;
    const DWORD counts = record.RangeEndCounts(second, several);
    table.divisor = counts > 0 ? static_cast<int>(counts) : kDefaultCountValue;
    table.encoder = record.CountsEncoderOn(second, several);
    table.nominalCode = second ? record.m_sRotorHeader.nFullScaleCodeB : record.m_sRotorHeader.nFullScaleCodeA;
    table.nominalValue = record.RangeEnd(second, several);
    table.designation = second ? record.m_sRotorOperation.strSerialB : record.m_sRotorOperation.strSerialA;
    StoreRangeEndText(table, language);
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
        StoreChannel(*table, *record, c.second, com.m_nCountActivePorts >= 2, language);
    }
}

void StoreSensorDisplayValue(DisplayTables& tables, const CComPort& com, int sensor, int language)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return;
    const CSensorRecord& record = com.m_Sensor[static_cast<std::size_t>(sensor)];
    for (const SensorChannel& c : ChannelsOfSensor(com, sensor)) {
        DisplayTable* table = tables.Entry(c.channel);
        if (!table) continue;
        const RotorHeader& header = record.m_sRotorHeader;
        table->typeClass = TypeClassOf(record, c.second);
        table->nominalCode = c.second ? header.nFullScaleCodeB : header.nFullScaleCodeA;
        table->nominalValue = record.RangeEnd(c.second, com.m_nCountActivePorts >= 2);
        StoreRangeEndText(*table, language);
    }
}

bool FormatRangeEnd(const DisplayTable& table, const CString& codeText, int language, CString& value, CString& unit,
                    double& factor)
{
    if (!table.encoder) return CDisplayHelper().FormatValueText(codeText, table.typeClass, language, value, unit, factor);
    // The range its kind gives the encoder, not the rotor's code: the one formatter of the
    // measurand knows the speed only.
    value = CString::Formatted("%d", static_cast<int>(table.nominalValue));
    unit = table.UnitText(0);
    factor = 1.0;
    return table.UnitCount() > 1;
}

}  // namespace views
