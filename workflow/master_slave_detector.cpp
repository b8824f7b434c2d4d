#include "workflow/master_slave_detector.h"

#include "platform/message_box.h"

CMasterSlaveDetector::CMasterSlaveDetector(void* owner) : m_pOwner(owner) { Reset(); }

void CMasterSlaveDetector::Reset()
{
    m_nCount = 0;
    m_nSpare = 0;
    m_nCursor = -1;
    m_nGroupNo = 0;
    for (Entry& entry : m_Entry) entry = Entry{};
}

void CMasterSlaveDetector::ClearGroups() { m_Groups.RemoveAll(); }

int CMasterSlaveDetector::UsedCount() const
{
    if (m_nCount < 0) return 0;
    return m_nCount > kMaxEntries ? kMaxEntries : m_nCount;
}

int CMasterSlaveDetector::Detect()
{
    ClearGroups();
    for (;;) {
        const int master = TakeNextSensor();
        if (master < 0) break;
        AddSensor(master);
        ResolveGroup();
    }
    return -1;
}

int CMasterSlaveDetector::TakeNextSensor()
{
    const int used = UsedCount();
    int index = -1;
    for (int i = m_nCursor + 1; i < used; ++i) {
        if (m_Entry[i].position == 1) {
            index = i;
            break;
        }
    }
    if (index < 0) return -1;

    m_nCursor = index;
    ++m_nGroupNo;
    Entry& master = m_Entry[index];
    master.role = kRoleMaster;
    master.group = m_nGroupNo;
    if (master.count < 1 || master.count > 4) {
        CString text;
        text.Format("Der mit dem Port \"%s\" verbundene Sensor enhält eine inkorrekte Angabe (%d)\n"
                    "als die Anzahl von Sensors in einem Multiport-Gerät.",
                    master.port.GetString(), master.count);
        AfxMessageBox(text, platform::MB_OK | platform::MB_ICONERROR);
        return -1;
    }
    return index;
}

bool CMasterSlaveDetector::AddSensor(int masterIndex)
{
    if (masterIndex < 0 || masterIndex >= UsedCount()) return false;
    const Entry& master = m_Entry[masterIndex];
    const int n = master.count;
    CString mask('0', n);
    if (n > 0) mask.SetAt(0, '1');

    const int used = UsedCount();
    for (int i = 0; i < used; ++i) {
        Entry& entry = m_Entry[i];
        if (entry.serial != master.serial || entry.id == master.id) continue;
        if (entry.count != n) {
            CString text;
            text.Format("Die zwei Sensors\n (: Ports \"%s\"\n      und \"%s\")\nhaben die gleichen Seriennummern, "
                        "aber \ndie unterschiedliche Angaben fur die Anzahl von Sensors in einem Multiport-Gerät.",
                        master.port.GetString(), entry.port.GetString());
            AfxMessageBox(text, platform::MB_OK | platform::MB_ICONERROR);
            return false;
        }
        entry.role = kRoleSlave;
        entry.group = master.group;
        // A position outside the device cannot complete it; it marks nothing.
        if (entry.position >= 1 && entry.position <= n) mask.SetAt(entry.position - 1, '1');
    }
    return mask == CString('1', n);
}

void CMasterSlaveDetector::ResolveGroup()
{
    if (m_nCursor < 0 || m_nCursor >= UsedCount()) return;
    CString group(static_cast<char>(m_Entry[m_nCursor].id));
    const int used = UsedCount();
    for (int i = 0; i < used; ++i) {
        if (m_Entry[i].group == m_nGroupNo && m_Entry[i].role == kRoleSlave)
            group.AppendChar(static_cast<char>(m_Entry[i].id));
    }
    m_Groups.Add(group);
}

void CMasterSlaveDetector::GetGroups(CStringArray& groups) const
{
    groups.RemoveAll();
    for (const CString& group : m_Groups) groups.Add(group);
}
