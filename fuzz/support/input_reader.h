#pragma once
// A fuzz input read from the front: single bytes, and runs of bytes that a length byte
// announces, cut at the input's end. Past the end every byte reads as 0 and every run is empty.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace fuzz_support {

struct InputReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;

    bool More() const { return pos < size; }
    std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    // The run after its length byte; the length is taken modulo most + 1.
    std::pair<const std::uint8_t*, std::size_t> Run(std::size_t most = 255)
    {
        const std::size_t claimed = Byte() % (most + 1);
        const std::size_t length = std::min(claimed, size - pos);
        const std::uint8_t* bytes = data + pos;
        pos += length;
        return {bytes, length};
    }
};

}  // namespace fuzz_support
