#pragma once
// The faults the simulated sensor can be told to commit. A rule that names a letter applies to
// what the sensor sends because of a request with that letter (0 = any request); the records of
// a stream count as caused by 'Z', the hello after a restart by 'K', and a stop signal counts
// as the letter 0x02. `times` is how often a rule fires: a positive count, or -1 for always.

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "tests/sim/wire.h"

namespace sim {

// Records are numbered from 0 in each stream, in the order the sensor samples them.
struct RecordCorruption {
    long long ordinal = 0;
    int byteIndex = 0;  // 0 is the sequence byte
    std::uint8_t xorMask = 0xFF;
};

struct RecordFaults {
    std::set<long long> lost;      // never sent; the sequence byte still counts them
    std::set<long long> repeated;  // sent twice in a row
    std::vector<RecordCorruption> corrupted;
};

// An answer sent with a wrong S, a wrong W, or both.
struct BadCheckRule {
    std::uint8_t letter = 0;
    bool wrongS = true;
    bool wrongW = false;
    int times = 1;
};

// A request refused with a negative acknowledgement carrying `code`.
struct RefusalRule {
    std::uint8_t letter = 0;
    int block = -1;  // 'D' and 'F' only: the block number, -1 any
    std::uint8_t code = 3;
    int times = -1;
};

// Bytes sent ahead of an answer.
struct GarbageRule {
    std::uint8_t letter = 0;
    Bytes bytes{0x55};
    int times = 1;
};

// When a rule starts: at the answer to a request letter, or when a stream reaches a record.
struct Trigger {
    std::uint8_t letter = 0;        // used when afterRecords < 0
    long long afterRecords = -1;    // before the record with this ordinal goes out
};

// From the trigger on, the outgoing bytes reach the host in pieces that end at the given offsets
// (counted from the first byte of the answer, or of the record, that started the rule),
// whatever the sensor's own writes were: an offset inside a write splits it, one beyond it joins
// it with what follows.
struct RechunkRule {
    Trigger at;
    std::vector<std::size_t> cuts;
    int times = 1;
};

// The port hands the sensor's bytes on in pieces of `size` bytes, `pauseMs` apart, as a
// USB-serial adapter or an Ethernet module does. The sensor's loop turns at most every 10 ms, so
// pauses of 10 ms or more keep the pieces apart on a pseudo-terminal too. size 0: whole writes.
struct PieceRule {
    std::size_t size = 0;
    int pauseMs = 10;
};

// The port delivers nothing for a while (-1: never again); what the sensor sent meanwhile
// arrives in one piece when the stall ends. A stall on a letter makes that answer late.
struct StallRule {
    Trigger at;
    int durationMs = -1;
    int times = 1;
};

// A sensor that streams records on its own from the start, without a set-up or acknowledgement.
struct UnaskedStream {
    bool enabled = false;
    std::uint8_t selector = 'C';
    std::uint8_t rateByte = 25;
    bool ignoresStop = false;  // the stop signal does not end the stream
};

struct FaultPlan {
    RecordFaults records;
    std::vector<BadCheckRule> badCheck;
    std::vector<RefusalRule> refusals;
    std::vector<GarbageRule> garbage;
    std::vector<RechunkRule> rechunk;
    int latencyMs = 0;  // every delivery this much late
    PieceRule pieces;
    std::vector<StallRule> stalls;
    std::optional<Trigger> hangup;  // the sensor disappears
    UnaskedStream unaskedStream;
};

}  // namespace sim
