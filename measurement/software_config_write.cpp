#include "measurement/software_config_write.h"

#include <algorithm>

#include "measurement/measure_frame.h"
#include "measurement/measure_setup_ids.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "workflow/com_port.h"

namespace measurement {

namespace {

BYTE LowByte(int value) { return static_cast<BYTE>(value & 0xFF); }

}  // namespace

void CopyDisplayTablesToSwConfig(IMeasureFrame& frame, int sensor)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts) return;
    CComPort& com = frame.Com();
    CSensorRecord& record = com.m_Sensor[static_cast<std::size_t>(sensor)];
    CSensorSwConfig& sw = record.m_sSwConfig;
    const bool several = com.m_nCountActivePorts >= 2;
    const int t1 = several ? sensor : 0;
    const int t2 = several ? sensor : 1;
    auto value = [&frame](int table, DisplayField field) { return LowByte(frame.DisplayValue(table, field)); };

    sw.cCode3A = value(t1, DisplayField::Decimals);
    sw.cCode3B = value(t2, DisplayField::Decimals);
    // Each channel's unit in its own byte, an encoder's as any other: the sensor is read back
    // the same way, channel A's unit from A's byte and B's from B's.
    sw.cCode5A = value(t1, DisplayField::Unit);
    sw.cCode5B = value(t2, DisplayField::Unit);
    sw.cCode4A = value(t1, DisplayField::Averaging);
    sw.cCode4B = value(t2, DisplayField::Averaging);
    sw.cFlagA = value(t1, DisplayField::Sign);
    sw.cFlagB = value(t2, DisplayField::Sign);
    sw.nSetupCount = std::max(1, frame.AveragingCount());
    sw.nByte32 = frame.MeasureRateIndex();
    sw.cCode2A = value(t1, DisplayField::ChannelState);
    sw.cCode2B = value(t2, DisplayField::ChannelState);
}

SoftwareConfigWriter::SoftwareConfigWriter(IMeasureFrame& frame) : m_frame(frame) {}

bool SoftwareConfigWriter::IsMeasurementRunning() const
{
    const IMeasurePanel* panel = m_frame.Panel();
    if (panel && panel->IsRunning()) return true;
    return m_frame.Com().IsMeasurementRunning();
}

// Also while the calibration page has one sensor alone: a write for one of the others would
// reach that one, and the others' would be lost.
bool SoftwareConfigWriter::MustWait() const
{
    return IsMeasurementRunning() || m_frame.Com().IsRestartingInPlace() || m_frame.AreSensorsTakenApart();
}

// Each sensor's write of a code waits once, in the order first asked.
void SoftwareConfigWriter::Enqueue(int sensor, int code)
{
    const std::pair<int, int> entry{sensor, code};
    if (std::find(m_pending.begin(), m_pending.end(), entry) == m_pending.end()) m_pending.push_back(entry);
}

bool SoftwareConfigWriter::Write(int sensor, int code)
{
    NoteDevice();
    NoteChosenStates(sensor);
    if (MustWait()) {
        Enqueue(sensor, code);
        if (!IsTimerArmed(kTimerWriteReplay)) SetTimer(kTimerWriteReplay, kIdlePollMs);
        // Nothing is being written now: the user is not kept waiting for it.
        m_frame.EndWaitCursorOnce();
        return false;
    }
    if (RefuseWhileSensorsReturn()) return false;
    return WriteNow(sensor, code) == WriteOutcome::Sent;
}

bool SoftwareConfigWriter::RefuseWhileSensorsReturn()
{
    if (!m_frame.Com().AreSensorsReturning()) return false;
    m_frame.EndWaitCursorOnce();
    SetTimer(kTimerTellNotWritten, 0);
    return true;
}

bool SoftwareConfigWriter::CopyAndWrite(int sensor)
{
    CopyDisplayTablesToSwConfig(m_frame, sensor);
    return Write(sensor, 37);
}

bool SoftwareConfigWriter::WriteAfterPause(int sensor, int code)
{
    NoteDevice();
    NoteChosenStates(sensor);
    // A choice made while the sensors return is refused as the user makes it (told once for
    // all its sensors), not a pause later.
    if (!MustWait() && RefuseWhileSensorsReturn()) return false;
    const std::int64_t now = loop().NowMs();
    const std::int64_t from = m_paused.empty() ? now : std::max(now, m_paused.back().dueMs);
    m_paused.push_back({from + kWritePauseMs, sensor, code});
    m_frame.BeginWaitCursorOnce();
    if (m_paused.size() == 1) SetTimer(kTimerWritePause, kWritePauseMs);
    return true;
}

void SoftwareConfigWriter::WritePausedDue()
{
    while (!m_paused.empty() && m_paused.front().dueMs <= loop().NowMs()) {
        const PausedWrite write = m_paused.front();
        m_paused.pop_front();
        const bool refused = !MustWait() && m_frame.Com().AreSensorsReturning();
        Write(write.sensor, write.code);
        if (refused && m_refusedAfterPause) m_refusedAfterPause();
    }
    if (m_paused.empty()) return;
    // The sensor written a moment ago may have confirmed already: the next one's write is
    // still to come, and the frame stays busy until it is on its way.
    m_frame.BeginWaitCursorOnce();
    SetTimer(kTimerWritePause, static_cast<UINT>(std::max<std::int64_t>(m_paused.front().dueMs - loop().NowMs(), 0)));
}

