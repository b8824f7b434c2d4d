// Feeds arbitrary datagrams of the kernel's uevent socket to the parser and to the translation
// into device notifications of the port manager. Anyone on the machine can send such datagrams
// (udev's are refused, forged ones are not), so nothing in them may crash the program.
#include <cstddef>
#include <cstdint>

#include "port/uevent.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Uevent event;
    if (!ParseUevent(reinterpret_cast<const char*>(data), size, &event)) return 0;
    WPARAM code = 0;
    DeviceBroadcast header;
    DeviceEventFromUevent(event, "/dev", &code, &header);
    event.Value("SUBSYSTEM");
    return 0;
}
