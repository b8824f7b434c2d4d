// Any bytes from a file name or a text box must convert without reading out of bounds, and
// Windows-1252 text must survive the trip through UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string cp1252 = platform::Utf8ToCp1252(bytes);
    if (platform::Utf8ToCp1252(platform::Cp1252ToUtf8(bytes)) != bytes) std::abort();
    (void)cp1252;
    return 0;
}
