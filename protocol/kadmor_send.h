#pragma once
// CKadmor_Send: the sensor protocol codec.
//
// Everything that turns the conversation with a sensor into bytes and back: the request frames
// with their check bytes and doubled start bytes, the answer check, the long status answer, the
// eight 40-byte configuration blocks (frame, check words, parsers and builders), the option code
// tables, the stator type names and the formatting of measured values by type class.
//
// It is a plain base class: the workflow controller and the value-formatting base of the channel
// views inherit it, each with its own expected-answer state. It runs on the GUI thread only.
//
// Frames handled as text are byte strings that may hold 0x00 bytes; every operation here copies
// by explicit length. All texts are single-byte Windows-1252.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "protocol/block_date_tm.h"
#include "protocol/block_slot.h"
#include "protocol/float32.h"

// Language offsets of the string table; the date texts also know a numeric year-first form.
constexpr int kLanguageGerman = 0;
constexpr int kLanguageEnglish = 1000;
constexpr int kLanguageFrench = 2000;
constexpr int kLanguageSpanish = 3000;
constexpr int kDateTextYearFirst = 6;

// Result flags of CheckAnswerFrame.
constexpr int kAnswerSumWrong = 4;
constexpr int kAnswerWeightedSumWrong = 8;
constexpr int kAnswerTooLong = 16;   // more than 41 bytes; alone
constexpr int kAnswerTooShort = 32;  // fewer bytes than its own length byte announces; alone

// Result of CheckBlock: 0 for a good block, else flags, or kBlockEmpty alone.
constexpr int kBlockCodeNotSet = 1;
constexpr int kBlockCodeUnknown = 2;
constexpr int kBlockSumWrong = 4;
constexpr int kBlockWeightedSumWrong = 8;
constexpr int kBlockEmpty = 255;

constexpr int kBlockFrameLength = 40;
constexpr int kNakBufferSize = 11;  // BuildNak needs this many bytes at most
constexpr int kValueRecordsInOrder = 7;  // what HoldsValueRecords looks for

// Block kinds of the shared rotor calibration parser and builder.
constexpr BYTE kCalibFactory = 0;
constexpr BYTE kCalibUser = 1;

class CKadmor_Send {
public:
    CKadmor_Send();
    ~CKadmor_Send();
    CKadmor_Send(const CKadmor_Send&) = delete;
    CKadmor_Send& operator=(const CKadmor_Send&) = delete;

    // ---- Address -----------------------------------------------------------------------------
    // Requests carry hi, lo in bytes 2 and 3; the sensor acknowledges with them swapped, and the
    // check bytes of that acknowledgement are kept for the stream receivers.
    void SetSensorAddress(BYTE hi, BYTE lo);
    BYTE GetAddressHi() const { return m_cAddressHi; }
    BYTE GetAddressLo() const { return m_cAddressLo; }
    BYTE GetAckSum() const { return m_cAckSum; }
    BYTE GetAckWeightedSum() const { return m_cAckWeightedSum; }

    // ---- Request builders --------------------------------------------------------------------
    // Each records the letter (and where known the length) of the answer to expect and hands the
    // frame, start bytes doubled, to out. Nothing is sent.
    void BuildValueRequest(CString& out);
    void BuildStatusLongRequest(CString& out);
    void BuildAck(CString& out, bool swapped);
    // Writes the negative acknowledgement with doubled start bytes into buffer (at least
    // kNakBufferSize bytes) and returns the number of bytes to send.
    int BuildNak(BYTE* buffer);
    void BuildCtrlOnRequest(CString& out);
    void BuildCtrlOffRequest(CString& out);
    // Asks for a configuration block; with out null only the expected answer is recorded.
    void ReadConfig(CString* out, BYTE blockNumber);
    void BuildRestartRequest(CString& out);
    // Sends 'M' but expects the answer of a restart: both reach the same handler.
    void BuildAngleZeroRequest(CString& out);
    void BuildMeasureSetupC(CString& out);
    void BuildMeasureSetupA(CString& out);
    void BuildMeasureSetupB(CString& out);

