#include "platform/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/qt_text.h"

namespace {

using namespace platform;

// Every case gets a fresh configuration and data home.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit().constData(), 1);
    }
    QTemporaryDir home;
};

TEST_F(ProfileTest, LivesWhereTheUserSettingsBelong)
{
    EXPECT_EQ(FromQString(home.path() + "/config/Tessaline Inc./TSL-USB-KM3.ini"), ProfileFilePath());
    EXPECT_EQ(FromQString(home.path() + "/data/Tessaline Inc./TSL-USB-KM3/"), LocalAppDataFolder());
    EXPECT_TRUE(CreateLocalAppDataFolder());
    EXPECT_TRUE(QDir(ToQString(LocalAppDataFolder())).exists());
}

TEST_F(ProfileTest, RoundTripSurvivesTheFile)
{
    EXPECT_EQ(7, GetProfileInt("Settings", "WriteLogFile", 7));
    EXPECT_EQ(CString("none"), GetProfileString("Version", "Version", "none"));
    EXPECT_TRUE(WriteProfileInt("Settings", "WriteLogFile", -3));
    EXPECT_TRUE(WriteProfileString("Version", "Version", "2.04"));
    EXPECT_TRUE(WriteProfileString("COM Einstellungen", "/dev/pts/3", "Einheit °C, µm, Größe"));
    FlushProfile();
    ASSERT_TRUE(QFile::exists(ToQString(ProfileFilePath())));

    EXPECT_EQ(-3, GetProfileInt("Settings", "WriteLogFile", 0));
    EXPECT_EQ(CString("2.04"), GetProfileString("Version", "Version"));
    EXPECT_EQ(CString("Einheit °C, µm, Größe"), GetProfileString("COM Einstellungen", "/dev/pts/3"));
    const CStringArray entries = GetProfileEntries("COM Einstellungen");
    ASSERT_EQ(1, entries.GetSize());
    EXPECT_EQ(CString("/dev/pts/3"), entries[0]);
}

TEST_F(ProfileTest, IntegerOfATextValue)
{
    WriteProfileString("Settings", "Rate", "12abc");
    WriteProfileString("Settings", "Word", "abc");
    EXPECT_EQ(12, GetProfileInt("Settings", "Rate", 99));
    EXPECT_EQ(0, GetProfileInt("Settings", "Word", 99));
}

TEST_F(ProfileTest, DeletingSectionsAndTheTree)
{
    WriteProfileInt("Language", "Lang", 1000);
    WriteProfileInt("Settings", "A", 1);
    WriteProfileInt("Settings", "B", 2);
    EXPECT_TRUE(ProfileSectionExists("Language"));
    EXPECT_TRUE(DeleteProfileEntry("Settings", "A"));
    EXPECT_EQ(-1, GetProfileInt("Settings", "A", -1));
    EXPECT_EQ(2, GetProfileInt("Settings", "B", -1));
    EXPECT_TRUE(DeleteProfileTree());
    EXPECT_EQ(-1, GetProfileInt("Settings", "B", -1));
}

}  // namespace
