#pragma once
// The application's store of port names and extra serial devices, in its profile:
//   [COMAliases]      <device identity> = COMn
//   [COMAliasOwners]  COMn = <device identity>
//   [SERIALCOMM]      <description> = <device path>   (e.g. a pseudo-terminal of a simulator)
// A library of its own, because the profile lives in the Qt part of the platform layer and the
// port library itself stays free of it.

#include "port/port_settings_store.h"

class ProfilePortSettingsStore final : public PortSettingsStore {
public:
    CString AliasOf(const CString& identity) override;
    CString IdentityOfAlias(const CString& alias) override;
    void SetAlias(const CString& identity, const CString& alias) override;
    std::vector<std::pair<CString, CString>> ExtraSerialDevices() override;
};