    // Rate byte of the 'Z' requests by index 0 to 12; any other index leaves it unchanged.
    void SetRateCode(int index);

    // ---- Expected answer ---------------------------------------------------------------------
    BYTE GetCommand() const { return m_cCommand; }
    void SetCommand(BYTE command) { m_cCommand = command; }
    BYTE GetBlockNumber() const { return m_cBlockNumber; }
    int GetAnswerLength() const { return m_nAnswerLength; }
    void SetAnswerLength(int length) { m_nAnswerLength = length; }

    // ---- Framing -----------------------------------------------------------------------------
    // S and W over first[0] .. first[last], stored in out[0] and out[1].
    static void CalcFrameSums(const BYTE* first, BYTE* out, int last);
    // out = the frame (7 + frame[4] bytes) with every 0x02 after byte 0 doubled.
    static void FrameToString(CString& out, const BYTE* frame);
    // Doubles every 0x02 after byte 0 of the first length bytes of buffer, in place; returns the
    // new length. The buffer must have room for the doubled bytes.
    static int StuffStxInPlace(BYTE* buffer, int length);
    // Checks a received answer (start bytes already undoubled): 0 good, else the kAnswer* flags.
    static int CheckAnswerFrame(CString answer);
    // True when bytes hold kValueRecordsInOrder measured-value records of a stream (3 or 5
    // bytes each, led by a sequence byte counting up) one after the other, at any offset: the
    // sign of a sensor that streams, where noise or another device's text holds none.
    static bool HoldsValueRecords(const CString& bytes);

    // ---- Integer and bit helpers -------------------------------------------------------------
    static int GetInt16(BYTE hi, BYTE lo);
    static unsigned GetUInt16(BYTE hi, BYTE lo);
    // -32767 .. 32767 is written high byte first; anything else returns false, bytes unchanged.
    static bool SetInt16(int value, BYTE* hi, BYTE* lo);
    // 0 .. 65535 is written high byte first; a larger value writes 0x80 0x00 and returns false.
    static bool SetUInt16(DWORD value, BYTE* hi, BYTE* lo);
    static void SplitUInt32(std::uint64_t value, BYTE* b3, BYTE* b2, BYTE* b1, BYTE* b0);
    // Copies bit sourceBit of *source into bit targetBit of *target; bit numbers 0 to 7
    // (others return false and change nothing).
    bool CopyBit(BYTE* target, int targetBit, const BYTE* source, int sourceBit) const;

    // ---- Status answer -----------------------------------------------------------------------
    // Splits a 'B' answer; every pointer may be null. False, and nothing written, for an answer
    // of fewer than 18 bytes.
    bool DecodeStatusLong(CString answer, BYTE* sensorNumber, BYTE* okByte, BYTE* calibrationState,
                          BYTE* userCalibrationActive, BYTE* noDigitalInput, BYTE* hmbUsbDevice,
                          BYTE* oemVersion, BYTE* supportInfo, BYTE* statorId, BYTE* statorRevision,
                          BYTE* rotorId, BYTE* rotorRevision, BYTE* watchdogTime, CString* text) const;

    // ---- Configuration block frame -----------------------------------------------------------
    // A and B over the 28 block bytes at bytes[0..27], written to bytes[28..31].
    static void CalcBlockCheckWords(BYTE* bytes);
    // Validates a 40-byte block frame: 0 good, else kBlock* flags or kBlockEmpty.
    static int CheckBlock(CString frame, CString* message);
    // Fills in check words and check bytes of a 40-byte write frame (with invalidate, both check
    // words deliberately wrong) and sets out to it with doubled start bytes. A frame shorter than
    // 40 bytes gives an empty out: no malformed frame is ever handed to a port.
    CString BuildWriteBlockFrame(CString& out, CString frame, bool invalidate);
    // The 40 bytes of that write frame before its start bytes are doubled: the block as the
    // sensor holds it once written, check words and all. Empty for a frame shorter than 40 bytes.
    static CString WrittenBlockText(const CString& frame, bool invalidate);
    // Turns a block answer into the head of a write frame for block and expects the sensor's
    // acknowledgement. False, frame and expected answer unchanged, for a text that is not a
    // block frame read from a sensor (IsBlockFrameText).
    bool PrepareWriteBlockFrame(CString& frame, BYTE blockNumber);
    // 6-bit text code of the rotor operation block.
    static char CharFromTextCode(BYTE code);
    static BYTE TextCodeFromChar(BYTE character);

