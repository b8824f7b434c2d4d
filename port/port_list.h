#pragma once
// The port list: the one process-wide table of the ports found (COM, HID and bulk). It turns
// any of a port's names (display text, open path, port name with or without a colon, friendly
// name, symbolic link, the last four also upper-cased) into one entry, and tells the display
// text, the open path and the port class of that entry. Entries are never deleted while the
// program runs: a device that goes away is only marked absent.

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/critical_section.h"
#include "platform/cstring.h"
#include "platform/cstring_array.h"
#include "port/port.h"

// Further facts about a device that an entry owns (the HID information).
class CPortDetail {
public:
    virtual ~CPortDetail() = default;
};

class CPortDetailsEx {
public:
    std::unique_ptr<CPortDetail> m_pDetail;
    CString m_sDisplayText;
    CString m_sDescription;
    CString m_sFriendlyName;
    CString m_sPortName;
    CString m_sFurtherText;
    CString m_sOpenPath;
    CString m_sSymbolicLink;
    bool m_bPresent = false;
    PortFactory m_pFactory = &CPort::CreatePort;
    DWORD m_dwKindFlags = 1;
};

class CPortDetailArray {
public:
    // Adds a found port. An entry whose display text is listed already is not added again:
    // the listed one is marked present, takes the new one's open path and symbolic link (a
    // device plugged in again may have got another device node), and its node leads to it
    // again (another device may have held that node meanwhile).
    void Add(std::unique_ptr<CPortDetailsEx> entry);
    const CPortDetailsEx* Find(const CString& name);
    bool Exists(const CString& name) { return Find(name) != nullptr; }
    bool SetPresent(const CString& name, bool present);
    bool SameEntry(const CString& name1, const CString& name2);
    CString DisplayTextOf(const CString& name);
    CString OpenPathOf(const CString& name);
    PortFactory FactoryOf(const CString& name);
    // The display text of entry i when it exists, is present and is not hidden; else empty.
    CString VisibleName(int index);
    int GetSize();
    // A copy of entry i's texts, flags and presence (without its detail object).
    bool EntryAt(int index, CString* displayText, bool* present, DWORD* kindFlags);
    void Clear();

    // The lock guards the entries and the name map; a caller that reads an entry's fields
    // through a pointer from Find holds it meanwhile.
    platform::CriticalSection& Lock() { return m_lock; }

private:
    const CPortDetailsEx* FindLocked(const CString& name);
    void AddKey(const CString& key, CPortDetailsEx* entry);
    void AddKeysOf(CPortDetailsEx* entry);

    platform::CriticalSection m_lock;
    std::vector<std::unique_ptr<CPortDetailsEx>> m_entries;
    std::unordered_map<CString, CPortDetailsEx*> m_map;
};

// A string list with a last-used index and a capacity (30 for the hidden ports).
class CStringHistory : public CStringArray {
public:
    explicit CStringHistory(int capacity = 30) : m_capacity(capacity) {}
    // Adds a string, comparing only the parts before the first of the separators; returns the
    // index of the existing or new entry and makes it the last used.
    virtual int AddString(const CString& text, const char* separators);
    virtual int AddString(const char* text);
    // The first entry that occurs inside the name, or -1; it becomes the last used.
    int FindInside(const CString& name);

private:
    int m_capacity;
    int m_lastUsed = -1;
};

// The process-wide list and hidden-port list.
CPortDetailArray& ThePortList();
CStringHistory& TheHiddenPorts();

// Runs the serial, HID and bulk enumerations on the process-wide list.
bool RefreshPortList();
