#include "tests/sim/identity.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string_view>
#include <vector>

namespace sim {
namespace {

constexpr std::string_view kTextAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ?";

// Writers by frame position (6 is the code byte, 7 to 33 the content).
void Put8(BlockStore::Block& b, int pos, std::uint8_t v) { b[pos - 6] = v; }
void Put16(BlockStore::Block& b, int pos, std::uint16_t v)
{
    b[pos - 6] = static_cast<std::uint8_t>(v >> 8);
    b[pos - 5] = static_cast<std::uint8_t>(v);
}
void Put24(BlockStore::Block& b, int pos, std::uint32_t v)
{
    for (int i = 0; i < 3; ++i) b[pos - 6 + i] = static_cast<std::uint8_t>(v >> (16 - 8 * i));
}
void Put32(BlockStore::Block& b, int pos, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[pos - 6 + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}
void PutText(BlockStore::Block& b, int pos, const std::string& text, int width)
{
    for (int i = 0; i < width; ++i)
        b[pos - 6 + i] = i < static_cast<int>(text.size()) ? static_cast<std::uint8_t>(text[i]) : ' ';
}

// Six characters, blank-filled, as 6-bit codes.
std::array<std::uint8_t, 6> SerialCodes(const std::string& text)
{
    std::array<std::uint8_t, 6> codes{};
    for (int i = 0; i < 6; ++i) codes[i] = TextCode(i < static_cast<int>(text.size()) ? text[i] : ' ');
    return codes;
}

// The content bytes, by frame position, whose value is the sensor's own (see FactoryContents).
// The software configuration's byte 32 is the rate the host chose last (`rateIndex`).
std::vector<int> FreePositions(std::uint8_t blockNumber)
{
    std::vector<int> positions;
    const auto add = [&](int from, int to) {
        for (int pos = from; pos <= to; ++pos) positions.push_back(pos);
    };
    switch (blockNumber) {
    case 0x00: add(16, 33); break;
    case 0x01: add(11, 15), add(18, 33); break;
    case 0x02: add(11, 12), add(14, 15), add(18, 18), add(23, 33); break;
    case 0x03: add(7, 31), add(33, 33); break;
    case 0x80: add(14, 14), add(18, 19), add(22, 33); break;
    case 0x81:
    case 0x82: add(31, 33); break;
    case 0x83: add(11, 22), add(32, 33); break;
    default: break;
    }
    return positions;
}

BlockStore::Block EncodeBlock(int slot, const SensorIdentity& id)
{
    BlockStore::Block b{};
    Put8(b, 6, kBlockCodes[slot]);
    switch (kBlockNumbers[slot]) {
    case 0x00:
        Put24(b, 7, id.statorHeaderCode);
        Put32(b, 10, id.statorSerial);
        Put8(b, 14, id.moduleIndex);
        Put8(b, 15, id.moduleCount);
        break;
    case 0x01:
        Put32(b, 7, id.hardwareDate);
        Put8(b, 16, id.hardwareOption);
        Put8(b, 17, id.encoderCountCode);
        break;
    case 0x02:
        Put32(b, 7, id.operationDate);
        Put8(b, 12, id.operationByte12);
        Put8(b, 13, id.address);
        Put8(b, 16, id.baudCode);
        Put8(b, 17, id.encoderMode);
        Put16(b, 19, id.filterA);
        Put16(b, 21, id.filterB);
        // No pass/fail limits: the bytes of a limit never written stay 0xFF.
        for (int pos : {11, 14, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33}) Put8(b, pos, 0xFF);
        break;
    case 0x03:
        Put8(b, 7, id.configKind);
        Put32(b, 8, std::bit_cast<std::uint32_t>(id.scaleA));
        Put32(b, 12, std::bit_cast<std::uint32_t>(id.scaleB));
        PutText(b, 16, id.unitA, 5);
        PutText(b, 21, id.unitB, 5);
        Put16(b, 30, id.setupCount);
        Put8(b, 32, id.rateIndex);
        break;
    case 0x80:
        Put24(b, 7, id.rotorHeaderCode);
        Put32(b, 10, id.rotorSerial);
        Put8(b, 15, id.rotorTypeClass);
        Put16(b, 16, id.rangeACode);
        Put16(b, 20, id.rangeBCode);
        break;
    case 0x81:
    case 0x82: {
        const CalibrationBlock& c = kBlockNumbers[slot] == 0x81 ? id.factoryCalibration : id.userCalibration;
        Put32(b, 7, c.date);
        Put16(b, 11, c.gainA);
        Put16(b, 13, static_cast<std::uint16_t>(c.offsetA));
        Put16(b, 15, c.gainB);
        Put16(b, 17, static_cast<std::uint16_t>(c.offsetB));
        Put16(b, 19, c.controlA);
        Put16(b, 21, c.controlB);
        Put16(b, 23, c.fullScaleA);
        Put16(b, 25, c.fullScaleB);
        Put16(b, 27, c.inaccuracyA);
        Put16(b, 29, c.inaccuracyB);
        Put24(b, 31, 0xFFFFFF);  // no part of a pass/fail limit
        break;
    }
    case 0x83: {
        Put32(b, 7, id.rotorOperationDate);
        Put8(b, 11, id.triggerFlags);
        Put8(b, 12, id.displayA);
        Put8(b, 13, id.displayB);
        // Neither trigger has a value: the largest single-precision number, in memory order.
        for (int pos : {14, 18}) Put32(b, pos, 0xFFFF7F7F);
        Put16(b, 32, 0xFFFF);
        const auto a = SerialCodes(id.channelSerialA);
        const auto s = SerialCodes(id.channelSerialB);
        for (int i = 0; i < 6; ++i) Put8(b, 23 + i, a[i]);
        for (int i = 0; i < 3; ++i) b[29 - 6 + i] = s[i];
        // Characters 4 to 6 of channel B ride in bits 6 and 7 of three bytes each.
        for (int ch = 0; ch < 3; ++ch)
            for (int pair = 0; pair < 3; ++pair) {
                const std::uint8_t bits = (s[3 + ch] >> (2 * pair)) & 0x03;
                b[23 + 3 * ch + pair - 6] |= static_cast<std::uint8_t>(bits << 6);
            }
        break;
    }
    default:
        break;
    }
    if (id.factoryContents != FactoryContents::Present)
        for (int pos : FreePositions(kBlockNumbers[slot]))
            Put8(b, pos, id.factoryContents == FactoryContents::Zeros ? 0x00 : 0xFF);
    const auto raw = id.rawBlockContent.find(kBlockNumbers[slot]);
    if (raw != id.rawBlockContent.end())
        for (int i = 0; i < 27; ++i) b[1 + i] = i < static_cast<int>(raw->second.size()) ? raw->second[i] : 0;
    return b;
}

}  // namespace

int BlockSlot(std::uint8_t blockNumber)
{
    const auto it = std::find(kBlockNumbers.begin(), kBlockNumbers.end(), blockNumber);
    return it == kBlockNumbers.end() ? -1 : static_cast<int>(it - kBlockNumbers.begin());
}

std::optional<std::uint16_t> DecimalCode(double value)
{
    if (!(value >= 0.0)) return std::nullopt;
    for (int e = 0; e <= 3; ++e) {
        const double digits = value / std::pow(10.0, e) * 100.0;  // d1 d2 d3 as a number
        const double rounded = std::round(digits);
        if (rounded > 999.0) continue;
        if (std::fabs(digits - rounded) > 1e-6 * std::max(1.0, digits)) return std::nullopt;
        const int d = static_cast<int>(rounded);
        return static_cast<std::uint16_t>((e << 12) | ((d / 100) << 8) | (((d / 10) % 10) << 4) | (d % 10));
    }
    return std::nullopt;
}

std::uint8_t TextCode(char ch)
{
    const auto at = kTextAlphabet.find(ch);
    return at == std::string_view::npos ? 63 : static_cast<std::uint8_t>(at);
}

char TextChar(std::uint8_t code) { return code < 64 ? kTextAlphabet[code] : '?'; }

BlockStore::BlockStore(const SensorIdentity& identity)
{
    for (int slot = 0; slot < 8; ++slot) {
        m_present[slot] = identity.blockPresent[slot];
        m_blocks[slot] = EncodeBlock(slot, identity);
        bool invalidate = false;
        if (kBlockNumbers[slot] == 0x81) invalidate = !identity.factoryCalibration.valid;
        if (kBlockNumbers[slot] == 0x82) invalidate = !identity.userCalibration.valid;
        SealBlock(m_blocks[slot], invalidate);
    }
}

void BlockStore::Put(int slot, const Block& block)
{
    m_blocks[slot] = block;
    m_present[slot] = true;
}

bool BlockStore::IsValid(int slot) const
{
    const Block& b = m_blocks[slot];
    if (!m_present[slot] || b[0] != kBlockCodes[slot]) return false;
    const BlockCheckWords words = ComputeBlockCheckWords(b.data());
    return b[28] == (words.a >> 8) && b[29] == (words.a & 0xFF) && b[30] == (words.b >> 8) &&
           b[31] == (words.b & 0xFF);
}

void BlockStore::SealBlock(Block& block, bool invalidate)
{
    const BlockCheckWords words = ComputeBlockCheckWords(block.data());
    block[28] = static_cast<std::uint8_t>(words.a >> 8);
    block[29] = static_cast<std::uint8_t>(words.a);
    block[30] = static_cast<std::uint8_t>(words.b >> 8);
    block[31] = static_cast<std::uint8_t>(words.b);
    if (invalidate)
        for (int i = 28; i < 32; ++i) block[i] = static_cast<std::uint8_t>(block[i] + 0xCD);
}

}  // namespace sim
