#pragma once
// The road of a set-up choice into the sensor: the display tables of the main frame are copied
// into the software-configuration part of the sensor's record, and the workflow controller
// writes the sensor's block 3 from it.
//
// While the sensors restart or are being connected (the search after a baud-rate change or a
// restart included) nothing is written either (the write would take the place of the step that
// waits for them, or go to a closed port, and they are read again once connected): the user is
// told, once for a choice written into several sensors, to choose it again then.
//
// While a measurement runs, or a sensor restarts after its new filters (it comes back as it was,
// with what the page shows), nothing is written: each (sensor, code) asked for waits in a queue,
// once, in the order asked, and once that has ended the queue is replayed one write every 100 ms,
// so that no sensor's write and no scaling code is lost. A write that fails or that the
// controller does not send ends the wait cursor (and with it the busy flag that holds the
// control panel's Start and Trigger). Before the program closes or a search closes the ports,
// the queue is written at once (WritePostponedNow).
//
// A sensor that is gone when its write is due (its power cut during the write's pause, say),
// that went before it confirmed the write, or whose port takes no write while the connection
// still counts it (its line gone before the connection learnt of it), keeps the write in the
// queue: written before the program closes or a search closes the ports, or the device read
// again, the same one, gets it (the page keeps what the user chose meanwhile, HoldsWritesFor);
// another device found in its place does not, and the user is told it was not written.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"
#include "platform/wnd.h"

namespace measurement {

class IMeasureFrame;

// Copies decimals, unit, averaging, sign and channel state of the sensor's display tables and
// the frame's averaging count and rate index into the sensor's record (one sensor: tables 0
// and 1 are channels A and B; several sensors: table s is both channels of sensor s; an angle
// sensor takes its unit into the channel its angle mode names).
void CopyDisplayTablesToSwConfig(IMeasureFrame& frame, int sensor);

class SoftwareConfigWriter : public CWnd {
public:
    static constexpr unsigned kIdlePollMs = 500;
    static constexpr unsigned kReplayGapMs = 100;
    // What a sensor is given before its set-up is written.
    static constexpr unsigned kWritePauseMs = 100;
    // The longest a write keeps the frame busy when the sensor never confirms it.
    static constexpr unsigned kWriteGuardMs = 3000;

    explicit SoftwareConfigWriter(IMeasureFrame& frame);

    // Writes block 3 of the sensor with the workflow code (35, 36, 37 or 38). True when the
    // frame went to the port; false when it waits for the end of a measurement or was not sent.
    // While the block is on its way the frame shows the wait cursor, so no measurement starts
    // under it; the confirmation ends it, or the guard when no confirmation comes.
    bool Write(int sensor, int code);
    // Copy, then write with code 37.
    bool CopyAndWrite(int sensor);
    // Writes as Write once the sensor has been given 100 ms, each write of a row asked for in
    // one go 100 ms after the one before. The pause is the loop's: the window goes on, and the
    // frame stays busy meanwhile (the wait cursor, IsPausing), so no measurement starts before
    // the sensor has its set-up. False when refused as the sensors return (the user is told).
    bool WriteAfterPause(int sensor, int code);
    // Runs when such a write is refused once its pause is over, the sensors having begun to
    // return meanwhile (the user is told): what the page shows is not what they keep.
    void OnRefusedAfterPause(std::function<void()> refused) { m_refusedAfterPause = std::move(refused); }
    bool IsPausing() const { return !m_paused.empty(); }
    // A write is waiting: for its pause, or for the end of a measurement.
    bool HasWritesWaiting() const { return !m_pending.empty() || !m_paused.empty(); }
    // While the sensors restart or are being connected, a choice that writes into them (block 3,
    // or the stator operation block of a filter or an encoder's mode) is refused: true, and the
    // user is told (once for a choice written into several sensors).
    bool RefuseWhileSensorsReturn();
    bool IsMeasurementRunning() const;
    // A write waits while a measurement runs, and while a sensor restarts after its new filters.
    bool MustWait() const;
    // Writes wait for the device with this serial number, gone when they were due: what the
    // user chose for it stays on the page when it is read again.
    bool HoldsWritesFor(DWORD serial) const { return m_held && serial == m_heldSerial && !m_pending.empty(); }
    // Held for it, or still waiting (for a measurement's end, a restart) to go to the device
    // they were chosen for: the sensor read meanwhile has the older set-up, not the user's.
    bool WritesWaitFor(DWORD serial) const
    {
        return HoldsWritesFor(serial) || (!m_held && HasWritesWaiting() && serial == m_deviceSerial);
    }
    // The on/off state the user chose for this display table's channel, while a write that
    // carries it still waits for its sensor: the sensor read meanwhile reports its older state.
    std::optional<int> ChosenChannelState(int table) const;
    // Notes the on/off states the page now holds for the sensor as the ones the user chose.
    void NoteChosenStates(int sensor);
    // The sensors have been read (again) and the page refilled: writes held for the device go
    // out now, or are given up, and the user told, when another device is there.
    void SensorsRead();
    // The postponed writes go out now, as soon as the measurement has stopped, each once the
    // sensor has answered the one before (what is written after them must not take their
    // answers); then done runs. A write that cannot reach its sensor ends it early and stays
    // queued for the next connection; one left unanswered ends with the controller's answer
    // watch, so done always runs.
    void WritePostponedNow(std::function<void()> done);

protected:
    void OnTimer(UINT_PTR id) override;

private:
    // What became of a write: on its way, not sent, or not sent and held for its sensor, which
    // it could not reach.
    enum class WriteOutcome { Sent, NotSent, Held };
    WriteOutcome WriteNow(int sensor, int code);
    void ReplayNext();
    void EndWritingNow();
    void WritePausedDue();
    void Enqueue(int sensor, int code);
    bool IsGone(int sensor) const;
    void HoldForReturn(int sensor, int code, DWORD serial);
    void HoldUnconfirmedOfGoneSensors();
    DWORD DeviceSerial() const;
    void NoteDevice();

    IMeasureFrame& m_frame;
    std::vector<std::pair<int, int>> m_pending;
    std::function<void()> m_afterWritingNow;  // set while the queue is written at once
    struct PausedWrite {
        std::int64_t dueMs;
        int sensor;
        int code;
    };
    std::deque<PausedWrite> m_paused;
    std::function<void()> m_refusedAfterPause;
    // Written and not yet known to be taken: checked when the guard ends.
    struct SentWrite {
        int sensor;
        int code;
        DWORD serial;
        bool several;
        CString block;
        int row;  // the sensor's port row, whose record keeps what the sensor confirmed
    };
    std::vector<SentWrite> m_sent;
    // The channels' on/off as chosen when each sensor's write was asked for, and whether the
    // device then counted several sensors (a table is a sensor's then, else the one's channel).
    struct ChosenStates {
        bool several = false;
        std::array<int, 2> state{};
    };
    std::map<int, ChosenStates> m_chosen;  // by sensor
    // The queue waits for a device that was gone when its writes were due.
    DWORD m_deviceSerial = 0;  // the device the writes are asked for
    int m_deviceSensors = 0;   // and how many sensors it had then
    bool m_held = false;
    DWORD m_heldSerial = 0;
    int m_heldSensors = 0;
    bool m_returned = false;  // that device has been read again
};

}  // namespace measurement
