// The port names and extra serial devices kept in the application's profile.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/profile.h"
#include "port/profile_port_settings.h"
#include "test_support.h"

namespace {

TEST(ProfilePortSettings, AliasesAndExtraDevicesLiveInTheProfile)
{
    porttest::TempDir home;
    ::setenv("XDG_CONFIG_HOME", (home.path / "config").c_str(), 1);
    ProfilePortSettingsStore store;
    EXPECT_EQ("COM1", AssignComAlias(store, "usb:0403:6001:A1B2"));
    EXPECT_EQ("COM2", AssignComAlias(store, "path:/dev/pts/7"));
    EXPECT_EQ("COM1", AssignComAlias(store, "usb:0403:6001:A1B2"));
    EXPECT_EQ("path:/dev/pts/7", store.IdentityOfAlias("COM2"));
    EXPECT_EQ("COM2", platform::GetProfileString("COMAliases", "path:/dev/pts/7"));
    platform::WriteProfileString("SERIALCOMM", "Simulator", "/dev/pts/9");
    const auto devices = store.ExtraSerialDevices();
    ASSERT_EQ(1u, devices.size());
    EXPECT_EQ("Simulator", devices[0].first);
    EXPECT_EQ("/dev/pts/9", devices[0].second);
}

}  // namespace