    // Slot 0 to 7 (BlockSlotIndex); any other index throws std::out_of_range.
    const BlockSlot& GetBlockSlot(int slot) const { return m_aBlockSlot.at(static_cast<std::size_t>(slot)); }
    int GetBlockReadResult(int slot) const { return GetBlockSlot(slot).m_nReadResult; }

    // ---- Option codes ------------------------------------------------------------------------
    CString DecodeCountCode(CString& out, BYTE code, int* index, int* value) const;
    static DWORD DecodeRangeCode(int code);
    static int EncodeRangeCode(DWORD value);
    static int GetSourceTypeCode(BYTE letter);
    static void FormatDecimalCode16(CString& out, DWORD code);
    // The number a 16-bit decimal code stands for (0 for a code without one).
    static double DecimalCode16Value(DWORD code);

    // ---- Sensor type names -------------------------------------------------------------------
    CString GetStatorTypeName(CString& out, int type, int revision, BYTE variant,
                              BYTE withoutDigitalInput, int language) const;

    // ---- Block content access ----------------------------------------------------------------
    // The text with blanks appended up to 40 characters; longer texts come back unchanged.
    static CString PadBlockString(const CString& block);
    // True for a text that holds a block frame as read from a sensor: 40 bytes or more, start
    // byte 0x02 and length byte 33. Builders refuse to patch anything else.
    static bool IsBlockFrameText(const CString& block);

    // ---- Block parsers (every output pointer may be null) ------------------------------------
    void KadSend_ReadBlockGetContentStatorHeader(CString block, DWORD* headerCode, DWORD* serialNo,
                                                 BYTE* byte14, BYTE* byte15, CString* status = nullptr);
    void KadSend_ReadBlockGetContentRotorHeader(CString block, DWORD* headerCode, DWORD* serialNo,
                                                BYTE* byte14, BYTE* typeClass, DWORD* fullScaleCodeA,
                                                double* fullScaleA, BYTE* byte18, BYTE* byte19,
                                                DWORD* fullScaleCodeB, double* fullScaleB, BYTE* byte22,
                                                CString* status = nullptr);
    void KadSend_ReadBlockGetContentStatorSoftwareConfiguration(
        CString block, BYTE* configKind, double* scaleA, double* scaleB, CString* unitA, CString* unitB,
        BYTE* code5A, BYTE* code5B, BYTE* code3A, BYTE* code3B, BYTE* code4A, BYTE* code4B, BYTE* flagA,
        BYTE* flagB, BYTE* scalingActiveA, BYTE* scalingActiveB, int* setupCount, int* byte32,
        BYTE* code2A, BYTE* code2B, CString* status = nullptr);
    void KadSend_ReadBlockGetContentStatorHardware(CString block, std::int64_t* date, BlockDateTm* dateTm,
                                                   BYTE* optionByte, BYTE* countCode, CString* dateText,
                                                   CString* status = nullptr);
    void KadSend_ReadBlockGetContentStatorOperation(CString block, std::int64_t* date, BlockDateTm* dateTm,
                                                    BYTE* byte12, BYTE* byte12Bit0, BYTE* busAddress,
                                                    BYTE* operationFlag, BYTE* baudCode, BYTE* encoderMode,
                                                    BYTE* byte18, DWORD* filterA, DWORD* filterB,
                                                    CString* dateText, CString* status = nullptr);
    void KadSend_ReadBlockGetContentRotorCalibFactory(
        CString block, std::int64_t* date, BlockDateTm* dateTm, DWORD* gainCodeA, double* gainA,
        LONG* offsetA, DWORD* gainCodeB, double* gainB, LONG* offsetB, DWORD* controlCodeA,
        double* controlA, DWORD* controlCodeB, double* controlB, DWORD* fullScaleCountA,
        DWORD* fullScaleCountB, DWORD* inaccuracyCodeA, double* inaccuracyA, DWORD* inaccuracyCodeB,
        double* inaccuracyB, CString* dateText, CString* status, BYTE blockKind, DWORD* rawDate = nullptr);
    void KadSend_ReadBlockGetContentRotorCalibUser(
        CString block, std::int64_t* date, BlockDateTm* dateTm, DWORD* gainCodeA, double* gainA,
        LONG* offsetA, DWORD* gainCodeB, double* gainB, LONG* offsetB, DWORD* controlCodeA,
        double* controlA, DWORD* controlCodeB, double* controlB, DWORD* fullScaleCountA,
        DWORD* fullScaleCountB, DWORD* inaccuracyCodeA, double* inaccuracyA, DWORD* inaccuracyCodeB,
        double* inaccuracyB, CString* dateText, CString* status = nullptr, DWORD* rawDate = nullptr);
    void KadSend_ReadBlockGetContentRotorOperation(CString block, std::int64_t* date, BlockDateTm* dateTm,
                                                   CString* dateText, CString* serialA, CString* serialB,
                                                   CString* status = nullptr);

