#include "workflow/multiport_merge.h"

#include <algorithm>

namespace workflow {

void LengthRing::Reset()
{
    m_values.fill(0);
    m_max = 0;
}

void LengthRing::Add(int length, int deliveries)
{
    // The ring moves one place; the value leaving it may have been the maximum.
    const int leaving = m_values[0];
    std::copy(m_values.begin() + 1, m_values.end(), m_values.begin());
    m_values[99] = 0;
    const int position = std::clamp(deliveries - 1, 0, 99);
    m_values[static_cast<std::size_t>(position)] = length;
    if (leaving == m_max) m_max = *std::max_element(m_values.begin(), m_values.end());
    else if (length > m_max) m_max = length;
}

bool ValueFifo::Push(LONG value)
{
    if (Full()) return false;
    m_values[static_cast<std::size_t>((m_head + m_size) % kMergeFifoSize)] = value;
    ++m_size;
    return true;
}

void ValueFifo::Pop()
{
    if (m_size == 0) return;
    m_head = (m_head + 1) % kMergeFifoSize;
    --m_size;
}

void MergePort::Reset()
{
    fifo.Clear();
    last = 0;
    expectedSeq = 0;
    lost = 0;
    bridged = 0;
    deliveries = 0;
    maxBufferLength = 0;
    bufferRing.Reset();
    fifoRing.Reset();
    incompleteDeliveries = 0;
    missingValues = 0;
}

bool MergeMasks(int activePorts, std::uint32_t& complete, std::uint32_t& start)
{
    switch (activePorts) {
    case 2: complete = 0xFFFF0101u; start = 0xFFFF0000u; return true;
    case 3: complete = 0xFF010101u; start = 0xFF000000u; return true;
    case 4: complete = 0x01010101u; start = 0x00000000u; return true;
    default: return false;
    }
}

std::uint32_t PackMask(const std::array<BYTE, kMergePorts>& mask)
{
    std::uint32_t value = 0;
    for (int i = kMergePorts - 1; i >= 0; --i) value = (value << 8) | mask[static_cast<std::size_t>(i)];
    return value;
}

void UnpackMask(std::uint32_t value, std::array<BYTE, kMergePorts>& mask)
{
    for (int i = 0; i < kMergePorts; ++i) mask[static_cast<std::size_t>(i)] = static_cast<BYTE>((value >> (8 * i)) & 0xFF);
}

}  // namespace workflow
