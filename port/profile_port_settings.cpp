#include "port/profile_port_settings.h"

#include "platform/profile.h"

namespace {
const char* const kAliases = "COMAliases";
const char* const kOwners = "COMAliasOwners";
const char* const kSerialComm = "SERIALCOMM";
}  // namespace

CString ProfilePortSettingsStore::AliasOf(const CString& identity)
{
    return platform::GetProfileString(kAliases, identity);
}

CString ProfilePortSettingsStore::IdentityOfAlias(const CString& alias)
{
    return platform::GetProfileString(kOwners, alias);
}

void ProfilePortSettingsStore::SetAlias(const CString& identity, const CString& alias)
{
    platform::WriteProfileString(kAliases, identity, alias);
    platform::WriteProfileString(kOwners, alias, identity);
}

std::vector<std::pair<CString, CString>> ProfilePortSettingsStore::ExtraSerialDevices()
{
    std::vector<std::pair<CString, CString>> devices;
    for (const CString& description : platform::GetProfileEntries(kSerialComm))
        devices.emplace_back(description, platform::GetProfileString(kSerialComm, description));
    return devices;
}
