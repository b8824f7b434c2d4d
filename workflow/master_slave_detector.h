#pragma once
// CMasterSlaveDetector: groups the sensors found on several ports into multiport devices. All
// sensors of one device report the same stator serial number, their own position in the device
// (1 for the first) and the number of sensors the device has; the sensor at position 1 becomes
// the master of its group, the others its slaves. The owner fills the table after Reset and
// runs Detect; inconsistencies are reported by message box and end that device's grouping.

#include <array>
#include <cstdint>

#include "platform/cstring.h"
#include "platform/cstring_array.h"
#include "platform/win_types.h"

class CMasterSlaveDetector {
public:
    static constexpr int kMaxEntries = 16;
    static constexpr int kRoleMaster = 0;
    static constexpr int kRoleSlave = 1;
    static constexpr int kRoleNone = 3;

    struct Entry {
        BYTE id = 255;        // the sensor's port identifier
        CString port;         // port name, for the messages
        DWORD serial = 0;
        BYTE position = 255;  // 1 for the first sensor of a device
        BYTE count = 255;     // sensors the device says it has
        int role = kRoleNone;
        BYTE group = 255;
    };

    explicit CMasterSlaveDetector(void* owner = nullptr);
    virtual ~CMasterSlaveDetector() = default;

    void Reset();
    void ClearGroups();
    // Groups until no master is left; always -1.
    int Detect();
    void GetGroups(CStringArray& groups) const;

    // The table, filled by the owner; m_nCount entries (0 to 16) are in use.
    int m_nCount = 0;
    std::array<Entry, kMaxEntries> m_Entry{};

    // Steps of Detect, public for the owner's checks.
    int TakeNextSensor();
    bool AddSensor(int masterIndex);
    void ResolveGroup();

private:
    int UsedCount() const;

    [[maybe_unused]] void* m_pOwner;  // the controller that runs the detection
    int m_nCursor = -1;
    BYTE m_nGroupNo = 0;
    int m_nSpare = 0;
    CStringArray m_Groups;
};
