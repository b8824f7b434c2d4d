#pragma once
// How the sensor's writes travel to the host: one delivery per write, late, stalled, with
// garbage in front, cut and joined at chosen offsets, or not at all once the sensor has
// disappeared. Time is given in microseconds by the caller.

#include <cstdint>
#include <deque>
#include <limits>
#include <vector>

#include "tests/sim/engine.h"
#include "tests/sim/faults.h"

namespace sim {

class OutputShaper {
public:
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

    explicit OutputShaper(const FaultPlan& faults);

    // One write of the sensor, made at nowUs.
    void Push(const Batch& batch, std::int64_t nowUs);
    // The deliveries due by nowUs, in order.
    std::vector<Bytes> TakeDue(std::int64_t nowUs);
    // When the next delivery is due; -1: none waits (or only ones held for ever).
    std::int64_t NextDueUs() const;

    // Holds every delivery until untilUs (kNever: for ever); bytes written meanwhile are
    // joined into one delivery when the stall ends.
    void StallUntil(std::int64_t untilUs);
    // The sensor disappears: it writes nothing more. Bytes already on the line still arrive,
    // unless a stall holds them.
    void HangUp();
    bool IsHungUp() const { return m_hungUp; }
    // Back after a hang-up, with nothing of before on the line.
    void PowerOn()
    {
        m_hungUp = false;
        m_chunks.clear();
        m_stallUntilUs = -1;
    }
    bool HasPending() const { return !m_chunks.empty(); }

private:
    struct Chunk {
        Bytes bytes;
        std::int64_t dueUs;
    };
    bool Matches(const Trigger& trigger, std::uint8_t cause, long long ordinal) const;
    void CheckTriggers(std::uint8_t cause, long long ordinal, std::int64_t nowUs);
    void Queue(Bytes bytes, std::int64_t nowUs);
    bool StartRechunk(std::uint8_t cause, long long ordinal);
    void Rechunk(const Bytes& bytes, std::int64_t nowUs);

    FaultPlan m_faults;
    std::vector<int> m_garbageLeft, m_rechunkLeft, m_stallLeft;
    bool m_hangupFired = false;
    bool m_hungUp = false;
    std::int64_t m_stallUntilUs = -1;
    std::int64_t m_lastDueUs = 0;
    bool m_havePiece = false;  // a piece has been queued: the next one keeps the pause
    std::deque<Chunk> m_chunks;

    // The active re-chunking: cut offsets still ahead and the bytes collected towards them.
    bool m_rechunking = false;
    std::vector<std::size_t> m_cuts;
    std::size_t m_nextCut = 0;
    std::size_t m_rechunkOffset = 0;  // bytes passed on since the rule started
    Bytes m_rechunkBuffer;
};

}  // namespace sim
