#include "port/port_list.h"

#include "port/enumeration.h"

namespace {

CString Upper(CString text)
{
    text.MakeUpper();
    return text;
}

}  // namespace

void CPortDetailArray::AddKey(const CString& key, CPortDetailsEx* entry)
{
    m_map[key] = entry;
}

void CPortDetailArray::AddKeysOf(CPortDetailsEx* entry)
{
    AddKey(entry->m_sDisplayText, entry);
    AddKey(entry->m_sOpenPath, entry);
    AddKey(Upper(entry->m_sOpenPath), entry);
    if (!entry->m_sPortName.IsEmpty()) {
        AddKey(entry->m_sPortName, entry);
        AddKey(entry->m_sPortName + ":", entry);
        AddKey(Upper(entry->m_sPortName), entry);
        AddKey(Upper(entry->m_sPortName) + ":", entry);
    }
    if (!entry->m_sFriendlyName.IsEmpty()) {
        AddKey(entry->m_sFriendlyName, entry);
        AddKey(Upper(entry->m_sFriendlyName), entry);
    }
    if (!entry->m_sSymbolicLink.IsEmpty()) {
        AddKey(entry->m_sSymbolicLink, entry);
        AddKey(Upper(entry->m_sSymbolicLink), entry);
    }
}

void CPortDetailArray::Add(std::unique_ptr<CPortDetailsEx> entry)
{
    if (!entry) return;
    if (entry->m_sDisplayText.IsEmpty()) entry->m_sDisplayText = entry->m_sPortName + "   " + entry->m_sDescription;
    platform::CriticalSectionLock lock(m_lock);
    const auto listed = m_map.find(entry->m_sDisplayText);
    if (listed != m_map.end()) {
        CPortDetailsEx* known = listed->second;
        known->m_bPresent = true;
        known->m_sOpenPath = entry->m_sOpenPath;
        known->m_sSymbolicLink = entry->m_sSymbolicLink;
        // Its node leads to it again, also when another device held that node meanwhile.
        AddKeysOf(known);
        return;
    }
    entry->m_bPresent = true;
    AddKeysOf(entry.get());
    m_entries.push_back(std::move(entry));
}

const CPortDetailsEx* CPortDetailArray::FindLocked(const CString& name)
{
    if (const auto it = m_map.find(name); it != m_map.end()) return it->second;
    const int cut = name.FindOneOf(" \t");
    if (cut >= 0) {
        if (const auto it = m_map.find(name.Left(cut)); it != m_map.end()) return it->second;
    }
    if (const auto it = m_map.find(Upper(name)); it != m_map.end()) {
        CPortDetailsEx* entry = it->second;
        m_map[name] = entry;  // the next look-up of this spelling finds it at once
        return entry;
    }
    return nullptr;
}

const CPortDetailsEx* CPortDetailArray::Find(const CString& name)
{
    platform::CriticalSectionLock lock(m_lock);
    return FindLocked(name);
}

bool CPortDetailArray::SetPresent(const CString& name, bool present)
{
    platform::CriticalSectionLock lock(m_lock);
    auto* entry = const_cast<CPortDetailsEx*>(FindLocked(name));
    if (!entry) return false;
    entry->m_bPresent = present;
    return true;
}

bool CPortDetailArray::SameEntry(const CString& name1, const CString& name2)
{
    platform::CriticalSectionLock lock(m_lock);
    return FindLocked(name1) == FindLocked(name2);
}

CString CPortDetailArray::DisplayTextOf(const CString& name)
{
    platform::CriticalSectionLock lock(m_lock);
    const CPortDetailsEx* entry = FindLocked(name);
    return entry ? entry->m_sDisplayText : name;
}

CString CPortDetailArray::OpenPathOf(const CString& name)
{
    platform::CriticalSectionLock lock(m_lock);
    const CPortDetailsEx* entry = FindLocked(name);
    return entry ? entry->m_sOpenPath : name;
}

PortFactory CPortDetailArray::FactoryOf(const CString& name)
{
    platform::CriticalSectionLock lock(m_lock);
    const CPortDetailsEx* entry = FindLocked(name);
    return entry && entry->m_pFactory ? entry->m_pFactory : &CPort::CreatePort;
}

CString CPortDetailArray::VisibleName(int index)
{
    platform::CriticalSectionLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_entries.size())) return CString();
    const CPortDetailsEx& entry = *m_entries[static_cast<std::size_t>(index)];
    if (!entry.m_bPresent || TheHiddenPorts().FindInside(entry.m_sDisplayText) >= 0) return CString();
    return entry.m_sDisplayText;
}

int CPortDetailArray::GetSize()
{
    platform::CriticalSectionLock lock(m_lock);
    return static_cast<int>(m_entries.size());
}

bool CPortDetailArray::EntryAt(int index, CString* displayText, bool* present, DWORD* kindFlags)
{
    platform::CriticalSectionLock lock(m_lock);
    if (index < 0 || index >= static_cast<int>(m_entries.size())) return false;
    const CPortDetailsEx& entry = *m_entries[static_cast<std::size_t>(index)];
    if (displayText) *displayText = entry.m_sDisplayText;
    if (present) *present = entry.m_bPresent;
    if (kindFlags) *kindFlags = entry.m_dwKindFlags;
    return true;
}

void CPortDetailArray::Clear()
{
    platform::CriticalSectionLock lock(m_lock);
    m_map.clear();
    m_entries.clear();
}

int CStringHistory::AddString(const CString& text, const char* separators)
{
    const CString key = text.SpanExcluding(separators ? separators : "");
    for (int i = 0; i < GetSize(); ++i) {
        if (GetAt(i).SpanExcluding(separators ? separators : "") == key) return m_lastUsed = i;
    }
    if (GetSize() >= m_capacity) RemoveAt(0);
    return m_lastUsed = Add(text);
}

int CStringHistory::AddString(const char* text)
{
    const CString value(text ? text : "");
    for (int i = 0; i < GetSize(); ++i) {
        if (GetAt(i) == value) return m_lastUsed = i;
    }
    if (GetSize() >= m_capacity) RemoveAt(0);
    return m_lastUsed = Add(value);
}

int CStringHistory::FindInside(const CString& name)
{
    for (int i = 0; i < GetSize(); ++i) {
        if (!GetAt(i).IsEmpty() && name.Find(GetAt(i)) >= 0) return m_lastUsed = i;
    }
    return -1;
}

CPortDetailArray& ThePortList()
{
    static CPortDetailArray list;
    return list;
}

CStringHistory& TheHiddenPorts()
{
    static CStringHistory hidden(30);
    return hidden;
}

bool RefreshPortList()
{
    CPortDetailArray& list = ThePortList();
    EnumSerialPorts(list);
    EnumHidPorts(list);
    EnumBulkPorts(list);
    return true;
}
