#pragma once
// Where the port library keeps what must outlive a run: the stable "COMn" alias of every serial
// device (keyed by its identity: USB vendor, product and serial number, else its physical
// path) and the extra device paths of the section "SERIALCOMM" (pseudo-terminals and the
// like), which become ports like any other.
//
// The application keeps them in its settings; tests use the in-memory store.

#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/cstring.h"

class PortSettingsStore {
public:
    virtual ~PortSettingsStore() = default;
    // The alias of a device identity, empty when it has none yet.
    virtual CString AliasOf(const CString& identity) = 0;
    // The identity that holds an alias, empty when the alias is free.
    virtual CString IdentityOfAlias(const CString& alias) = 0;
    virtual void SetAlias(const CString& identity, const CString& alias) = 0;
    // (description, device path) of each extra serial device.
    virtual std::vector<std::pair<CString, CString>> ExtraSerialDevices() = 0;
};

class MemoryPortSettingsStore final : public PortSettingsStore {
public:
    CString AliasOf(const CString& identity) override;
    CString IdentityOfAlias(const CString& alias) override;
    void SetAlias(const CString& identity, const CString& alias) override;
    std::vector<std::pair<CString, CString>> ExtraSerialDevices() override;
    void AddExtraSerialDevice(const CString& description, const CString& path);

private:
    std::mutex m_mutex;
    std::unordered_map<CString, CString> m_aliases;
    std::unordered_map<CString, CString> m_owners;
    std::vector<std::pair<CString, CString>> m_extra;
};

// The store the enumeration uses; in memory until the application installs its own.
PortSettingsStore& ThePortSettings();
void SetPortSettingsStore(std::shared_ptr<PortSettingsStore> store);

// The device's alias: the one it has, else the lowest free "COMn" (n from 1), stored at once.
CString AssignComAlias(PortSettingsStore& store, const CString& identity);
