// Files that cannot be written: the user gets a message naming the file, the measurement goes
// on, nothing already written is lost and every line in the file is whole.

#include <filesystem>
#include <optional>

#include "documentation/delimited_table.h"
#include "documentation/documentation_texts.h"
#include "res/string_table.h"
#include "file_size_limit.h"
#include "recorder_fixture.h"

namespace documentation_test {
namespace {

TEST_F(RecorderTest, AFolderThatCannotHoldTheFileGivesAMessageAndTheMeasurementGoesOn)
{
    WriteAll(dir.File("plain-file"), "");
    const std::string unusable[] = {dir.File("missing/deeper"), dir.File("plain-file"), "/proc/km3-documentation"};
    // The reason is given in the program's language.
    const UINT reasons[] = {kTextReasonMissing, kTextReasonNotAFolder, 0};
    for (std::size_t i = 0; i < std::size(unusable); ++i) {
        const std::string& folder = unusable[i];
        SetLanguage(static_cast<int>(i) * 1000);
        frame.messages.clear();
        settings.directory[kMeasValues] = CString(folder);
        frame.triggerWasActive = true;
        calls.clear();
        Start();
        Measure(300);
        recorder->FinishMeasurement();
        ASSERT_EQ(1u, frame.messages.size()) << folder;
        SetLanguage(0);
        EXPECT_NE(-1, frame.messages[0].Find(CString(folder + "/Messwerte_0001.csv"))) << frame.messages[0].GetString();
        if (reasons[i] != 0) {
            SetLanguage(static_cast<int>(i) * 1000);
            EXPECT_NE(-1, frame.messages[0].Find("(" + LoadLangString(reasons[i]) + ")")) << frame.messages[0].GetString();
            SetLanguage(0);
        }
        EXPECT_EQ("AfterMeasurement(0)", calls.back());
        EXPECT_FALSE(ShowsWriteProgress());
    }
}

TEST_F(RecorderTest, AFullDiskCutsNoLineInHalfAndTheKeptSetsFollowWhenThereIsRoomAgain)
{
    Start();
    Measure(1000);  // 100 sets reach the file
    const std::string path = dir.File("Messwerte_0001.csv");
    const auto before = std::filesystem::file_size(path);
    {
        FileSizeLimit full(before + 1000);  // room for a few lines, then nothing
        Measure(3000);
        ASSERT_EQ(1u, frame.messages.size());  // once, not at every attempt
        EXPECT_NE(-1, frame.messages[0].Find(CString(path)));
        EXPECT_NE(-1, frame.messages[0].Find(LoadLangString(kTextReasonDiskFull)));
        const std::string bytes = ReadAll(path);
        EXPECT_LE(bytes.size(), before + 1000);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));  // whole lines only
        CDelimitedTableReader reader(settings.separators);
        ASSERT_TRUE(reader.Parse(bytes));
        for (std::size_t i = 7; i < reader.Records().size(); ++i) ASSERT_EQ(5u, reader.Records()[i].size());
        EXPECT_GT(reader.Records().size(), 7u + 100u);  // the room left was used
    }
    // Room again: the kept sets follow within a second, at the next attempt, not at the next set.
    const auto kept = std::filesystem::file_size(path);
    Measure(20);
    EXPECT_EQ(kept, std::filesystem::file_size(path));
    Measure(2000);
    recorder->FinishMeasurement();
    ExpectFileHoldsSets(path, 602, kEpoch);

    // Constant name, Start just after a stop with the file full: the rest to a recovery file first.
    settings.storageMode[kMeasValues] = kStorageConstant;
    const std::string constant = dir.File("Messwerte.csv");
    Start();
    Measure(500);
    std::optional<FileSizeLimit> full{std::in_place, std::filesystem::file_size(constant)};
    Measure(300);
    recorder->FinishMeasurement();
    Start();
    full.reset();
    EXPECT_EQ(0, frame.messages.back().Find("30 ")) << frame.messages.back().GetString();
    Measure(500);
    recorder->FinishMeasurement();
    ASSERT_TRUE(loop.RunUntil([&] { return !ShowsWriteProgress(); }, 5000));
    EXPECT_EQ(std::string::npos, ReadAll(constant).find('\0'));
    frame.messages.clear();  // run after run while the disk stays full (an auto repeat)
    full.emplace(10);
    for (int run = 0; run < 3; ++run) Start(), Measure(300), recorder->FinishMeasurement();
    full.reset();
    EXPECT_EQ(3u, frame.messages.size());  // told once that it goes on, and where each run's rest went
}

TEST_F(RecorderTest, AFinishedMeasurementKeepsTryingAFullDiskThenSavesTheRestElsewhereAndSaysWhere)
{
    Start();
    Measure(500);
    const std::string path = dir.File("Messwerte_0001.csv");
    const std::string recovery = recoveryFolder + "Messwerte_0001_0001.csv";
    {
        // The recovery file must fit under the limit too: fewer sets than the value file holds.
        FileSizeLimit full(std::filesystem::file_size(path));
        Measure(300);
        recorder->FinishMeasurement();
        ASSERT_TRUE(ShowsWriteProgress());
        ASSERT_TRUE(loop.RunUntil([&] { return !ShowsWriteProgress(); }, 120000));
    }
    ASSERT_EQ(2u, frame.messages.size());
    EXPECT_EQ(0, frame.messages[1].Find("30 "));  // how many sets could not be written
    EXPECT_NE(-1, frame.messages[1].Find(CString(path)));
    EXPECT_NE(-1, frame.messages[1].Find(CString(recovery)));
    ExpectFileHoldsSets(path, 50, kEpoch);  // what was written before stays intact
    ExpectFileHoldsSets(recovery, 30, kEpoch, 50);  // the rest, at their times

    // A file that refuses first after the stop: no word of a measurement that goes on.
    Start();
    Measure(100);
    FileSizeLimit full(std::filesystem::file_size(dir.File("Messwerte_0002.csv")));
    PushSet(nextSet++);
    recorder->FinishMeasurement();
    ASSERT_EQ(3u, frame.messages.size());
    const CString ended = FileFaultText(kTextEndedFileNotWritten, CString(dir.File("Messwerte_0002.csv")), LoadLangString(kTextReasonDiskFull));
    EXPECT_STREQ(ended.GetString(), frame.messages[2].GetString());
}

TEST_F(RecorderTest, AFileDeletedDuringTheMeasurementIsWrittenAgainWithEverything)
{
    Start();
    Measure(1500);
    const std::string path = dir.File("Messwerte_0001.csv");
    ASSERT_TRUE(std::filesystem::remove(path));
    Measure(1500);
    ASSERT_EQ(1u, frame.messages.size());
    EXPECT_NE(-1, frame.messages[0].Find(CString(path)));
    // Moved away and replaced by something else: written again at its name as well.
    std::filesystem::rename(path, dir.File("moved.csv"));
    WriteAll(path, "foreign");
    Measure(1000);
    recorder->FinishMeasurement();
    EXPECT_EQ(2u, frame.messages.size());
    ExpectFileHoldsSets(path, 400, kEpoch);
}

}  // namespace
}  // namespace documentation_test
