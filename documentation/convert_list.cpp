#include "documentation/convert_list.h"

#include <limits>

namespace documentation {

void CConvertList::Reset(int valuesPerSet)
{
    Free();
    m_width = valuesPerSet < 1 ? 1 : valuesPerSet;
    m_popped = 0;
}

void CConvertList::Push(const double* values, int count)
{
    const std::size_t width = static_cast<std::size_t>(m_width);
    if (m_chunks.empty() || m_chunks.back().size() == kSetsPerChunk * width) {
        m_chunks.emplace_back();
        m_chunks.back().reserve(kSetsPerChunk * width);
    }
    std::vector<double>& chunk = m_chunks.back();
    for (int i = 0; i < m_width; ++i)
        chunk.push_back(values && i < count ? values[i] : std::numeric_limits<double>::quiet_NaN());
    ++m_size;
}

const double* CConvertList::At(std::size_t i) const
{
    const std::size_t width = static_cast<std::size_t>(m_width);
    std::size_t position = m_frontOffset + i;
    const std::size_t chunk = position / kSetsPerChunk;
    position %= kSetsPerChunk;
    return m_chunks[chunk].data() + position * width;
}

void CConvertList::Pop(std::size_t n)
{
    if (n > m_size) n = m_size;
    m_size -= n;
    m_popped += n;
    m_frontOffset += n;
    const std::size_t width = static_cast<std::size_t>(m_width);
    while (!m_chunks.empty() && m_frontOffset >= kSetsPerChunk) {
        m_chunks.pop_front();
        m_frontOffset -= kSetsPerChunk;
    }
    if (!m_chunks.empty() && m_frontOffset * width >= m_chunks.front().size() && m_size == 0) {
        m_chunks.clear();
        m_frontOffset = 0;
    }
}

void CConvertList::Free()
{
    m_popped += m_size;  // later sets keep their place in the measurement
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_frontOffset = 0;
    m_size = 0;
}

}  // namespace documentation
