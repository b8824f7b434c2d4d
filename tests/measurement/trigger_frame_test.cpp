// A series of triggered measurements through the real main frame with a simulated sensor in
// process, set up and armed as the user does: the trigger's auto repeat, and the add-on programs
// typed into their fields.

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#include "app/main_frame.h"
#include "app/page_table.h"
#include "controls/browse_ctrl.h"
#include "documentation/documentation_texts.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "tests/documentation/file_size_limit.h"
#include "tests/measurement/frame_fixture.h"

using namespace measurement;

namespace {

// Channel A: a sine of 10,000 counts peak (200 in the channel's unit) and 2 s period.
struct SineInFrame : measurement_test::ConnectedFrame {
    sim::SensorConfig SensorConfig() const override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor();
        config.identity.statorId = 5;  // a stator that streams
        config.signalA = {sim::SignalSpec::Kind::Sine, 0.0, 10000.0, 0.0, 2000.0};
        return config;
    }
    // Types the start and the stop program into their fields, then arms the trigger.
    void ArmWithPrograms(const QString (&programs)[2])
    {
        frame->ShowPage(app::kPageMeasureSetup);
        loop.RunFor(300);
        for (int k = 0; k < 2; ++k) {
            QLineEdit* field = measurement_test::FindPage<MeasureSetupWidget>(*frame)->Item<CBrowseCtrl>(kAddProgBrowse[k])->Edit();
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            QTest::keyClicks(field, programs[k]);
        }
        frame->ShowPage(app::kPageMeasureControl);
        loop.RunFor(300);
        Click(IDC_MC_TRIGGER);
    }
    bool Armed() const { return panel->Logic().Record().shared.bSecond != 0; }
};

// The lines a program has written by now; real time, since the programs are processes of their
// own: waits until there are at least that many.
int LinesOf(const QString& path, int awaited)
{
    int lines = 0;
    for (int i = 0; i < 500 && lines < awaited; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        QFile file(path);
        lines = file.open(QIODevice::ReadOnly) ? static_cast<int>(file.readAll().count('\n')) : 0;
    }
    return lines;
}