    // ---- Block builders ----------------------------------------------------------------------
    // Each patches the given fields (null: keep) into *block, a block frame as last read from
    // the sensor and prepared with PrepareWriteBlockFrame, and keeps the result as the slot's
    // write frame. Each returns false, and changes neither *block nor the slot, when *block is
    // not a block frame read from a sensor or when a field cannot be represented.
    bool KadSend_WriteBlockSetContentStatorSoftwareConfiguration(
        CString* block, const BYTE* configKind, const double* scaleA, const double* scaleB,
        const CString* unitA, const CString* unitB, const BYTE* code5A, const BYTE* code5B,
        const BYTE* code3A, const BYTE* code3B, const BYTE* code4A, const BYTE* code4B, const BYTE* flagA,
        const BYTE* flagB, const BYTE* scalingActiveA, const BYTE* scalingActiveB, const int* setupCount,
        const int* byte32, const BYTE* code2A, const BYTE* code2B);
    bool KadSend_WriteBlockSetContentStatorOperation(CString* block, const std::int64_t* date,
                                                     const BYTE* byte12, const BYTE* busAddress,
                                                     const BYTE* operationFlag, const BYTE* baudCode,
                                                     const BYTE* encoderMode, const BYTE* byte18,
                                                     const DWORD* filterA, const DWORD* filterB);
    bool KadSend_WriteBlockSetContentRotorCalibFactory(
        CString* block, const std::int64_t* date, const DWORD* gainCodeA, const LONG* offsetA,
        const DWORD* gainCodeB, const LONG* offsetB, const DWORD* controlCodeA, const DWORD* controlCodeB,
        const DWORD* fullScaleCountA, const DWORD* fullScaleCountB, const DWORD* inaccuracyCodeA,
        const DWORD* inaccuracyCodeB, BYTE blockKind);
    bool KadSend_WriteBlockSetContentRotorCalibUser(
        CString* block, const std::int64_t* date, const DWORD* gainCodeA, const LONG* offsetA,
        const DWORD* gainCodeB, const LONG* offsetB, const DWORD* controlCodeA, const DWORD* controlCodeB,
        const DWORD* fullScaleCountA, const DWORD* fullScaleCountB, const DWORD* inaccuracyCodeA,
        const DWORD* inaccuracyCodeB);
    // A serial-number text "n.a." is replaced by "??????", in the caller's text as well.
    bool KadSend_WriteBlockSetContentRotorOperation(CString* block, const std::int64_t* date,
                                                    CString* serialA, CString* serialB);

