// The long status answer ('B', 21 bytes) and its German diagnostic text.

#include "protocol/kadmor_send.h"

namespace {

constexpr int kShortestStatusAnswer = 18;
constexpr int kWatchdogByte = 18;

const char* const kCalibrationTexts[4] = {
    "Kalibrierung: \t\t\t\t UNDEFINIERT!",
    "Kalibrierung: \t\t\t\t ohne Kalibrierung (Offset = 0; Verstärkung = 1)",
    "Kalibrierung: \t\t\t\t Werkskalibrierung",
    "Kalibrierung: \t\t\t\t Benutzerkalibrierung",
};

void AppendLine(CString& text, const CString& line)
{
    text += "\t\t\t\t ";
    text += line;
    text += "\n";
}

}  // namespace

bool CKadmor_Send::DecodeStatusLong(CString answer, BYTE* sensorNumber, BYTE* okByte, BYTE* calibrationState,
                                    BYTE* userCalibrationActive, BYTE* noDigitalInput, BYTE* hmbUsbDevice,
                                    BYTE* oemVersion, BYTE* supportInfo, BYTE* statorId, BYTE* statorRevision,
                                    BYTE* rotorId, BYTE* rotorRevision, BYTE* watchdogTime, CString* text) const
{
    if (answer.GetLength() < kShortestStatusAnswer) return false;

    const BYTE flags = answer.ByteAt(6);
    const BYTE calibration = flags & 0x03;
    const BYTE support = (flags >> 2) & 0x03;
    const BYTE withoutInput = (flags >> 5) & 0x01;
    const BYTE hmbUsb = (flags >> 6) & 0x01;
    const BYTE oem = (flags >> 7) & 0x01;
    const BYTE ok = answer.ByteAt(5);
    const BYTE statorIdValue = answer.ByteAt(7);
    const BYTE statorRevValue = answer.ByteAt(8);
    const BYTE rotorIdValue = answer.ByteAt(9) & 0x7F;
    const BYTE rotorRevValue = answer.ByteAt(10) & 0x7F;
    // An answer cut right before the watchdog byte is still usable; the missing byte reads 0.
    const BYTE watchdog = answer.GetLength() > kWatchdogByte ? answer.ByteAt(kWatchdogByte) : 0;

    if (sensorNumber) *sensorNumber = answer.ByteAt(3);
    if (okByte) *okByte = ok;
    if (calibrationState) *calibrationState = calibration;
    if (userCalibrationActive) *userCalibrationActive = calibration == 3 ? 1 : 0;
    if (noDigitalInput) *noDigitalInput = withoutInput;
    if (hmbUsbDevice) *hmbUsbDevice = hmbUsb;
    if (oemVersion) *oemVersion = oem;
    if (supportInfo) *supportInfo = support;
    if (statorId) *statorId = statorIdValue;
    if (statorRevision) *statorRevision = statorRevValue;
    if (rotorId) *rotorId = rotorIdValue;
    if (rotorRevision) *rotorRevision = rotorRevValue;
    if (watchdogTime) *watchdogTime = watchdog;

    if (text) {
        CString t;
        AppendLine(t, CString::Formatted("OK Byte: \t\t\t\t\t %d", ok));
        AppendLine(t, kCalibrationTexts[calibration]);
        AppendLine(t, withoutInput ? "Digitaler IO: \t\t\t\t ohne digitalen Eingang"
                                   : "Digitaler IO: \t\t\t\t mit digitalen Eingang");
        AppendLine(t, hmbUsb ? "Gerät: \t\t\t\t\t HMB-USB" : "Gerät: \t\t\t\t\t WPH-Box / VQ-RS 485 / VQ-USB");
        AppendLine(t, oem ? "Version: \t\t\t\t\t OEM" : "Version: \t\t\t\t\t Kadmor");
        AppendLine(t, CString::Formatted("SupportInfo(Bit3;Bit2): \t %d [0<=X<=3](unklare Definition da diese "
                                         "Bits in Kadmorprotokollbeschreibung lediglich als Reserviert "
                                         "markiert sind!)",
                                         support));
        AppendLine(t, CString::Formatted("Stator  ID: \t\t\t\t %d", statorIdValue));
        AppendLine(t, CString::Formatted("Stator REV: \t\t\t\t %d", statorRevValue));
        AppendLine(t, CString::Formatted("Rotor   ID: \t\t\t\t %d", rotorIdValue));
        AppendLine(t, CString::Formatted("Rotor  REV: \t\t\t\t %d", rotorRevValue));
        AppendLine(t, CString::Formatted("Watchdog T: \t\t\t\t %d", watchdog));
        *text = t;
    }
    return true;
}
