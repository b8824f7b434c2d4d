#include "port/baud_aliases.h"

DWORD CFakeBaud2::Translate(DWORD requested) const
{
    if (m_bPassThrough) return requested;
    for (const Alias& alias : m_aliases) {
        if (alias.driverRate == 0) break;
        if (static_cast<DWORD>(alias.nominalRate) == requested) return static_cast<DWORD>(alias.driverRate);
    }
    return static_cast<DWORD>(static_cast<double>(requested) * m_dFactor);
}

DWORD CSpecialBaudTable::RateFor(const CString& portName, DWORD requested)
{
    std::lock_guard lock(m_mutex);
    return m_records[portName].Translate(requested);
}

CFakeBaud2 CSpecialBaudTable::RecordOf(const CString& portName)
{
    std::lock_guard lock(m_mutex);
    return m_records[portName];
}

CSpecialBaudTable& CSpecialBaudTable::Instance()
{
    static CSpecialBaudTable table;
    return table;
}
