#pragma once
// The records the whole system shares about sensors and ports: CSensorRecord, everything known
// about one sensor (identification from the status answer, the eight configuration blocks as
// decoded values, the software configuration), and CPortRecord, one row of the port table.
//
// Every member starts at its reset value, so a record is never read uninitialised; Reset()
// brings a record back there.

#include <array>
#include <cstdint>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "protocol/block_date_tm.h"

// Positions of the identification bytes in CSensorRecord::m_sIdent, numbered from 0 in the
// order the status answer carries them. The refusal code of the sensor's last negative
// acknowledgement is not one of them: it has a field of its own (m_cRefusalCode), so that a
// refusal never overwrites the sensor's address.
enum IdentByte : int {
    kIdentAddress = 0,            // answer byte 3: the sensor's bus number
    kIdentOk = 1,                 // answer byte 5
    kIdentCalibration = 2,        // byte 6 bits 0-1: 0 undefined, 1 none, 2 factory, 3 user
    kIdentSupport = 3,            // byte 6 bits 2-3
    kIdentNoDigitalInput = 4,     // byte 6 bit 5
    kIdentHmbUsb = 5,             // byte 6 bit 6
    kIdentOem = 6,                // byte 6 bit 7
    kIdentStatorId = 7,           // byte 7: the stator's type class (9: quadrature encoder)
    kIdentStatorRevision = 8,     // byte 8
    kIdentRotorId = 9,            // byte 9 without its top bit
    kIdentRotorRevision = 10,     // byte 10 without its top bit
    kIdentWatchdog = 11,          // byte 18
    kIdentCount = 12,
};

struct StatorHeader {  // block 0
    DWORD nHeaderCode = 0;
    DWORD nSerialNo = 0;
    BYTE cModuleIndex = 0;  // position in a multiport device (byte 14), 0 for none
    BYTE cModuleCount = 0;  // sensors of the multiport device (byte 15)
};

struct StatorHardware {  // block 1
    std::int64_t tDate = 0;
    BlockDateTm tmDate{};
    BYTE cOptionCode = 0;   // byte 16 as 0 (0 or 0xFF), 1, or 2 (anything else)
    DWORD nReserved = 0;
    BYTE cCountCode = 0;    // byte 17
    DWORD nPulseCount = 0;  // the count code decoded
};

struct StatorOperation {  // block 2
    std::int64_t tDate = 0;
    BlockDateTm tmDate{};
    BYTE cByte12 = 0;
    BYTE cByte12Bit0 = 0;
    BYTE cBusAddress = 0;
    BYTE cOperationFlag = 0;
    BYTE cReserved = 0;
    BYTE cBaudCode = 0;
    BYTE cEncoderMode = 0;  // byte 17: 3 speed, 4 angle, 7 angle with the second encoder
    BYTE cByte18 = 0;
    DWORD nRaw23to26 = 0;   // bytes 23-26 in frame order
    DWORD nRaw27to30 = 0;   // bytes 27-30 in frame order
    DWORD nFilterA = 0;
    DWORD nFilterB = 0;
    BYTE cReserved2 = 0;
    // Byte 31 split, and single bytes kept raw.
    BYTE cByte31Bits7to5 = 0, cByte31Bits4to2 = 0, cByte31Bit1 = 0, cByte31Bit0 = 0;
    BYTE cByte33 = 0, cByte32 = 0, cByte14 = 0, cByte11 = 0;
};

struct CSensorSwConfig {  // block 3
    BYTE cConfigKind = 255;
    double dScaleA = 1.0;
    double dScaleB = 1.0;
    CString strUnitA;
    CString strUnitB;
    BYTE cCode5A = 255, cCode5B = 255, cCode3A = 255, cCode3B = 255;
    BYTE cCode4A = 255, cCode4B = 255, cFlagA = 255, cFlagB = 255;
    int nSetupCount = 1;
    int nByte32 = -1;
    BYTE cCode2A = 255, cCode2B = 255;
    BYTE cValid = 0;        // the block passed its check
    BYTE cScalingA = 0;     // scaling of channel A written
    BYTE cScalingB = 0;
    BYTE cValid2 = 0;       // valid and of configuration kind 1 or 4
    BYTE cReadMark = 0;     // read from the sensor
    int nTrailing = -1;

    // The unit text the block keeps for a channel as the user reads it: without what cannot be
    // shown around it. A memory that was zeroed or erased (0xFF throughout) holds no printable
    // character, and such a text names no unit at all.
    static CString ShownUnit(const CString& stored);
};

struct RotorHeader {  // block 0x80
    DWORD nHeaderCode = 0;
    DWORD nSerialNo = 0;
    BYTE cByte14 = 0;
    BYTE cTypeClass = 0;  // 'Y': the rotor of a stator of type 9
    DWORD nFullScaleCodeA = 0;
    double dFullScaleA = 0.0;
    BYTE cByte18 = 0, cByte19 = 0;
    DWORD nFullScaleCodeB = 0;
    double dFullScaleB = 0.0;
    BYTE cByte22 = 0;
};

struct RotorCalib {  // blocks 0x81 and 0x82
    std::int64_t tDate = 0;
    BlockDateTm tmDate{};
    DWORD nGainCodeA = 0;
    double dGainA = 0.0;
    LONG nOffsetA = 0;
    DWORD nGainCodeB = 0;
    double dGainB = 0.0;
    LONG nOffsetB = 0;
    DWORD nControlCodeA = 0;
    double dControlA = 0.0;
    DWORD nControlCodeB = 0;
    double dControlB = 0.0;
    DWORD nFullScaleCountA = 0;
    DWORD nFullScaleCountB = 0;
    DWORD nInaccuracyCodeA = 0;
    DWORD nInaccuracyCodeB = 0;
    double dInaccuracyA = 0.0;
    double dInaccuracyB = 0.0;
    BYTE cByte31 = 0, cByte32 = 0, cByte33 = 0;  // kept raw from the user calibration
};