SoftwareConfigWriter::WriteOutcome SoftwareConfigWriter::WriteNow(int sensor, int code)
{
    // Held for a device found again with a sensor still missing: its sensors are counted anew,
    // and the one at this place may be another than the write was chosen for (the first gone,
    // the second counts first). The write waits for the device to be whole.
    const bool held = std::find(m_pending.begin(), m_pending.end(), std::make_pair(sensor, code)) != m_pending.end();
    if (m_held && held && m_frame.Com().m_nCountActivePorts < m_heldSensors) {
        m_frame.EndWaitCursorOnce();
        HoldForReturn(sensor, code, m_heldSerial);
        return WriteOutcome::Held;
    }
    m_frame.BeginWaitCursorOnce();
    CComPort& com = m_frame.Com();
    NoteDevice();
    const DWORD serial = m_deviceSerial;
    const bool several = com.m_nCountActivePorts > 1;
    const CComPort::SwConfigWrite result = com.COM_ZMCOMConfgSetSoftwareConfigBlock(sensor, code);
    if (result != CComPort::SwConfigWrite::Sent) {
        m_frame.EndWaitCursorOnce();
        // A sensor lost since the choice (during its pause, or the measurement it waited for),
        // one on its way back (a write asked for at once, as the ports close for a search or the
        // calibration page gives the sensors back, finds them reconnecting), or one whose port no
        // longer takes what is written to it though the connection still counts it: the write
        // waits for it, and goes to it once it is back.
        const bool unreachable =
            IsGone(sensor) || com.AreSensorsReturning() || result == CComPort::SwConfigWrite::NotTaken;
        if (!unreachable) return WriteOutcome::NotSent;
        HoldForReturn(sensor, code, serial);
        return WriteOutcome::Held;
    }
    m_sent.push_back({sensor, code, serial, several, com.m_strPendingSwConfigBlock,
                      com.m_nPortRecOfSensor[static_cast<std::size_t>(sensor)]});
    SetTimer(kTimerWriteGuard, kWriteGuardMs);
    return WriteOutcome::Sent;
}

DWORD SoftwareConfigWriter::DeviceSerial() const { return m_frame.Com().m_Sensor[0].m_sStatorHeader.nSerialNo; }

// The records of a device lost are cleared: the one the user chose for is the one last seen.
void SoftwareConfigWriter::NoteDevice()
{
    if (m_frame.Com().m_nCountActivePorts < 1 || DeviceSerial() == 0) return;
    m_deviceSerial = DeviceSerial();
    m_deviceSensors = m_frame.Com().m_nCountActivePorts;
}

void SoftwareConfigWriter::NoteChosenStates(int sensor)
{
    // With no sensor counted (a paused write due after its device went) the tables are no
    // sensor's: what the user chose was noted when it was asked for.
    if (sensor < 0 || sensor >= kMaxSensorPorts || m_frame.Com().m_nCountActivePorts < 1) return;
    const bool several = m_frame.Com().m_nCountActivePorts >= 2;
    ChosenStates& chosen = m_chosen[sensor];
    chosen.several = several;
    chosen.state[0] = m_frame.DisplayValue(several ? sensor : 0, DisplayField::ChannelState);
    chosen.state[1] = m_frame.DisplayValue(several ? sensor : 1, DisplayField::ChannelState);
}

std::optional<int> SoftwareConfigWriter::ChosenChannelState(int table) const
{
    const CComPort& com = m_frame.Com();
    const bool several = com.m_nCountActivePorts >= 2;
    if (com.m_nCountActivePorts < 1 || table < 0 || table >= (several ? kMaxSensorPorts : 2)) return std::nullopt;
    if (!WritesWaitFor(com.m_Sensor[0].m_sStatorHeader.nSerialNo)) return std::nullopt;
    const int sensor = several ? table : 0;
    const bool waits = std::any_of(m_pending.begin(), m_pending.end(), [sensor](const auto& p) { return p.first == sensor; }) ||
                       std::any_of(m_paused.begin(), m_paused.end(), [sensor](const PausedWrite& p) { return p.sensor == sensor; });
    const auto chosen = m_chosen.find(sensor);
    // Chosen with the device counted otherwise, the table was another channel's.
    if (!waits || chosen == m_chosen.end() || chosen->second.several != several) return std::nullopt;
    const int state = chosen->second.state[several ? 0 : static_cast<std::size_t>(table)];
    if (state != 1 && state != 2) return std::nullopt;  // only an on or an off the user left
    return state;
}

// A sensor the connection does not count (any more): its port lost, or the device not whole.
bool SoftwareConfigWriter::IsGone(int sensor) const { return sensor >= m_frame.Com().m_nCountActivePorts; }

