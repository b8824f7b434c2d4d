#pragma once
// Ports for the controller that lead to the in-process simulated sensor. Each named port is
// bound to one SimPort; a port opened on that name delivers the sensor's bytes to its window
// as the data message, just as a port worker does, and hands the controller's writes to the
// sensor. The factory logs every write, so tests can check the exact request sequence.

#include <map>
#include <memory>
#include <vector>

#include "tests/sim/sim.h"
#include "workflow/sensor_port.h"

namespace workflow_test {

struct WrittenFrame {
    CString port;   // COM name
    CString bytes;
    int baud = 0;
    std::int64_t atMs = 0;  // loop time of the write
    BYTE Letter() const { return bytes.GetLength() > 1 ? bytes.ByteAt(1) : 0; }
};

class SimPortFactory;

class SimSensorPort : public workflow::ISensorPort {
public:
    SimSensorPort(SimPortFactory& factory, CWnd& window, UINT eventMessage, UINT dataMessage);
    ~SimSensorPort() override;

    bool OpenPort(const CString& portText) override;
    void SetOffLine() override;
    bool WriteString(const CString& bytes) override;
    CString GetStateText() const override;
    void SetLineSettings(const workflow::LineSettings& settings) override { m_settings = settings; }
    // As the port library: the mask replaces the one before, events outside it go unreported.
    void SetEventMask(DWORD, DWORD setBits) override { m_eventMask = setBits; }

    UINT DataMessage() const { return m_dataMessage; }
    const CString& OpenName() const { return m_openName; }
    bool IsOpen() const { return !m_openName.IsEmpty(); }
    const workflow::LineSettings& Settings() const { return m_settings; }

private:
    friend class SimPortFactory;
    SimPortFactory& m_factory;
    CWnd& m_window;
    UINT m_eventMessage;
    UINT m_dataMessage;
    CString m_openName;      // the text it was opened with
    CString m_comName;       // its COM name
    workflow::LineSettings m_settings;
    DWORD m_eventMask = 0;
};

class SimPortFactory : public workflow::ISensorPortFactory {
public:
    struct Binding {
        sim::SimPort* sim = nullptr;
        CString description;
        int baudRate = 0;          // the sensor answers only at this rate (0: any)
        bool opens = true;         // false: the port cannot be opened
        bool writes = true;        // false: every write is refused
        SimSensorPort* owner = nullptr;
    };

    // Adds a port to the list: "COMn description".
    void Add(const CString& comName, const CString& description, sim::SimPort* port, int baudRate = 0);
    Binding& Port(const CString& comName) { return m_ports.at(comName); }
    // The port's device is gone: it leaves the list and no longer opens.
    void Unplug(const CString& comName);
    // A list entry that is no COM port (or a COM name followed by a letter).
    void AddPlainEntry(const CString& text) { m_extra.push_back(text); }

    std::unique_ptr<workflow::ISensorPort> Create(CWnd& window, UINT eventMessage, UINT dataMessage) override;
    std::vector<workflow::PortListEntry> ListPorts() override;

    std::vector<WrittenFrame> writes;
    std::vector<UINT> createdDataMessages;
    int livePorts = 0;
    // The sequence of request letters written (stop bytes and other single bytes as 0x02).
    CString Letters() const;
    int Count(BYTE letter) const;

private:
    friend class SimSensorPort;
    std::map<CString, Binding> m_ports;
    std::vector<CString> m_order;
    std::vector<CString> m_extra;
};

}  // namespace workflow_test
