#pragma once
// Special baud rates: per port name, which rate to hand to the driver for a requested rate,
// for adapters whose drivers map a nominal rate onto the rate the hardware really runs.
// Records are created with their defaults (pass every rate through) and kept in memory only.

#include <mutex>
#include <unordered_map>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CFakeBaud2 {
public:
    struct Alias {
        LONG driverRate = 0;
        LONG nominalRate = 0;
    };
    // The rate to program for the requested one.
    DWORD Translate(DWORD requested) const;

    bool m_bPassThrough = true;
    double m_dFactor = 1.0;
    Alias m_aliases[4];
};

class CSpecialBaudTable {
public:
    // Looks up the port's record (entering a default one for a new name) and translates.
    DWORD RateFor(const CString& portName, DWORD requested);
    // The record of a port, entered with its defaults when new; a copy.
    CFakeBaud2 RecordOf(const CString& portName);

    static CSpecialBaudTable& Instance();

private:
    std::mutex m_mutex;
    std::unordered_map<CString, CFakeBaud2> m_records;
};