struct CSensorRecordTail {  // block 0x83
    std::int64_t tDate = 0;
    BlockDateTm tmDate{};
    BYTE cByte = 0;
    std::array<BYTE, 11> acBytes{};
    CString strSerialA;
    CString strSerialB;
    BYTE cByte11 = 0, cByte12 = 0;
    BYTE cByte13Low = 0, cByte13High = 0;
    DWORD nRaw14to17 = 0, nRaw18to21 = 0;
    BYTE cByte22Bits7to5 = 0, cByte22Bits4to2 = 0, cByte22Bit1 = 0, cByte22Bit0 = 0;
    BYTE cByte33 = 0;
    BYTE cByte32Bits7to5 = 0, cByte32Bits4to2 = 0;
};

// What the encoder of a type-9 stator measures, derived from the blocks.
struct EncoderInfo {
    BYTE cPresent = 0;
    BYTE cAngle = 0;
    BYTE cSecondEncoder = 0;
    UINT nMeasurandTextB = 0;  // text id of channel B's measurand
};

class CSensorRecord {
public:
    CSensorRecord() { Reset(); }
    void Reset();
    // Whether the user scaling of a channel (factor, unit, scaled mark) is kept in the B fields
    // of the software configuration: so it is for a single sensor's second channel, and for the
    // one channel of an angle encoder.
    bool KeepsScalingInB(bool secondChannel) const
    {
        return secondChannel || (m_sRotorHeader.cTypeClass == 'Y' && m_sEncoder.cAngle != 0);
    }
    // The channel-layout byte of the identification is 0 for a sensor with channels A and B;
    // any other sensor measures on channel A only.
    bool HasChannelAOnly() const { return m_sIdent[kIdentHmbUsb] != 0; }
    // The channel an encoder (the rotor of a type-9 stator) counts on: the one channel of a
    // sensor of a multiport device or of a sensor with channel A only, else channel B.
    bool CountsEncoderOn(bool secondChannel, bool severalSensors) const
    {
        if (m_sRotorHeader.cTypeClass != 'Y') return false;
        return severalSensors || HasChannelAOnly() ? !secondChannel : secondChannel;
    }
    // A channel's range end in the unit of its measurand: on an encoder's channel the one its
    // kind gives (30000 1/min, 360°), which the rotor header's answer keeps as channel B's.
    double RangeEnd(bool secondChannel, bool severalSensors) const
    {
        const bool encoder = CountsEncoderOn(secondChannel, severalSensors);
        return secondChannel || encoder ? m_sRotorHeader.dFullScaleB : m_sRotorHeader.dFullScaleA;
    }
    // The converter counts at a channel's range end where the sensor fixes them: an encoder
    // counting on channel A reaches its range end at the full-scale count its kind gives the
    // factory calibration (30000 for the speed, 4000 or 1440 for a turn); 0 elsewhere.
    DWORD RangeEndCounts(bool secondChannel, bool severalSensors) const
    {
        const bool encoderOnA = !secondChannel && CountsEncoderOn(secondChannel, severalSensors);
        return encoderOnA ? m_sRotorFactoryCalib.nFullScaleCountA : 0;
    }

    BYTE m_bValid = 0;
    std::array<BYTE, kIdentCount> m_sIdent{};
    BYTE m_cRefusalCode = 0;  // code of the last negative acknowledgement, 0 after an acceptance
    std::array<int, 8> m_anBlockCheck{};  // validation result per block slot, 0 = good
    StatorHeader m_sStatorHeader;
    StatorHardware m_sStatorHardware;
    StatorOperation m_sStatorOperation;
    CSensorSwConfig m_sSwConfig;
    RotorHeader m_sRotorHeader;
    RotorCalib m_sRotorFactoryCalib;
    RotorCalib m_sRotorUserCalib;
    CSensorRecordTail m_sRotorOperation;
    EncoderInfo m_sEncoder;
    BYTE m_bConnected = 0;
    BYTE m_bReserved1 = 0;
    BYTE m_bReserved2 = 0;
    // The kept answers of stator block 2, rotor block 0x83 and rotor block 0x82, and of the
    // other blocks a write starts from (stator block 3, rotor block 0x81): of several sensors
    // each is written from its own.
    CString m_strBlockStatorOperation;
    CString m_strBlockRotorOperation;
    CString m_strBlockRotorUserCalib;
    CString m_strBlockStatorSwConfig;
    CString m_strBlockRotorFactoryCalib;
};

constexpr int kStatusSlotSize = 64;

class CPortRecord {
public:
    CPortRecord() = default;
    void ClearForSearch();

    CString m_strPortName;
    int m_nEnabled = 0;
    CString m_strDescription;
    int m_nDescEnabled = -1;
    CSensorRecord m_Sensor;
    int m_nState = -1;
    int m_nBaudRate = -1;
    BYTE m_nAddress = 0;
    std::array<BYTE, 2> m_bSlotFilled{};
    std::array<std::array<BYTE, kStatusSlotSize>, 2> m_abStatusSlot{};
    BYTE m_cLastSlot = 0;
    int m_nSavedState = -1;
};

// Port state codes shared by the port table and the connection page.
constexpr int kPortStateEmpty = -1;
constexpr int kPortStateAvailable = 5;
constexpr int kPortStateNotOpenable = 6;
constexpr int kPortStateNotSupported = 7;
constexpr int kPortStateActive = 8;
constexpr int kPortStateSelected = 10;
constexpr int kPortStateFound = 11;
