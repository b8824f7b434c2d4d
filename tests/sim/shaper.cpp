#include "tests/sim/shaper.h"

#include <algorithm>

namespace sim {
namespace {

bool TakeOne(int& left)
{
    if (left == 0) return false;
    if (left > 0) --left;
    return true;
}

}  // namespace

OutputShaper::OutputShaper(const FaultPlan& faults) : m_faults(faults)
{
    for (const auto& r : m_faults.garbage) m_garbageLeft.push_back(r.times);
    for (const auto& r : m_faults.rechunk) m_rechunkLeft.push_back(r.times);
    for (const auto& r : m_faults.stalls) m_stallLeft.push_back(r.times);
}

bool OutputShaper::Matches(const Trigger& trigger, std::uint8_t cause, long long ordinal) const
{
    if (trigger.afterRecords >= 0) return ordinal >= trigger.afterRecords;
    return ordinal < 0 && (trigger.letter == 0 || trigger.letter == cause);
}

void OutputShaper::CheckTriggers(std::uint8_t cause, long long ordinal, std::int64_t nowUs)
{
    if (m_faults.hangup && !m_hangupFired && Matches(*m_faults.hangup, cause, ordinal)) {
        m_hangupFired = true;
        HangUp();
    }
    for (std::size_t i = 0; i < m_faults.stalls.size(); ++i) {
        const StallRule& rule = m_faults.stalls[i];
        if (!Matches(rule.at, cause, ordinal) || !TakeOne(m_stallLeft[i])) continue;
        StallUntil(rule.durationMs < 0 ? kNever : nowUs + static_cast<std::int64_t>(rule.durationMs) * 1000);
    }
}

void OutputShaper::Push(const Batch& batch, std::int64_t nowUs)
{
    if (m_hungUp) return;
    CheckTriggers(batch.cause, -1, nowUs);
    if (m_hungUp) return;
    Bytes bytes;
    std::size_t rechunkFrom = Bytes().max_size();  // where a re-chunking rule starts in bytes
    bool answerSeen = false;
    for (const Output& output : batch.outputs) {
        const long long ordinal = output.recordOrdinal;
        if (ordinal >= 0) {
            CheckTriggers(batch.cause, ordinal, nowUs);
        } else if (!answerSeen) {
            answerSeen = true;
            for (std::size_t i = 0; i < m_faults.garbage.size(); ++i) {
                const GarbageRule& rule = m_faults.garbage[i];
                if ((rule.letter == 0 || rule.letter == batch.cause) && TakeOne(m_garbageLeft[i])) {
                    bytes.insert(bytes.end(), rule.bytes.begin(), rule.bytes.end());
                    break;
                }
            }
        }
        if (m_hungUp) break;  // gone before this record: what came before it is on the line
        if (!m_rechunking && rechunkFrom > bytes.size() && StartRechunk(batch.cause, ordinal))
            rechunkFrom = ordinal >= 0 ? bytes.size() : 0;
        bytes.insert(bytes.end(), output.bytes.begin(), output.bytes.end());
    }
    if (bytes.empty()) return;
    if (m_hungUp) {
        Queue(std::move(bytes), nowUs);
    } else if (rechunkFrom < bytes.size()) {
        if (rechunkFrom > 0) Queue(Bytes(bytes.begin(), bytes.begin() + rechunkFrom), nowUs);
        Rechunk(Bytes(bytes.begin() + rechunkFrom, bytes.end()), nowUs);
    } else if (m_rechunking) {
        Rechunk(bytes, nowUs);
    } else {
        Queue(std::move(bytes), nowUs);
    }
}

bool OutputShaper::StartRechunk(std::uint8_t cause, long long ordinal)
{
    for (std::size_t i = 0; i < m_faults.rechunk.size(); ++i) {
        const RechunkRule& rule = m_faults.rechunk[i];
        if (rule.cuts.empty() || !Matches(rule.at, cause, ordinal) || !TakeOne(m_rechunkLeft[i])) continue;
        m_rechunking = true;
        m_cuts = rule.cuts;
        std::sort(m_cuts.begin(), m_cuts.end());
        m_nextCut = 0;
        m_rechunkOffset = 0;
        m_rechunkBuffer.clear();
        return true;
    }
    return false;
}

void OutputShaper::Rechunk(const Bytes& bytes, std::int64_t nowUs)
{
    std::size_t used = 0;
    while (used < bytes.size() && m_nextCut < m_cuts.size()) {
        const std::size_t cut = m_cuts[m_nextCut];
        const std::size_t take = std::min(bytes.size() - used, cut - m_rechunkOffset);
        m_rechunkBuffer.insert(m_rechunkBuffer.end(), bytes.begin() + used, bytes.begin() + used + take);
        used += take;
        m_rechunkOffset += take;
        if (m_rechunkOffset == cut) {
            if (!m_rechunkBuffer.empty()) Queue(std::move(m_rechunkBuffer), nowUs);
            m_rechunkBuffer.clear();
            ++m_nextCut;
        }
    }
    if (m_nextCut == m_cuts.size()) {
        m_rechunking = false;
        if (used < bytes.size()) Queue(Bytes(bytes.begin() + used, bytes.end()), nowUs);
    }
}

void OutputShaper::Queue(Bytes bytes, std::int64_t nowUs)
{
    std::int64_t due = nowUs + static_cast<std::int64_t>(std::max(m_faults.latencyMs, 0)) * 1000;
    due = std::max(due, m_lastDueUs);  // the line keeps the order of the writes
    const std::size_t size = m_faults.pieces.size;
    if (size == 0) {
        m_lastDueUs = due;
        m_chunks.push_back({std::move(bytes), due});
        return;
    }
    // Every piece one pause after the one before, the last piece of an earlier write included.
    const std::int64_t pauseUs = static_cast<std::int64_t>(std::max(m_faults.pieces.pauseMs, 0)) * 1000;
    if (m_havePiece) due = std::max(due, m_lastDueUs + pauseUs);
    for (std::size_t at = 0; at < bytes.size(); at += size) {
        const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + size));
        m_chunks.push_back({Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at), end), due});
        m_lastDueUs = due;
        due += pauseUs;
    }
    m_havePiece = true;
}