    // ---- Block date texts --------------------------------------------------------------------
    // Delivers the date of block bytes 7 to 10 in each form asked for; the text (German form)
    // is made alongside each conversion that runs.
    static void ReadBlockDate(CString block, std::int64_t* date, BlockDateTm* dateTm, CString* text,
                              DWORD* rawDate);
    // Date text in the form of the language code, from a time value or a broken-down date;
    // "ERROR DATE TIME" for a date outside 1970 to 3000 or when neither is given.
    static CString FormatBlockDateText(int language, CString* text, const std::int64_t* date,
                                       const BlockDateTm* dateTm);

    // ---- Measured-value formatting -----------------------------------------------------------
    // Formats a positive magnitude given as text with the unit prefix and decimals of the type
    // class letter. Every output pointer may be null; none is written when the result is "n.a.".
    CString FormatValueByTypeClass(CString& out, CString value, BYTE letter, int language,
                                   CString* numberText, CString* unitText, int* unitIndex,
                                   double* unitFactor, int* decimals) const;
    // A magnitude as a number, with the number and unit texts of the type class letter: false,
    // with both texts empty, when that measurand cannot show it.
    bool FormatMagnitude(double value, BYTE letter, int language, CString& numberText, CString& unitText,
                         double* unitFactor = nullptr) const;
    CString FormatTorqueValue(CString& out, CString value, int language, CString* numberText,
                              CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatForceValue(CString& out, CString value, int language, CString* numberText,
                             CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatWeightValue(CString& out, CString value, int language, CString* numberText,
                              CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatAduValue(CString& out, CString value, int language, CString* numberText,
                           CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatStrainValue(CString& out, CString value, int language, CString* numberText,
                              CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatVoltageValue(CString& out, CString value, int language, CString* numberText,
                               CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatCurrentValue(CString& out, CString value, int language, CString* numberText,
                               CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    CString FormatTemperatureValue(CString& out, CString value, int language, CString* numberText,
                                   CString* unitText, int* unitIndex, double* unitFactor,
                                   int* decimals) const;
    CString FormatSpeedValue(CString& out, CString value, int language, CString* numberText,
                             CString* unitText, int* unitIndex, double* unitFactor, int* decimals) const;
    // Decimal separator of the language: '.' for English, ',' for the others.
    static CString FormatNumber(CString& out, int language, CString text);

private:
    // Assembles command, address, n and data into a frame, adds S and W, and hands the text
    // to out (when given).
    void BuildRequest(CString* out, BYTE command, const BYTE* data, int dataLength);
    void BuildMeasureSetup(CString& out, BYTE selector);
    // First steps of every parser: keep the text as received, pad it, check it.
    CString BeginBlockParse(int slot, const CString& block, CString* status);
    // Builders: the writable 40-byte text, or false when *block is no block frame read.
    static bool BeginBlockBuild(const CString* block, CString& work);
    void EndBlockBuild(int slot, CString* block, const CString& work);

    std::array<BlockSlot, kBlockSlotCount> m_aBlockSlot;
    BYTE m_cCommand = 0;
    BYTE m_cBlockNumber = 0;
    int m_nAnswerLength = 0;
    BYTE m_cAddressHi = 0;
    BYTE m_cAddressLo = 0;
    BYTE m_cAckSum = 0;
    BYTE m_cAckWeightedSum = 0;
    BYTE m_cRateCode = 25;
    DWORD m_nSetupValue = 0;  // low 16 bits go into every 'Z' request
    BYTE m_aBitMask[8];
    BYTE m_aBitMaskInv[8];
    std::unique_ptr<CFloat32> m_pFloat32;
};

// For frames the workflow controller assembles itself as text: appends S and W computed over
// every character from index 1 on.
void AppendFrameSums(CString& frame);
// Replaces the text by 0x02 and every character from index 1 on, each 0x02 among them doubled.
void StuffStx(CString& frame);
