#include "port/port_settings_store.h"

CString MemoryPortSettingsStore::AliasOf(const CString& identity)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_aliases.find(identity);
    return it == m_aliases.end() ? CString() : it->second;
}

CString MemoryPortSettingsStore::IdentityOfAlias(const CString& alias)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_owners.find(alias);
    return it == m_owners.end() ? CString() : it->second;
}

void MemoryPortSettingsStore::SetAlias(const CString& identity, const CString& alias)
{
    std::lock_guard lock(m_mutex);
    m_aliases[identity] = alias;
    m_owners[alias] = identity;
}

std::vector<std::pair<CString, CString>> MemoryPortSettingsStore::ExtraSerialDevices()
{
    std::lock_guard lock(m_mutex);
    return m_extra;
}

void MemoryPortSettingsStore::AddExtraSerialDevice(const CString& description, const CString& path)
{
    std::lock_guard lock(m_mutex);
    m_extra.emplace_back(description, path);
}

namespace {

std::mutex g_storeMutex;
std::shared_ptr<PortSettingsStore> g_store;

}  // namespace

PortSettingsStore& ThePortSettings()
{
    std::lock_guard lock(g_storeMutex);
    if (!g_store) g_store = std::make_shared<MemoryPortSettingsStore>();
    return *g_store;
}

void SetPortSettingsStore(std::shared_ptr<PortSettingsStore> store)
{
    std::lock_guard lock(g_storeMutex);
    g_store = std::move(store);
}

CString AssignComAlias(PortSettingsStore& store, const CString& identity)
{
    // The refresh may run on the GUI thread and a device thread at once: one assignment at a
    // time, so two devices never get the same name.
    static std::mutex assigning;
    std::lock_guard lock(assigning);
    CString alias = store.AliasOf(identity);
    if (!alias.IsEmpty()) return alias;
    for (int n = 1;; ++n) {
        alias.Format("COM%d", n);
        if (store.IdentityOfAlias(alias).IsEmpty()) break;
    }
    store.SetAlias(identity, alias);
    return alias;
}
