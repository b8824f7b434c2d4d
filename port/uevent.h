#pragma once
// The kernel's device events (uevents): the netlink source, the parser of its datagrams and
// their translation into the device notifications of the port manager.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "port/device_broadcast.h"

struct Uevent {
    std::string action;
    std::string devpath;
    std::map<std::string, std::string> values;
    std::string Value(const std::string& key) const
    {
        const auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
};

// "action@devpath\0KEY=VALUE\0..."; false for a datagram of another form (e.g. from udev).
bool ParseUevent(const char* data, std::size_t size, Uevent* out);
// Arrival (add) and removal (remove) of tty and hidraw nodes (named by their device node below
// devRoot) and of USB interfaces (named by their sysfs path); false for anything else.
bool DeviceEventFromUevent(const Uevent& event, const std::string& devRoot, WPARAM* code, DeviceBroadcast* header);

class UeventSource {
public:
    virtual ~UeventSource() = default;
    // Readable when a datagram waits; -1 when the source could not be opened.
    virtual int Fd() const = 0;
    // One datagram; false when none waits.
    virtual bool Receive(std::string* datagram) = 0;
};

std::unique_ptr<UeventSource> MakeNetlinkUeventSource();
// Tests put a source of canned datagrams in place of the kernel's.
using UeventSourceFactory = std::function<std::unique_ptr<UeventSource>()>;
void SetUeventSourceFactory(UeventSourceFactory factory);
std::unique_ptr<UeventSource> MakeUeventSource();
