#include <algorithm>
#include <filesystem>
#include <fstream>

#include "documentation/delimited_table.h"
#include "documentation/documentation_texts.h"
#include "documentation/file_naming.h"
#include "recorder_fixture.h"
#include "res/string_table.h"

namespace documentation_test {
namespace {

TEST_F(RecorderTest, AMeasurementReadsBackValueByValueAndReachesTheFileEverySecond)
{
    loop.RunFor(2500);  // the first record arrives a while after the start
    Start();
    loop.RunFor(3000);
    Measure(2500);  // 250 sets

    // While the measurement runs, everything older than a second is in the file already.
    CDelimitedTableReader reader(settings.separators);
    const std::string path = dir.File("Messwerte_0001.csv");
    ASSERT_TRUE(reader.ReadFile(CString(path)));
    EXPECT_GE(reader.Records().size(), 7u + 150u);
    EXPECT_EQ(kEpoch + 5, times.firstRecord);

    Measure(1000);
    recorder->FinishMeasurement();
    EXPECT_TRUE(frame.messages.empty());
    ExpectFileHoldsSets(path, 350, kEpoch + 5);
    EXPECT_FALSE(ShowsWriteProgress());

    // The next measurement takes the next index; the first file stays as it was.
    const std::string first = ReadAll(path);
    nextSet = 0;
    Start();
    Measure(100);
    recorder->FinishMeasurement();
    EXPECT_EQ(first, ReadAll(path));
    ExpectFileHoldsSets(dir.File("Messwerte_0002.csv"), 10, times.firstRecord);
}

TEST_F(RecorderTest, FinishRunsTheEndStepsInOrderAndTheHeaderTakesTheStopTimeWithoutRecords)
{
    frame.triggerWasActive = true;
    Start();
    loop.RunFor(4000);
    times.firstRecord = kEpoch + 3;  // the panel's stop: no record arrived
    recorder->FinishMeasurement();
    // Nothing recorded, no diagram stored (an armed trigger switched off before its start).
    EXPECT_EQ((std::vector<std::string>{"CollectLastSample", "UpdateValueTexts", "RedrawDiagram", "RunStopAddProgram",
                                        "ResetButtonsAfterMeasurement", "AfterMeasurement(0)"}),
              calls);
    ExpectFileHoldsSets(dir.File("Messwerte_0001.csv"), 0, kEpoch + 3);

    // Without an armed trigger at the stop the panel's after-measurement step is not run; a
    // measurement that recorded values has its diagram stored.
    calls.clear();
    frame.triggerWasActive = false;
    Start();
    Measure(100);
    recorder->FinishMeasurement();
    EXPECT_EQ((std::vector<std::string>{"CollectLastSample", "UpdateValueTexts", "RedrawDiagram",
                                        "CheckDiagramAutoStorage", "RunStopAddProgram",
                                        "ResetButtonsAfterMeasurement"}),
              calls);
}

TEST_F(RecorderTest, TheSetMeasuringTimeArmsThePanelsTimerOnceAndEndsTheRecording)
{
    frame.description = FourChannels(0.01, 1.0);
    Start();
    Measure(1500);  // 150 sets delivered, 101 belong to the second from 0 to 1 s
    EXPECT_EQ(1, frame.timeReached);
    ASSERT_EQ(1u, panel.timers.size());
    EXPECT_EQ(std::make_pair(kPanelTimerTimeExpired, kPanelTimerTimeExpiredMs), panel.timers[0]);
    // Sets past the measuring time are not recorded.
    Measure(500);
    EXPECT_EQ(1, frame.timeReached);
    recorder->FinishMeasurement();
    ExpectFileHoldsSets(dir.File("Messwerte_0001.csv"), 101, kEpoch);
}

TEST_F(RecorderTest, ALongMeasurementIsWrittenBehindWithProgressAndAfterMeasurementWaitsForIt)
{
    frame.triggerWasActive = true;
    Start();
    const std::uint64_t sets = 300000;  // far more than one step writes
    for (std::uint64_t i = 0; i < sets; ++i) PushSet(i);
    recorder->FinishMeasurement();
    ASSERT_TRUE(ShowsWriteProgress());
    EXPECT_EQ("ResetButtonsAfterMeasurement", calls.back());  // AfterMeasurement waits

    ASSERT_TRUE(loop.RunUntil([&] { return !ShowsWriteProgress(); }, 600000));
    EXPECT_EQ("AfterMeasurement(0)", calls.back());
    ASSERT_GE(frame.progress.size(), 3u);
    EXPECT_EQ(0, frame.progress.front());
    EXPECT_EQ(-1, frame.progress.back());
    for (std::size_t i = 1; i + 1 < frame.progress.size(); ++i) EXPECT_LE(frame.progress[i - 1], frame.progress[i]);
    ExpectFileHoldsSets(dir.File("Messwerte_0001.csv"), sets, kEpoch);
}

TEST_F(RecorderTest, FreeConvertListDropsWaitingSetsButLaterSetsKeepTheirTime)
{
    Start();
    PushSet(0);
    PushSet(1);
    recorder->FreeConvertList();
    PushSet(2);
    recorder->FinishMeasurement();
    CDelimitedTableReader reader(settings.separators);
    ASSERT_TRUE(reader.ReadFile(CString(dir.File("Messwerte_0001.csv"))));
    ASSERT_EQ(8u, reader.Records().size());
    EXPECT_EQ("0,02", reader.Records()[7][0]);
}

TEST_F(RecorderTest, PassFailResultsCollectUnderTheConstantNameWithOneHeader)
{
    settings.storageMode = {kStorageOff, kStorageConstant, kStorageOff};
    frame.hasEvaluation = true;
    frame.evaluation.conditions[0] = {true, "A", "N·m", 2, -1.5, 2.5, 1.25, true};
    frame.evaluation.conditions[1] = {true, "B", "1/min", 0, 100, 200, 250, false};
    // The first run starts in English and is judged after a switch to German: one language.
    SetLanguage(1000);
    for (int run = 0; run < 2; ++run) {
        Start();
        SetLanguage(0);
        PushSet(0);
        recorder->FinishMeasurement();
        frame.evaluation.conditions[1].value = 150;
        frame.evaluation.conditions[1].passed = true;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("Messwerte_0001.csv")));
    CDelimitedTableReader reader(settings.separators);
    ASSERT_TRUE(reader.ReadFile(CString(dir.File("IO_NIO.csv"))));
    const auto& rows = reader.Records();
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"Datum", "Uhrzeit", "A Untergrenze [N·m]", "A Obergrenze [N·m]",
                                        "A Wert [N·m]", "A Ergebnis", "B Untergrenze [1/min]",
                                        "B Obergrenze [1/min]", "B Wert [1/min]", "B Ergebnis", "Ergebnis"}),
              rows[4]);
    EXPECT_EQ((std::vector<std::string>{"-1,50", "2,50", "1,25", "IO", "100", "200", "250", "NIO", "NIO"}),
              std::vector<std::string>(rows[5].begin() + 2, rows[5].end()));
    EXPECT_EQ("IO", rows[6].back());

    // A last line that lost its end (edited by hand) gets it back: the note, an empty line, then
    // the header block as at the top and its row.
    std::ofstream(dir.File("IO_NIO.csv"), std::ios::app | std::ios::binary) << "note";
    frame.evaluation.conditions[1].defined = false;
    Start();
    PushSet(0);
    recorder->FinishMeasurement();
    ASSERT_TRUE(reader.ReadFile(CString(dir.File("IO_NIO.csv"))));
    ASSERT_EQ(15u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"note"}), rows[7]);
    EXPECT_TRUE(rows[8].empty() && std::equal(rows.begin(), rows.begin() + 4, rows.begin() + 9));
    EXPECT_TRUE(rows[13].size() == 7 && rows[14].size() == 7);

    settings.directory[kIoNioResults] = CString(dir.File("gone"));  // gone by the stop: this verdict is not stored
    Start();
    recorder->FinishMeasurement();
    const CString notStored = FileFaultText(kTextResultFileNotWritten, CString(dir.File("gone/IO_NIO.csv")), LoadLangString(kTextReasonMissing));
    EXPECT_STREQ(notStored.GetString(), frame.messages.empty() ? "" : frame.messages[0].GetString());
    settings.storageMode[kIoNioResults] = kStorageIndexed;  // the message names the indexed file
    Start();
    recorder->FinishMeasurement();
    EXPECT_NE(-1, frame.messages.back().Find(CString(dir.File("gone/IO_NIO_0001.csv")))) << frame.messages.back().GetString();
}

TEST_F(RecorderTest, TheMasterSwitchTurnsEveryAutomaticStorageOff)
{
    settings.autoStorage = 0;
    // The sets are still counted: the measuring time of 50 sets ends with the 50th.
    frame.description = FourChannels(0.01, 0.49);
    Start();
    Measure(490);
    EXPECT_EQ(0, frame.timeReached);
    Measure(10);
    EXPECT_EQ(1, frame.timeReached);
    recorder->FinishMeasurement();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace documentation_test