std::vector<Bytes> OutputShaper::TakeDue(std::int64_t nowUs)
{
    std::vector<Bytes> due;
    if (m_stallUntilUs >= 0) {
        if (nowUs < m_stallUntilUs) return due;
        // The stall is over: what piled up arrives in one piece.
        m_stallUntilUs = -1;
        Bytes joined;
        while (!m_chunks.empty() && m_chunks.front().dueUs <= nowUs) {
            joined.insert(joined.end(), m_chunks.front().bytes.begin(), m_chunks.front().bytes.end());
            m_chunks.pop_front();
        }
        if (!joined.empty()) due.push_back(std::move(joined));
    }
    while (!m_chunks.empty() && m_chunks.front().dueUs <= nowUs) {
        due.push_back(std::move(m_chunks.front().bytes));
        m_chunks.pop_front();
    }
    return due;
}

std::int64_t OutputShaper::NextDueUs() const
{
    if (m_chunks.empty()) return -1;
    if (m_stallUntilUs == kNever) return -1;
    return std::max(m_chunks.front().dueUs, m_stallUntilUs);
}

void OutputShaper::StallUntil(std::int64_t untilUs) { m_stallUntilUs = std::max(m_stallUntilUs, untilUs); }

void OutputShaper::HangUp()
{
    m_hungUp = true;
    // Bytes already on the line still arrive; those held by a stall never will, and neither
    // will a piece that re-chunking was still collecting.
    if (m_stallUntilUs >= 0) m_chunks.clear();
    m_rechunkBuffer.clear();
    m_rechunking = false;
}

}  // namespace sim
