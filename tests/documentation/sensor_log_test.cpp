#include <gtest/gtest.h>

#include <filesystem>

#include "documentation/sensor_log.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "temp_folder.h"
#include "workflow/sensor_records.h"

using namespace documentation;
using documentation_test::ReadAll;
using documentation_test::TempFolder;

TEST(SensorLog, WritesOnlyWhileTheSwitchIsZeroOneFilePerSensor)
{
    TempFolder dir;
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);  // the user's data folder holds the logs
    const std::string folder = platform::LocalAppDataFolder().GetString();
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};  // its calendar dates the entries
    CSensorLog log;
    CSensorRecord first, second;
    first.m_sStatorHeader.nSerialNo = 123456;
    second.m_sStatorHeader.nSerialNo = 777;

    // The default switch (1) keeps the logs off.
    EXPECT_FALSE(log.LogConnection(first, "COM3"));
    EXPECT_FALSE(std::filesystem::exists(log.FileNameOf(first).GetString()));

    log.SetSwitch(0);
    EXPECT_TRUE(log.LogConnection(first, "COM3"));
    EXPECT_TRUE(log.LogProgramEnd(second));
    EXPECT_TRUE(log.LogDisconnected(first));
    log.SetSwitch(2);
    EXPECT_FALSE(log.LogConnection(first, "COM4"));

    EXPECT_EQ(CString(folder + "Sensor_123456.log"), log.FileNameOf(first));
    const std::string text = ReadAll(folder + "Sensor_123456.log");
    const auto at = [&](const char* what) { return text.find(what); };
    ASSERT_NE(std::string::npos, at("Verbindung hergestellt\r\nPort: COM3\r\n"));
    ASSERT_NE(std::string::npos, at("Sensor getrennt\r\n"));
    EXPECT_LT(at("Verbindung"), at("Sensor getrennt"));
    EXPECT_EQ(std::string::npos, at("COM4"));
    EXPECT_EQ(std::string::npos, at("Programmende"));  // the other sensor's own file
    EXPECT_NE(std::string::npos, ReadAll(folder + "Sensor_777.log").find("Programmende\r\n2024-03-1"));
    EXPECT_EQ(0u, text.find("==== 2024-03-1"));  // every entry starts with its date and time
}

TEST(SensorLog, EachSensorOfAConnectionIsLoggedOnceWithItsOwnPortAsThePortsComeUp)
{
    TempFolder dir;
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    CSensorLog log;
    log.SetSwitch(0);
    CSensorRecord device;
    device.m_sStatorHeader.nSerialNo = 777;  // the four sensors of a multiport device share it
    std::vector<CSensorLog::ConnectedSensor> now;
    for (const char* port : {"COM3", "COM4", "COM5", "COM6"}) {
        now.push_back({device, port});
        log.LogConnections(now);
        log.LogConnections(now);  // the same connection reported again adds nothing
    }
    // The first sensor alone again (a display refresh of one sensor) keeps the other three, and
    // so does another sensor of the device named alone while it is read.
    log.LogConnections({{device, "COM3"}});
    log.LogConnections({{device, "COM5"}});
    EXPECT_EQ(4u, log.ConnectedSensors().size());
    const auto count = [&](const std::string& what) {
        const std::string text = ReadAll(log.FileNameOf(device).GetString());
        int n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    for (const char* port : {"COM3", "COM4", "COM5", "COM6"})
        EXPECT_EQ(1, count(std::string("Verbindung hergestellt\r\nPort: ") + port + "\r\n")) << port;

    log.LogDisconnections();
    EXPECT_TRUE(log.ConnectedSensors().empty());
    EXPECT_EQ(4, count("Sensor getrennt"));
}
