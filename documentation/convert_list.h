#pragma once
// The value sets of a measurement that still wait to be written: a queue of fixed-width rows
// of doubles, kept in chunks so that a long measurement neither copies nor reallocates what it
// already holds. Owned by the GUI thread alone.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace documentation {

class CConvertList {
public:
    // Empties the list and sets the number of values per set.
    void Reset(int valuesPerSet);
    int ValuesPerSet() const { return m_width; }

    // Appends one set; missing values (count below the width) are stored as not available.
    void Push(const double* values, int count);
    std::size_t Size() const { return m_size; }
    bool IsEmpty() const { return m_size == 0; }
    // Number of sets ever taken off the front since Reset: the index of the front set.
    std::uint64_t FrontIndex() const { return m_popped; }

    // The set at position i from the front (i < Size()).
    const double* At(std::size_t i) const;
    // Drops n sets from the front.
    void Pop(std::size_t n);
    // Frees every set (the list's memory goes back to the system).
    void Free();

private:
    static constexpr std::size_t kSetsPerChunk = 8192;

    int m_width = 0;
    std::deque<std::vector<double>> m_chunks;
    std::size_t m_frontOffset = 0;  // sets already taken from the first chunk
    std::size_t m_size = 0;
    std::uint64_t m_popped = 0;
};

}  // namespace documentation
