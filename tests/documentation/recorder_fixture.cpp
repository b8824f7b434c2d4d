#include "recorder_fixture.h"

#include <cmath>

#include "documentation/delimited_table.h"
#include "platform/profile.h"

namespace documentation_test {

RecorderTest::RecorderTest()
{
    for (int kind = 0; kind < kStorageKindCount; ++kind) settings.directory[kind] = dir.Folder();
    settings.autoStorage = 1;
    settings.storageMode = {kStorageIndexed, kStorageOff, kStorageOff};
    settings.separators = {';', ','};
    settings.headerText = {"Prüflabor Nord", "", "Lauf \"7\"; Welle"};
    frame.description = FourChannels();
    frame.calls = &calls;
    panel.calls = &calls;
    setenv("XDG_DATA_HOME", recoveryDir.Path().c_str(), 1);
    recoveryFolder = platform::LocalAppDataFolder().GetString();
    recorder = std::make_unique<CMeasurementRecorder>(settings, times, CMeasurementRecorder::Pacing::LoopTimer, loop);
    recorder->SetPeers(&frame, &panel);
}

RecorderTest::~RecorderTest()
{
    recorder.reset();
}

MeasurementDescription RecorderTest::FourChannels(double intervalSeconds, double durationSeconds)
{
    MeasurementDescription d;
    d.sensorIdentity = {"DRF-1 Nr. 123456"};
    d.channels = {{"A", "N·m", 3}, {"B", "1/min", 1}, {"C", "°", 2}, {"D", "W", 0}};
    d.measureRateText = "100 Hz";
    d.intervalSeconds = intervalSeconds;
    d.durationSeconds = durationSeconds;
    return d;
}

double RecorderTest::ValueOf(std::uint64_t i, int c)
{
    const double decimals[] = {1000.0, 10.0, 100.0, 1.0};
    // Signs, magnitudes and fractions that vary from set to set.
    const double raw = std::sin(0.37 * static_cast<double>(i) + c) * 5000.0 * (c + 1);
    return std::round(raw * decimals[c]) / decimals[c];
}

void RecorderTest::PushSet(std::uint64_t i)
{
    double values[4];
    for (int c = 0; c < 4; ++c) values[c] = ValueOf(i, c);
    recorder->CollectSample(values, 4);
}

void RecorderTest::Measure(std::int64_t ms)
{
    const std::int64_t intervalMs = static_cast<std::int64_t>(std::llround(frame.description.intervalSeconds * 1000));
    for (std::int64_t t = 0; t < ms; t += intervalMs) {
        PushSet(nextSet++);
        loop.RunFor(intervalMs);
    }
}

void RecorderTest::ExpectFileHoldsSets(const std::string& path, std::uint64_t count, std::int64_t firstRecordSeconds,
                                       std::uint64_t from)
{
    CDelimitedTableReader reader(settings.separators);
    ASSERT_TRUE(reader.ReadFile(CString(path))) << reader.Error().GetString();
    const auto& rows = reader.Records();
    ASSERT_GE(rows.size(), 7u);
    EXPECT_EQ((std::vector<std::string>{"Prüflabor Nord"}), rows[0]);
    EXPECT_EQ((std::vector<std::string>{"Lauf \"7\"; Welle"}), rows[1]);
    EXPECT_EQ((std::vector<std::string>{"Sensor", "DRF-1 Nr. 123456"}), rows[2]);
    EXPECT_EQ((std::vector<std::string>{"Datum", DateText(firstRecordSeconds).str(), "Uhrzeit",
                                        TimeText(firstRecordSeconds).str()}),
              rows[3]);
    EXPECT_EQ((std::vector<std::string>{"Messrate", "100 Hz"}), rows[4]);
    EXPECT_TRUE(rows[5].empty());
    EXPECT_EQ((std::vector<std::string>{"Zeit [s]", "A [N·m]", "B [1/min]", "C [°]", "D [W]"}), rows[6]);
    ASSERT_EQ(7 + count, rows.size());
    for (std::uint64_t i = from; i < from + count; ++i) {
        const auto& row = rows[7 + i - from];
        ASSERT_EQ(5u, row.size()) << "set " << i;
        double t = -1;
        ASSERT_TRUE(reader.ToNumber(row[0], t)) << row[0];
        EXPECT_NEAR(static_cast<double>(i) * frame.description.intervalSeconds, t, 1e-9) << "set " << i;
        for (int c = 0; c < 4; ++c) {
            double v = 0;
            ASSERT_TRUE(reader.ToNumber(row[1 + c], v)) << row[1 + c];
            ASSERT_EQ(ValueOf(i, c), v) << "set " << i << " channel " << c;
        }
    }
}

}  // namespace documentation_test
