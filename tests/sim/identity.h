#pragma once
// Who the simulated sensor is: the fields of its status answer and of its eight configuration
// blocks, and the block store that serves and keeps them.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "tests/sim/wire.h"

namespace sim {

// One calibration block of the rotor (factory 0x81 or user 0x82). Gains and control factors
// are fixed-point codes, 32768 = 1.0; inaccuracies are in steps of 1/10000, 0 = none.
struct CalibrationBlock {
    bool valid = true;  // false: stored with check words that do not match (switched off)
    std::uint32_t date = 1'500'000'000;
    std::uint16_t gainA = 32768, gainB = 32768;
    std::int16_t offsetA = 0, offsetB = 0;
    std::uint16_t controlA = 32768, controlB = 32768;
    std::uint16_t fullScaleA = 30000, fullScaleB = 30000;
    std::uint16_t inaccuracyA = 0, inaccuracyB = 0;
};

// What the sensor holds where no part of the protocol fixes a value: the set-up the host
// stores in it (pass/fail limits, triggers, display and power bytes, the per-channel codes and
// the user scaling of the software configuration) and the bytes the host never reads. A sensor
// fresh from the factory may hold anything there: the values of the fields below (Present), all
// 0x00, or all 0xFF as an erased memory.
enum class FactoryContents { Present, Zeros, Erased };

struct SensorIdentity {
    FactoryContents factoryContents = FactoryContents::Present;

    // Bus address: the sensor's number, 1 to 249. Requests carry it as (number, 0xFF), the
    // sensor's answers as (0xFF, number).
    std::uint8_t address = 1;

    // Status answer.
    std::uint8_t okByte = 1;
    int calibrationState = -1;  // 0 to 3; -1: taken from the calibration blocks at start-up
    std::uint8_t supportInfo = 0;  // 0 to 3
    bool noDigitalInput = false;
    bool hmbUsb = true;
    bool oemVersion = false;
    std::uint8_t statorId = 1;
    std::uint8_t statorRevision = 1;
    std::uint8_t rotorId = 1;        // 7 bits
    std::uint8_t rotorRevision = 1;  // 7 bits
    std::array<std::uint8_t, 7> statusBytes11to17{};
    std::uint8_t watchdog = 10;

    // Stator header block (0).
    std::uint32_t statorHeaderCode = 0x000100;  // 24 bits
    std::uint32_t statorSerial = 100001;
    std::uint8_t moduleIndex = 0;  // position in a multiport device, 1 for the first
    std::uint8_t moduleCount = 0;  // sensors of the multiport device

    // Stator hardware block (1).
    std::uint32_t hardwareDate = 1'400'000'000;
    std::uint8_t hardwareOption = 1;
    std::uint8_t encoderCountCode = 20;

    // Stator operation block (2); its bus address byte is `address`.
    std::uint32_t operationDate = 1'500'000'000;
    std::uint8_t operationByte12 = 0;
    std::uint8_t baudCode = 0;
    std::uint8_t encoderMode = 3;  // 3 speed, 4 or 7 angle
    std::uint16_t filterA = 3000, filterB = 3000;

    // Stator software-configuration block (3).
    std::uint8_t configKind = 4;
    float scaleA = 1.0f, scaleB = 1.0f;
    std::string unitA = "Nm", unitB = "rpm";  // up to 5 characters each
    std::uint16_t setupCount = 1;
    std::uint8_t rateIndex = 6;  // byte 32: the measure rate the host chose last, 200/s

    // Rotor header block (0x80). Ranges are decimal codes: 0x2500 = 500, 0x3100 = 1000.
    std::uint32_t rotorHeaderCode = 0x000100;
    std::uint32_t rotorSerial = 200001;
    std::uint8_t rotorTypeClass = 'A';  // 'Y' belongs to a stator of type 9
    std::uint16_t rangeACode = 0x2500;
    std::uint16_t rangeBCode = 0x3100;

    // Rotor calibration blocks (0x81, 0x82). The user calibration is stored but switched off.
    CalibrationBlock factoryCalibration{};
    CalibrationBlock userCalibration{false};

    // Rotor operation block (0x83): channel serial numbers of up to six characters, and the
    // measurement set-up kept for the host as a sensor leaves the factory: no start or stop
    // trigger (byte 11: stop kind "none", both trigger values the no-value float), channel A
    // shown on the first Y axis and channel B on the second, each with its channel view (the
    // display bytes: axis in bits 7-5, channel view bit 4, diagram bit 3).
    std::uint32_t rotorOperationDate = 1'500'000'000;
    std::string channelSerialA = "A1", channelSerialB = "B1";
    std::uint8_t triggerFlags = 0xC0;
    std::uint8_t displayA = 0x38, displayB = 0x58;

    // Blocks the sensor does not have: a read of one is refused.
    std::array<bool, 8> blockPresent{true, true, true, true, true, true, true, true};

    // Content bytes 7 to 33 of a block given verbatim (block number -> 27 bytes, shorter is
    // padded with 0x00); they replace the encoded fields, the check words are recomputed.
    std::map<std::uint8_t, Bytes> rawBlockContent;
};

// The block numbers in slot order, their code bytes, and the slot of a number (-1: none).
constexpr std::array<std::uint8_t, 8> kBlockNumbers{0x00, 0x01, 0x02, 0x03, 0x80, 0x81, 0x82, 0x83};
constexpr std::array<std::uint8_t, 8> kBlockCodes{0x10, 0x12, 0x13, 0x14, 0x40, 0x41, 0x42, 0x43};
int BlockSlot(std::uint8_t blockNumber);

// The 16-bit decimal code of a range: four hex digits e d1 d2 d3 for d1.d2d3 x 10^e.
// Returns nothing when the value cannot be written that way.
std::optional<std::uint16_t> DecimalCode(double value);

// The 6-bit character code of the rotor operation block's texts.
std::uint8_t TextCode(char ch);
char TextChar(std::uint8_t code);

// The sensor's eight blocks as it keeps them: per block the 32 bytes of frame bytes 6 to 37
// (code byte, 27 content bytes, check words A and B).
class BlockStore {
public:
    using Block = std::array<std::uint8_t, 32>;

    explicit BlockStore(const SensorIdentity& identity);

    bool IsPresent(int slot) const { return m_present[slot]; }
    const Block& Get(int slot) const { return m_blocks[slot]; }
    // Keeps what the host wrote, check words included, exactly as written.
    void Put(int slot, const Block& block);
    // True when the block's code byte and both check words are right and it is not blank.
    bool IsValid(int slot) const;
    // Bytes by frame position (7 to 33) for inspection.
    std::uint8_t ContentByte(int slot, int framePosition) const { return m_blocks[slot][framePosition - 6]; }

    // Fills in a block's check words; invalidate adds 0xCD to each of their four bytes.
    static void SealBlock(Block& block, bool invalidate = false);

private:
    std::array<Block, 8> m_blocks{};
    std::array<bool, 8> m_present{};
};

}  // namespace sim