void SoftwareConfigWriter::HoldForReturn(int sensor, int code, DWORD serial)
{
    Enqueue(sensor, code);
    // The queue is the device's that was there when the user chose: one device at a time.
    if (!m_held) {
        m_heldSerial = serial;
        m_heldSensors = m_deviceSensors;
    }
    m_held = true;
    m_returned = false;
}

// A write sent just before its sensor went is not confirmed: the sensor still has its older
// block, and is given the write when it is back. (One the sensor answered otherwise, present,
// stays as the controller left it.) The records of a device lost are cleared: a write its
// sensor confirmed before it went is known by the sensor's port row, which keeps the block.
void SoftwareConfigWriter::HoldUnconfirmedOfGoneSensors()
{
    const CComPort& com = m_frame.Com();
    for (const SentWrite& sent : m_sent) {
        const CString& kept = com.m_Sensor[static_cast<std::size_t>(sent.sensor)].m_strBlockStatorSwConfig;
        const bool keptInRow = sent.row >= 0 && sent.row < static_cast<int>(com.m_PortRec.size()) &&
                               com.m_PortRec[static_cast<std::size_t>(sent.row)].m_Sensor.m_strBlockStatorSwConfig == sent.block;
        const bool taken = kept == sent.block || keptInRow || (!sent.several && com.m_strBlockStatorSwConfig == sent.block);
        if (!taken && IsGone(sent.sensor)) HoldForReturn(sent.sensor, sent.code, sent.serial);
    }
    m_sent.clear();
}

void SoftwareConfigWriter::SensorsRead()
{
    if (!m_held || m_frame.Com().m_nCountActivePorts < 1) return;
    if (m_pending.empty() || DeviceSerial() != m_heldSerial) {
        // Another device in its place: what was chosen for the one gone is not for this one.
        const bool told = !m_pending.empty();
        m_pending.clear();
        m_held = m_returned = false;
        if (told) SetTimer(kTimerTellNotWritten, 0);
        return;
    }
    m_returned = true;
    if (!m_afterWritingNow) SetTimer(kTimerWriteReplay, kReplayGapMs);
}

void SoftwareConfigWriter::OnTimer(UINT_PTR id)
{
    if (id == kTimerTellNotWritten) {
        KillTimer(id);
        AfxMessageBox(LoadLangString(kTextNotWrittenWhileReconnecting), platform::MB_ICONWARNING);
        return;
    }
    if (id == kTimerWriteGuard) {
        KillTimer(id);
        HoldUnconfirmedOfGoneSensors();
        // Unconfirmed: the wait cursor is the write's as long as nothing else has been started.
        const int flow = m_frame.Com().GetZMCOMConfgFlow();
        if (flow >= 35 && flow <= 38) m_frame.EndWaitCursorOnce();
        return;
    }
    if (id == kTimerWritePause) {
        KillTimer(id);
        WritePausedDue();
        return;
    }
    if (id != kTimerWriteReplay) return;
    KillTimer(id);
    ReplayNext();
}

void SoftwareConfigWriter::WritePostponedNow(std::function<void()> done)
{
    m_afterWritingNow = std::move(done);
    KillTimer(kTimerWriteReplay);
    // Those still in their pause go with them, in the order asked.
    KillTimer(kTimerWritePause);
    for (const PausedWrite& write : m_paused) Enqueue(write.sensor, write.code);
    m_paused.clear();
    ReplayNext();
}

void SoftwareConfigWriter::ReplayNext()
{
    const bool now = static_cast<bool>(m_afterWritingNow);
    if (m_pending.empty() && !now) return;
    // Held for a device that was gone: they go once it has been read again (SensorsRead).
    if (!now && m_held && !m_returned) return;
    // Written at once, the next write also waits for the answer to the one before; replayed,
    // it waits for the sensors to rest.
    if (MustWait() || (now ? m_frame.Com().m_nAnswerWatchMs != 0 : m_frame.Com().AreSensorsReturning())) {
        SetTimer(kTimerWriteReplay, now ? kReplayGapMs : kIdlePollMs);
        return;
    }
    if (m_pending.empty()) {
        EndWritingNow();
        return;
    }
    const auto [sensor, code] = m_pending.front();
    // The tables may have changed while the write waited: it takes them as they are now.
    CopyDisplayTablesToSwConfig(m_frame, sensor);
    const WriteOutcome outcome = WriteNow(sensor, code);
    const bool written = outcome == WriteOutcome::Sent;
    // One whose sensor is gone, or whose port took nothing, stays held for it.
    const bool held = outcome == WriteOutcome::Held;
    if (written || (!now && !held)) m_pending.erase(m_pending.begin());
    if (m_pending.empty()) m_held = m_returned = false;
    if (!written && now) {
        EndWritingNow();
        return;
    }
    if (held) return;
    if (!m_pending.empty() || now) SetTimer(kTimerWriteReplay, kReplayGapMs);
}

void SoftwareConfigWriter::EndWritingNow()
{
    const std::function<void()> done = std::move(m_afterWritingNow);
    m_afterWritingNow = nullptr;
    done();
}

}  // namespace measurement