// Start when channel A rises over 100, stop when it falls under 50, with auto repeat: every
// period of the sine is recorded, each recording runs the typed start program at its start and
// the stop program after its stop. The set-up page shown ends the series, and a choice made on
// it reaches the sensor by the close. Programs that are not there are told in a notice when the
// measurement starts, and it goes on to its stop.
TEST_F(SineInFrame, AutoRepeatRecordsEveryPeriodRunsTheTypedProgramsAndEndsForTheSetUpPage)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    auto& setup = *measurement_test::FindPage<MeasureSetupWidget>(*frame);
    for (auto [combo, datum] : {std::pair{IDC_RATE_COMBO, 6}, {IDC_START_SOURCE, 1}, {IDC_START_DIRECTION, 0},
                                {IDC_STOP_SOURCE, 1}, {IDC_STOP_DIRECTION, 1}})
        ASSERT_TRUE(measurement_test::ChooseDatum(setup, combo, datum)) << combo;
    setup.Item<QLineEdit>(IDC_START_VALUE)->setText("100");
    setup.Item<QLineEdit>(IDC_STOP_VALUE)->setText("50");
    QTemporaryDir dir;
    const QString program[2] = {dir.filePath("start.sh"), dir.filePath("stop.sh")};
    for (const QString& path : program) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QString("#!/bin/sh\necho ran >> '%1.log'\n").arg(path).toUtf8());
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(300);
    Click(IDC_MC_AUTO_REPEAT);
    ArmWithPrograms(program);
    int recordings = 0;
    for (int t = 0; t < 7000; t += 10) {
        const BYTE was = frame->Fields().triggers.recording;
        loop.RunFor(10);
        recordings += frame->Fields().triggers.recording && !was ? 1 : 0;
    }
    EXPECT_GE(recordings, 3);
    // A language switch and the panel shown again leave the armed series' duration locked.
    for (const auto& [language, page] : {std::pair{1000, app::kPageDocumentation}, {0, app::kPageMeasureControl}}) {
        frame->SwitchLanguage(language);
        frame->ShowPage(page);
        loop.RunFor(200);
        EXPECT_FALSE(panel->Logic().Controls().IsEnabled(IDC_MC_DURATION_COMBO)) << language;
    }
    EXPECT_GE(LinesOf(program[0] + ".log", recordings), recordings);
    EXPECT_GE(LinesOf(program[1] + ".log", recordings - 1), recordings - 1);
    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(2000);
    EXPECT_FALSE(Running() || Armed());
    ASSERT_TRUE(measurement_test::ChooseDatum(setup, IDC_RATE_COMBO, 8));
    Click(IDC_MC_AUTO_REPEAT);
    EXPECT_TRUE(boxes.Boxes().empty());

    const QString gone[2] = {dir.filePath("gone/before.sh"), dir.filePath("gone/after.sh")};
    ArmWithPrograms(gone);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    for (std::size_t k = 0; k < 2; ++k)
        EXPECT_TRUE(boxes.Boxes()[k].text.Find(platform::FromQString(gone[k])) != -1 && !boxes.Boxes()[k].waited);
    ASSERT_TRUE(loop.RunUntil([this] { return !Armed() && !Running(); }, 3000));
    EXPECT_EQ(frame->Fields().triggers.stoppedByEvent, 1);

    // Auto repeat with the values folder full: a recording ends with its values still to be
    // written, the user arms the trigger again meanwhile, and it stays armed once they are.
    const CString valueFile(StoreMeasuredValues().c_str());
    auto armable = [this] { return panel->Item<QAbstractButton>(IDC_MC_TRIGGER)->isEnabled(); };
    ASSERT_TRUE(loop.RunUntil(armable, 3000));
    Click(IDC_MC_AUTO_REPEAT);
    Click(IDC_MC_TRIGGER);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
    {
        documentation_test::FileSizeLimit full(1);
        ASSERT_TRUE(loop.RunUntil([&] { return !Running() && !Armed() && armable(); }, 3000));
        Click(IDC_MC_TRIGGER);
    }
    loop.RunFor(3000);
    EXPECT_TRUE(Armed());
    // The user ends the series as a recording begins, the folder full: its values, refused after
    // the click, are told as those of a finished measurement, not of one that goes on.
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
    {
        documentation_test::FileSizeLimit full(1);
        const std::size_t told = boxes.Count();
        Click(IDC_MC_TRIGGER);
        loop.RunFor(2000);
        ASSERT_EQ(boxes.Count(), told + 1);
        const CString ended = documentation::FileFaultText(documentation::kTextEndedFileNotWritten, valueFile,
                                                           LoadLangString(documentation::kTextReasonDiskFull));
        EXPECT_EQ(std::string(boxes.Boxes().back().text.GetString()), ended.GetString());
    }
    // A search ends the series: nothing is armed on the ports it probes, and the sensor it finds
    // again is at rest.
    ASSERT_TRUE(loop.RunUntil(armable, 3000));
    Click(IDC_MC_TRIGGER);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
    frame->ShowPage(app::kPageConnection);
    measurement_test::FindPage<sensor_admin::SensorConnectionForm>(*frame)->Item<QAbstractButton>(sensor_admin::IDC_CONN_SEARCH)->click();
    ASSERT_TRUE(loop.RunUntil([this] { return !frame->SensorAdmin()->connection.IsBusy() && frame->m_bSensorConnected; }, 30000));
    loop.RunFor(2000);
    EXPECT_FALSE(Armed() || Running() || sensor->Port(0).sensor().IsStreaming());
    ASSERT_NO_FATAL_FAILURE(CloseWindow());
    EXPECT_EQ(sensor->Port(0).sensor().Blocks().ContentByte(3, 32), 8);
}

}  // namespace
