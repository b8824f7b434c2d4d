#pragma once
// The simulated sensor on the message loop. Each sensor sits behind a SimPort, which plays the
// part of the serial line: the host writes to it as it would write to a port, and receives the
// sensor's bytes through a delivery callback, handed over to the loop the way a port worker
// hands over what it read (platform::DeliverySource). The sensor keeps its own schedule with a
// window timer, so in a test on the virtual clock `loop.RunFor(ms)` moves the conversation and
// the measured-value stream along.
//
// Timing follows the loop's timers: a delivery planned for a time between two timer turns is
// made at the later turn (window timers run no faster than every 10 ms), so fast streams
// arrive as runs of several records, as from a real port.

#include <functional>
#include <memory>
#include <vector>

#include "platform/cstring.h"
#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "tests/sim/engine.h"
#include "tests/sim/shaper.h"

namespace sim {

class SimDevice;

class SimPort {
public:
    using DeliveryCallback = std::function<void(const CString& bytes)>;

    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    // Host -> sensor, as the port writes them (loop thread). False once the sensor is gone.
    bool Write(const CString& bytes);
    bool Write(const void* bytes, int length);

    // Sensor -> host, one call per delivery. Without a callback the bytes are lost, as on a
    // line that nobody reads.
    void SetDeliveryCallback(DeliveryCallback onBytes) { m_onDelivery = std::move(onBytes); }
    // Called once when the sensor has disappeared (after the bytes it still had on the line).
    void SetHangupCallback(std::function<void()> onHangup) { m_onHangup = std::move(onHangup); }

    // Faults on demand: hold deliveries for ms (-1: for ever); disappear now.
    void Stall(int ms);
    void HangUp();
    bool IsHungUp() const { return m_shaper.IsHungUp(); }
    // A sensor that hung up has its power back: silent for its restart time, then its hello,
    // keeping its blocks; the hang-up is reported again when it next disappears.
    void PowerOn();
    // A refusal rule (as --refuse) that holds from now on, for requests of a sensor that is
    // already connected.
    void Refuse(const RefusalRule& rule) { m_engine.AddRefusal(rule); }
    // The test load (SensorConfig::loadA/B) on or off, as a user puts a reference load on.
    void SetLoad(bool on) { m_engine.SetLoad(on); }

    // The sensor behind the port, for checks.
    const SensorEngine& sensor() const { return m_engine; }
    int index() const { return m_index; }

private:
    friend class SimDevice;
    SimPort(SimDevice& device, int index, const SensorConfig& config, std::int64_t nowUs);

    SimDevice& m_device;
    int m_index;
    SensorEngine m_engine;
    OutputShaper m_shaper;
    DeliveryCallback m_onDelivery;
    std::function<void()> m_onHangup;
    bool m_hangupReported = false;
    // Last member: destroyed first, so no delivery of a destroyed port is ever run.
    platform::DeliverySource m_source;
};

// One to four sensors that keep one schedule; port 0 is the master of a multiport device and
// the sensors armed as slaves sample on its clock.
class SimDevice : public CWnd {
public:
    explicit SimDevice(const std::vector<SensorConfig>& sensors,
                       platform::MessageLoop& loop = platform::MessageLoop::Current());
    ~SimDevice() override;

    int PortCount() const { return static_cast<int>(m_ports.size()); }
    SimPort& Port(int index) { return *m_ports.at(index); }
    const SimPort& Port(int index) const { return *m_ports.at(index); }

protected:
    void OnTimer(UINT_PTR id) override;

private:
    friend class SimPort;
    static constexpr UINT_PTR kWakeTimer = 1;
    void Pump(SimPort* writer = nullptr, const std::uint8_t* bytes = nullptr, std::size_t length = 0);
    void SynchroniseSlaves();
    void Deliver(SimPort& port, std::int64_t nowUs);
    void Schedule(std::int64_t nowUs);

    std::vector<std::unique_ptr<SimPort>> m_ports;
    std::int64_t m_followedStartUs = -1;
};

// A single sensor on its own line.
class SimulatedSensor : public SimDevice {
public:
    explicit SimulatedSensor(const SensorConfig& config = {},
                             platform::MessageLoop& loop = platform::MessageLoop::Current())
        : SimDevice({config}, loop)
    {
    }

    bool Write(const CString& bytes) { return Port(0).Write(bytes); }
    bool Write(const void* bytes, int length) { return Port(0).Write(bytes, length); }
    void SetDeliveryCallback(SimPort::DeliveryCallback onBytes) { Port(0).SetDeliveryCallback(std::move(onBytes)); }
    void SetHangupCallback(std::function<void()> onHangup) { Port(0).SetHangupCallback(std::move(onHangup)); }
    void Stall(int ms) { Port(0).Stall(ms); }
    void HangUp() { Port(0).HangUp(); }
    const SensorEngine& sensor() const { return Port(0).sensor(); }
};

// Several sensors of one device, each on its own port: port 0 the master, the others slaves.
class MultiportDevice : public SimDevice {
public:
    explicit MultiportDevice(const std::vector<SensorConfig>& sensors,
                             platform::MessageLoop& loop = platform::MessageLoop::Current())
        : SimDevice(sensors, loop)
    {
    }
};

// Configurations for the n sensors of one multiport device made from one: the same stator
// serial number, module positions 1 to n and the module count n, and no second display byte.
std::vector<SensorConfig> MultiportConfigs(int count, const SensorConfig& base = {});

}  // namespace sim
