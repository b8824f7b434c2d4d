#include "tests/sim/device.h"

#include <algorithm>

namespace sim {

SimPort::SimPort(SimDevice& device, int index, const SensorConfig& config, std::int64_t nowUs)
    : m_device(device), m_index(index), m_engine(config, nowUs), m_shaper(config.faults), m_source(device.loop())
{
}

bool SimPort::Write(const CString& bytes) { return Write(bytes.bytes(), bytes.GetLength()); }

bool SimPort::Write(const void* bytes, int length)
{
    if (m_shaper.IsHungUp()) return false;
    if (length > 0) m_device.Pump(this, static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(length));
    return true;
}

void SimPort::Stall(int ms)
{
    const std::int64_t now = m_device.loop().NowUs();
    m_shaper.StallUntil(ms < 0 ? OutputShaper::kNever : now + static_cast<std::int64_t>(ms) * 1000);
    m_device.Pump();
}

void SimPort::HangUp()
{
    m_shaper.HangUp();
    m_device.Pump();
}

void SimPort::PowerOn()
{
    m_shaper.PowerOn();
    m_hangupReported = false;
    m_engine.PowerOn(m_device.loop().NowUs());
    m_device.Pump();
}

SimDevice::SimDevice(const std::vector<SensorConfig>& sensors, platform::MessageLoop& loop) : CWnd(loop)
{
    const std::int64_t now = loop.NowUs();
    for (std::size_t i = 0; i < sensors.size(); ++i)
        m_ports.push_back(std::unique_ptr<SimPort>(new SimPort(*this, static_cast<int>(i), sensors[i], now)));
    Pump();
}

SimDevice::~SimDevice() { KillTimer(kWakeTimer); }

void SimDevice::OnTimer(UINT_PTR id)
{
    if (id != kWakeTimer) return;
    KillTimer(kWakeTimer);
    Pump();
}

void SimDevice::Pump(SimPort* writer, const std::uint8_t* bytes, std::size_t length)
{
    const std::int64_t now = loop().NowUs();
    std::vector<Batch> batches;
    // Every sensor first sends what fell due up to now, so that a stop or a new set-up cuts
    // all streams of the device at the same instant.
    for (auto& port : m_ports) {
        if (port->m_shaper.IsHungUp()) continue;
        batches.clear();
        port->m_engine.Advance(now, batches);
        for (const Batch& batch : batches) port->m_shaper.Push(batch, now);
    }
    if (writer && !writer->m_shaper.IsHungUp()) {
        batches.clear();
        writer->m_engine.OnHostBytes(bytes, length, now, batches);
        for (const Batch& batch : batches) writer->m_shaper.Push(batch, now);
    }
    // The master's stream may just have started or stopped: the slaves follow at once.
    SynchroniseSlaves();
    for (auto& port : m_ports) Deliver(*port, now);
    Schedule(now);
}

void SimDevice::SynchroniseSlaves()
{
    const SensorEngine& master = m_ports.front()->m_engine;
    const bool leads = master.LeadsStream() && !m_ports.front()->m_shaper.IsHungUp();
    const std::int64_t start = leads ? master.StreamStartUs() : -1;
    if (start == m_followedStartUs) return;
    m_followedStartUs = start;
    for (std::size_t i = 1; i < m_ports.size(); ++i) {
        SensorEngine& slave = m_ports[i]->m_engine;
        if (leads) {
            slave.FollowStream(master.StreamStartUs(), master.StreamPeriodUs());
        } else {
            slave.EndFollowing();
        }
    }
}

void SimDevice::Deliver(SimPort& port, std::int64_t nowUs)
{
    for (Bytes& chunk : port.m_shaper.TakeDue(nowUs)) {
        CString text(chunk.data(), static_cast<int>(chunk.size()));
        port.m_source.HandOver([&port, text] {
            if (port.m_onDelivery) port.m_onDelivery(text);
        });
    }
    if (port.m_shaper.IsHungUp() && !port.m_shaper.HasPending() && !port.m_hangupReported) {
        port.m_hangupReported = true;
        port.m_source.HandOver([&port] {
            if (port.m_onHangup) port.m_onHangup();
        });
    }
}

void SimDevice::Schedule(std::int64_t nowUs)
{
    std::int64_t next = -1;
    auto consider = [&](std::int64_t at) {
        if (at >= 0 && (next < 0 || at < next)) next = at;
    };
    for (const auto& port : m_ports) {
        if (!port->m_shaper.IsHungUp()) consider(port->m_engine.NextWakeUs());
        consider(port->m_shaper.NextDueUs());
    }
    if (next < 0) {
        KillTimer(kWakeTimer);
        return;
    }
    const std::int64_t delayMs = std::max<std::int64_t>(1, (next - nowUs + 999) / 1000);
    const std::int64_t armedMs = loop().TimerRemainingMs(GetSafeHwnd(), kWakeTimer);
    // Re-arming only ever brings the wake-up forward, so a host that writes often cannot
    // keep pushing the sensor's own schedule back.
    if (armedMs < 0 || armedMs > delayMs) SetTimer(kWakeTimer, static_cast<UINT>(std::min<std::int64_t>(delayMs, 0x7FFFFFFF)));
}

std::vector<SensorConfig> MultiportConfigs(int count, const SensorConfig& base)
{
    std::vector<SensorConfig> configs;
    for (int i = 0; i < count; ++i) {
        SensorConfig config = base;
        config.identity.moduleIndex = static_cast<std::uint8_t>(i + 1);
        config.identity.moduleCount = static_cast<std::uint8_t>(count);
        // Each sensor of the device carries one channel: its rotor operation block has no
        // second display byte (there it is the power byte, none).
        config.identity.displayB = 0;
        configs.push_back(config);
    }
    return configs;
}

}  // namespace sim
