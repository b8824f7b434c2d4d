#include "sensor_admin/sensor_information_rows.h"

#include <cmath>

#include "protocol/kadmor_send.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "workflow/sensor_records.h"
#include "workflow/workflow_texts.h"

namespace sensor_admin {

namespace {

CString NotAvailable() { return LoadLangString(kTextNotAvailableShort); }

bool BlockGood(const CSensorRecord& sensor, int slot) { return sensor.m_anBlockCheck[static_cast<std::size_t>(slot)] == 0; }

CString Number(DWORD value) { return value ? CString::Formatted("%u", value) : NotAvailable(); }

// A number as the user reads it: with the decimal separator of the language.
CString Localized(const CString& text, int language)
{
    CString out;
    return CKadmor_Send::FormatNumber(out, language, text);
}

CString Decimal(double value, int language)
{
    return std::isfinite(value) && value != 0.0 ? Localized(CString::Formatted("%g", value), language) : NotAvailable();
}

CString Pair(const CString& a, const CString& b) { return a + " / " + b; }

CString DateText(const CSensorRecord& sensor, int slot, std::int64_t date, int language)
{
    if (!BlockGood(sensor, slot) || date <= 0) return NotAvailable();
    CString text;
    CKadmor_Send::FormatBlockDateText(language, &text, &date, nullptr);
    return text;
}

CString CalibrationText(BYTE state)
{
    switch (state) {
    case 1: return LoadLangString(kTextCalibrationNone);
    case 2: return LoadLangString(kTextCalibrationFactory);
    case 3: return LoadLangString(kTextCalibrationUser);
    default: return NotAvailable();
    }
}


// What an encoder measures by the position of its switch (the encoder kind of the stator
// operation block).
UINT EncoderMeasurand(BYTE encoderKind)
{
    switch (encoderKind) {
    case 3: return workflow::kTextMeasurandSpeed;
    case 4:
    case 7: return workflow::kTextMeasurandAngle;
    default: return kTextNotAvailableShort;
    }
}

// The measurand of the sensor's type class, the letter of its rotor header.
UINT TypeClassMeasurand(const CSensorRecord& sensor)
{
    switch (CKadmor_Send::GetSourceTypeCode(sensor.m_sRotorHeader.cTypeClass)) {
    case 0: return kTextStrainGauge;
    case 1: return kTextVoltage;
    case 2: return kTextCurrent;
    case 3: return kTextTorque;
    case 4: return kTextForce;
    case 5: return kTextWeight;
    case 6: return kTextMiscellaneous;
    case 7: return kTextTemperature;
    case 8: return EncoderMeasurand(sensor.m_sStatorOperation.cEncoderMode);
    case 100: return kTextPower;
    default: return kTextNotAvailableShort;
    }
}

// The text id of a channel's measurand. Channel A measures what the type class names; channel
// B of an encoder measures speed or angle, and without an encoder the unit the sensor keeps for
// channel B tells whether it is a speed or angle channel; otherwise it measures what channel A
// measures.
UINT MeasurandId(const CSensorRecord& sensor, int channel)
{
    if (channel == 0) return TypeClassMeasurand(sensor);
    if (sensor.m_sEncoder.cPresent && sensor.m_sEncoder.nMeasurandTextB) return sensor.m_sEncoder.nMeasurandTextB;
    CString unit = sensor.m_sSwConfig.cReadMark ? sensor.m_sSwConfig.strUnitB : CString();
    unit.MakeLower();
    if (unit.Find("rpm") >= 0 || unit.Find("min") >= 0) return workflow::kTextMeasurandSpeed;
    if (unit.Find("°") >= 0 || unit.Find("deg") >= 0) return workflow::kTextMeasurandAngle;
    return TypeClassMeasurand(sensor);
}

// The measurand letter of a channel: an encoder's channel B measures speed or angle.
BYTE TypeClassOf(const CSensorRecord& sensor, int channel)
{
    if (channel == 1 && (sensor.m_sEncoder.cPresent || sensor.m_sRotorHeader.cTypeClass == 'Y')) return 'Y';
    return sensor.m_sRotorHeader.cTypeClass;
}

// A channel's range end and the unit it is shown in.
struct RangeEnd {
    CString number;  // n.a. when the sensor gives none
    CString unit;    // empty when none is known
    CString Text() const { return number == NotAvailable() || unit.IsEmpty() ? number : number + " " + unit; }
};

// A range end is given in the base unit of the channel's measurand (cN·m for torque, N for
// force, ...): it is shown with the unit and prefix that measurand's formatting chooses, as the
// channel views and the control panel show it. An encoder's range, a channel B that its stored
// unit names a speed or angle channel, or a measurand the formatting does not know keep the unit
// text the sensor stores for the channel.
RangeEnd ChannelRange(const CKadmor_Send& codec, const CSensorRecord& sensor, int channel, double fullScale,
                      const CString& storedUnit, int language)
{
    const BYTE typeClass = TypeClassOf(sensor, channel);
    const bool ownMeasurand = channel == 0 || MeasurandId(sensor, 1) == MeasurandId(sensor, 0);
    if (typeClass != 'Y' && ownMeasurand && std::isfinite(fullScale) && fullScale > 0.0) {
        RangeEnd range;
        if (codec.FormatMagnitude(fullScale, typeClass, language, range.number, range.unit)) return range;
    }
    return {Decimal(fullScale, language), storedUnit};
}

// The unit of a channel: the one its software configuration stores, else the one its range end
// is shown in (a sensor without that block still measures in a known unit).
CString ChannelUnit(const CString& storedUnit, const RangeEnd& range)
{
    if (!storedUnit.IsEmpty()) return storedUnit;
    return range.number != NotAvailable() && !range.unit.IsEmpty() ? range.unit : NotAvailable();
}

}  // namespace

CString MeasurandText(const CSensorRecord& sensor, int channel) { return LoadLangString(MeasurandId(sensor, channel)); }

std::vector<InfoRow> BuildSensorInformation(const CKadmor_Send& codec, const CSensorRecord& sensor, bool present,
                                            int language)
{
    std::vector<InfoRow> rows;
    const auto& id = sensor.m_sIdent;
    auto add = [&](UINT label, const CString& value) { rows.push_back({label, present ? value : NotAvailable()}); };

    CString type;
    codec.GetStatorTypeName(type, id[kIdentStatorId], id[kIdentStatorRevision], id[kIdentHmbUsb], id[kIdentNoDigitalInput],
                            language);
    add(kTextColumnSensorType, id[kIdentStatorId] ? type : NotAvailable());
    add(kTextStatorSerial, BlockGood(sensor, kSlotStatorHeader) ? Number(sensor.m_sStatorHeader.nSerialNo) : NotAvailable());
    add(kTextRotorSerial, BlockGood(sensor, kSlotRotorHeader) ? Number(sensor.m_sRotorHeader.nSerialNo) : NotAvailable());
    add(kTextSensorAddress, CString::Formatted("%d", id[kIdentAddress]));
    add(kTextStatorIdRevision, id[kIdentStatorId] ? CString::Formatted("%d / %d", id[kIdentStatorId], id[kIdentStatorRevision])
                                                  : NotAvailable());
    add(kTextRotorIdRevision, id[kIdentRotorId] || id[kIdentRotorRevision]
                                  ? CString::Formatted("%d / %d", id[kIdentRotorId], id[kIdentRotorRevision])
                                  : NotAvailable());
    add(kTextCalibration, CalibrationText(id[kIdentCalibration]));

    const bool rotorHeader = BlockGood(sensor, kSlotRotorHeader);
    const bool swConfig = BlockGood(sensor, kSlotSoftwareConfig) && sensor.m_sSwConfig.cReadMark;
    const CString unitA = swConfig ? CSensorSwConfig::ShownUnit(sensor.m_sSwConfig.strUnitA) : CString();
    const CString unitB = swConfig ? CSensorSwConfig::ShownUnit(sensor.m_sSwConfig.strUnitB) : CString();
    const RangeEnd rangeA = rotorHeader ? ChannelRange(codec, sensor, 0, sensor.m_sRotorHeader.dFullScaleA, unitA, language) : RangeEnd{NotAvailable(), {}};
    const RangeEnd rangeB = rotorHeader ? ChannelRange(codec, sensor, 1, sensor.m_sRotorHeader.dFullScaleB, unitB, language) : RangeEnd{NotAvailable(), {}};
    add(kTextRangeA, rangeA.Text());
    add(kTextRangeB, rangeB.Text());
    add(kTextMeasurandA, MeasurandText(sensor, 0));
    add(kTextMeasurandB, MeasurandText(sensor, 1));
    add(kTextSoftwareUnits, Pair(ChannelUnit(unitA, rangeA), ChannelUnit(unitB, rangeB)));

    // The calibration in force: the user's when it is active, else the factory's.
    const bool user = id[kIdentCalibration] == 3 && BlockGood(sensor, kSlotUserCalib);
    const RotorCalib& calib = user ? sensor.m_sRotorUserCalib : sensor.m_sRotorFactoryCalib;
    const bool calibGood = BlockGood(sensor, user ? kSlotUserCalib : kSlotFactoryCalib);
    // Channels are parted by "; ", as the decimal separator may be a comma.
    add(kTextGainOffset, calibGood ? Localized(CString::Formatted("%.5f / %ld; %.5f / %ld", calib.dGainA, static_cast<long>(calib.nOffsetA),
                                                                  calib.dGainB, static_cast<long>(calib.nOffsetB)),
                                               language)
                                   : NotAvailable());
    const auto inaccuracy = [&](int code, double percent) {
        return code ? Localized(CString::Formatted("%.2f %%", percent), language) : NotAvailable();
    };
    add(kTextInaccuracy, calibGood ? Pair(inaccuracy(calib.nInaccuracyCodeA, calib.dInaccuracyA), inaccuracy(calib.nInaccuracyCodeB, calib.dInaccuracyB))
                                   : NotAvailable());

    const bool operation = BlockGood(sensor, kSlotStatorOperation);
    add(kTextLowPassFilter, operation ? Pair(Number(sensor.m_sStatorOperation.nFilterA), Number(sensor.m_sStatorOperation.nFilterB))
                                      : NotAvailable());
    add(kTextPulsesPerRevolution, BlockGood(sensor, kSlotStatorHardware) ? Number(sensor.m_sStatorHardware.nPulseCount) : NotAvailable());
    add(kTextModuleCount, BlockGood(sensor, kSlotStatorHeader) && sensor.m_sStatorHeader.cModuleIndex
                              ? CString::Formatted("%d / %d", sensor.m_sStatorHeader.cModuleIndex, sensor.m_sStatorHeader.cModuleCount)
                              : NotAvailable());
    const bool rotorOperation = BlockGood(sensor, kSlotRotorOperation);
    const CString serialA = sensor.m_sRotorOperation.strSerialA, serialB = sensor.m_sRotorOperation.strSerialB;
    add(kTextChannelSerials, rotorOperation ? Pair(serialA.IsEmpty() ? NotAvailable() : serialA, serialB.IsEmpty() ? NotAvailable() : serialB)
                                            : NotAvailable());

    add(kTextDateHardware, DateText(sensor, kSlotStatorHardware, sensor.m_sStatorHardware.tDate, language));
    add(kTextDateStatorOperation, DateText(sensor, kSlotStatorOperation, sensor.m_sStatorOperation.tDate, language));
    add(kTextDateFactoryCalibration, DateText(sensor, kSlotFactoryCalib, sensor.m_sRotorFactoryCalib.tDate, language));
    add(kTextDateUserCalibration, DateText(sensor, kSlotUserCalib, sensor.m_sRotorUserCalib.tDate, language));
    add(kTextDateRotorOperation, DateText(sensor, kSlotRotorOperation, sensor.m_sRotorOperation.tDate, language));
    return rows;
}

}  // namespace sensor_admin
