#pragma once
// The controller's narrow view of a port manager: the few operations it uses to reach one
// sensor port. In the application an adapter puts the port library's manager behind it; tests
// put a port that talks to the simulated sensor.
//
// A port created for a window delivers what it reads to that window, in order, as the data
// message given at creation (wParam: byte count, lParam: address of the bytes, valid during the
// call only), and posts its device events as the event message.

#include <memory>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CWnd;

namespace workflow {

// Line settings of a sensor port: 8 data bits, no parity, one stop bit, no handshake, at the
// row's baud rate.
struct LineSettings {
    int baudRate = 115200;
    int dataBits = 8;
    int parity = 0;    // none
    int stopBits = 0;  // one
    int handshake = 0; // none
};

class ISensorPort {
public:
    virtual ~ISensorPort() = default;
    // Opens the port named by the text (its COM name leads it); an open port is closed first.
    // A port that does not open (another program holds it) fails at once: the pause the port
    // library keeps after a failed open (kFailedOpenPauseMs) is the caller's, on its loop.
    virtual bool OpenPort(const CString& portText) = 0;
    // Closes the port; the state text becomes "OffLine".
    virtual void SetOffLine() = 0;
    virtual bool WriteString(const CString& bytes) = 0;
    // The port's own text while open, else "OffLine" (or the library's other state texts).
    virtual CString GetStateText() const = 0;
    virtual void SetLineSettings(const LineSettings& settings) = 0;
    virtual void SetEventMask(DWORD clearBits, DWORD setBits) = 0;
};

constexpr unsigned kFailedOpenPauseMs = 250;

// One entry of the port list as the port combo box shows it: the text begins with the COM
// name, followed by a blank and the driver's description.
struct PortListEntry {
    CString text;
    CString description;
};

class ISensorPortFactory {
public:
    virtual ~ISensorPortFactory() = default;
    virtual std::unique_ptr<ISensorPort> Create(CWnd& window, UINT eventMessage, UINT dataMessage) = 0;
    // The ports present, in the order of the port combo box.
    virtual std::vector<PortListEntry> ListPorts() = 0;
};

// Message numbers of the sensor ports.
constexpr UINT kMsgFirstPortData = 2000;
constexpr UINT kMsgFirstPortEvent = 2200;
constexpr UINT kMsgFurtherPortData = 2101;   // + n, n = 0 to 3
constexpr UINT kMsgFurtherPortEvent = 2301;  // + n
constexpr DWORD kEventDeviceArrival = 0x10000000;
constexpr DWORD kEventDeviceRemoval = 0x20000000;

}  // namespace workflow
