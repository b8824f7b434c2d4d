#include "measurement/sensor_setup_fields.h"

#include <bit>
#include <cmath>
#include <limits>

#include "workflow/com_port.h"
#include "workflow/sensor_records.h"

namespace measurement {

namespace {

constexpr int kFrameLength = 40;
// What the sensors hold where a value is switched off or was never set.
constexpr float kNoValue = std::numeric_limits<float>::max();

// The content bytes of a kept block frame, or null when the text is no whole block.
const BYTE* BlockBytes(const CString& frame)
{
    return frame.GetLength() >= kFrameLength ? frame.bytes() : nullptr;
}

DWORD Le32(const BYTE* b) { return DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24; }
DWORD Be32(BYTE a, BYTE b, BYTE c, BYTE d) { return DWORD(a) << 24 | DWORD(b) << 16 | DWORD(c) << 8 | DWORD(d); }

// A limit or trigger value: a number other than the no-value float, from a word other than
// all ones.
SensorLimit LimitOf(DWORD word, BYTE decimals)
{
    SensorLimit limit;
    const float value = std::bit_cast<float>(word);
    limit.decimals = decimals;
    limit.valid = word != 0xFFFFFFFF && std::isfinite(value) && value != kNoValue;
    limit.value = limit.valid ? static_cast<double>(value) : 0.0;
    return limit;
}

// The decimals a trigger value is shown with: those the sensor keeps for it, more where the
// value has more (a sensor written before it kept them), so that the text is the value in use.
BYTE DecimalsOfValue(double value, int kept)
{
    int decimals = kept;
    while (decimals < 7) {
        const double scale = std::pow(10.0, decimals);
        if (static_cast<float>(std::round(value * scale) / scale) == static_cast<float>(value)) break;
        ++decimals;
    }
    return static_cast<BYTE>(decimals);
}

void ReadTriggerPart(const BYTE* rotorOp, SensorSetupFields& f)
{
    f.hasTriggerPart = true;
    f.triggerByte = rotorOp[11];
    f.display = rotorOp[12];
    f.display2 = rotorOp[13];
    const DWORD stopWord = Be32(rotorOp[14], rotorOp[15], rotorOp[16], rotorOp[17]);
    const SensorLimit stop = LimitOf(Le32(rotorOp + 14), 0);
    const SensorLimit start = LimitOf(Le32(rotorOp + 18), 0);
    f.stopWord = stopWord;
    // A stop switched off is written with the no-value float where a count would stand.
    f.stopWordValid = stopWord != 0xFFFFFFFF && Le32(rotorOp + 14) != std::bit_cast<DWORD>(kNoValue);
    f.startWord = Le32(rotorOp + 18);
    f.stopValue = stop.value;
    f.stopValueValid = stop.valid;
    f.startValue = start.value;
    f.startValueValid = start.valid;
    f.startChannel = rotorOp[22] & 0x01;
    f.stopChannel = (rotorOp[22] >> 1) & 0x01;
    f.stopExtra = DecimalsOfValue(f.stopValue, (rotorOp[22] >> 5) & 0x07);
    f.startExtra = DecimalsOfValue(f.startValue, (rotorOp[22] >> 2) & 0x07);
}

// A condition whose lower and upper limit are both 0, without decimals, is memory that was
// never written (a sensor that leaves the factory with its blocks zeroed), not a window that
// every measured value fails: it is no condition. A lone limit of 0 stays one.
void ForgetZeroPair(SensorLimit& lower, SensorLimit& upper)
{
    auto zero = [](const SensorLimit& l) { return l.valid && l.value == 0.0 && l.decimals == 0; };
    if (zero(lower) && zero(upper)) lower.valid = upper.valid = false;
}

void ReadLimits(const BYTE* statorOp, const BYTE* userCalib, const BYTE* rotorOp, SensorSetupFields& f)
{
    if (statorOp) {
        const BYTE flags = statorOp[31];
        f.limit[0] = LimitOf(Le32(statorOp + 23), static_cast<BYTE>((flags >> 5) & 7));
        f.limit[1] = LimitOf(Le32(statorOp + 27), static_cast<BYTE>((flags >> 2) & 7));
        f.conditionSelector = (flags >> 1) & 1;
        f.powerMeasurand = flags & 1;
        if (flags == 0xFF) f.conditionSelector = f.powerMeasurand = 0;  // an empty block
        ForgetZeroPair(f.limit[0], f.limit[1]);
    }
    // The second pair of a single sensor.
    if (statorOp && rotorOp) {
        const BYTE decimals = rotorOp[32];
        f.limit[2] = LimitOf(Be32(statorOp[11], statorOp[14], statorOp[32], statorOp[33]),
                             static_cast<BYTE>((decimals >> 5) & 7));
        if (userCalib) {
            const DWORD upper = DWORD(userCalib[31]) | DWORD(userCalib[32]) << 8 | DWORD(userCalib[33]) << 16 |
                                DWORD(rotorOp[33]) << 24;
            f.limit[3] = LimitOf(upper, static_cast<BYTE>((decimals >> 2) & 7));
        }
        ForgetZeroPair(f.limit[2], f.limit[3]);
    }
}

}  // namespace

SensorSetupFields ReadSensorSetupFields(const CSensorRecord& record)
{
    SensorSetupFields f;
    f.serial = record.m_sStatorHeader.nSerialNo;
    f.typeCode = record.m_sIdent[kIdentStatorId];
    f.versionCode = record.m_sIdent[kIdentStatorRevision];
    f.secondIdent = record.m_sIdent[kIdentHmbUsb];
    // A combined device (its identification's dual-device mark): its display bits carry the
    // power display flags and the power switch.
    f.combination = CComPort::IsDeviceCodeDual(record.m_sIdent) ? 1 : 0;
    f.userScaling = record.m_sSwConfig.cReadMark ? 1 : 0;
    f.scalingPresent = {record.m_sSwConfig.cScalingA, record.m_sSwConfig.cScalingB};
    f.lowPass = {static_cast<int>(record.m_sStatorOperation.nFilterA), static_cast<int>(record.m_sStatorOperation.nFilterB)};
    f.kind = record.m_sRotorHeader.cTypeClass;
    f.operatingMode = record.m_sStatorOperation.cEncoderMode;
    f.angleMode = record.m_sEncoder.cAngle;
    f.option = record.m_sStatorOperation.cEncoderMode == 7 ? 1 : 0;

    const BYTE* rotorOp = BlockBytes(record.m_strBlockRotorOperation);
    const BYTE* statorOp = BlockBytes(record.m_strBlockStatorOperation);
    const BYTE* userCalib = BlockBytes(record.m_strBlockRotorUserCalib);
    if (rotorOp) ReadTriggerPart(rotorOp, f);
    ReadLimits(statorOp, userCalib, rotorOp, f);
    return f;
}

}  // namespace measurement
