#pragma once
// The state of the multiport merge: the sensors of a multiport device stream one 3-byte record
// per sample each, and the values with the same position in every port's stream form one
// value set. Each port's values wait in a fixed ring until every port has delivered.

#include <array>
#include <cstdint>

#include "platform/win_types.h"

namespace workflow {

constexpr int kMergeFifoSize = 1000;
constexpr int kMergePorts = 4;

// A ring of the last 100 lengths with its maximum.
class LengthRing {
public:
    void Reset();
    // Enters a length; deliveries counts from 1.
    void Add(int length, int deliveries);
    int Max() const { return m_max; }

private:
    std::array<int, 100> m_values{};
    int m_max = 0;
};

// Values of one port in arrival order, fixed capacity, constant time per operation.
class ValueFifo {
public:
    bool Push(LONG value);
    LONG Front() const { return m_values[static_cast<std::size_t>(m_head)]; }
    void Pop();
    int Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    bool Full() const { return m_size == kMergeFifoSize; }
    void Clear() { m_head = m_size = 0; }

private:
    std::array<LONG, kMergeFifoSize> m_values{};
    int m_head = 0;
    int m_size = 0;
};

struct MergePort {
    ValueFifo fifo;
    LONG last = 0;
    BYTE expectedSeq = 0;
    BYTE lost = 0;
    BYTE bridged = 0;
    // Diagnostics.
    int deliveries = 0;
    int maxBufferLength = 0;
    LengthRing bufferRing;
    LengthRing fifoRing;
    int incompleteDeliveries = 0;
    int missingValues = 0;
    // Synchronisation test mode.
    unsigned testCounter = 0;
    BYTE skipMarked = 0;
    void Reset();
};

struct MultiportMergeState {
    std::array<BYTE, kMergePorts> arrival{};
    int uniqueArrivals = -1;  // -1: not used yet
    std::array<MergePort, kMergePorts> port;
    BYTE testDropDone = 0;
    int remainderDeliveries = 0;
};

// Complete and start masks by active port count, byte i = port i; false for a count other than
// 2, 3 or 4.
bool MergeMasks(int activePorts, std::uint32_t& complete, std::uint32_t& start);
std::uint32_t PackMask(const std::array<BYTE, kMergePorts>& mask);
void UnpackMask(std::uint32_t value, std::array<BYTE, kMergePorts>& mask);

}  // namespace workflow
