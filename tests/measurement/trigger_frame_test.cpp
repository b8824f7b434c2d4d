// Triggered measurements through the real main frame with a simulated sensor in process, set up
// on the set-up page and armed on the control panel as the user does: a series of them with the
// trigger's auto repeat, and the add-on programs typed into their fields, run at the start and
// after the stop.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#include "app/main_frame.h"
#include "app/page_table.h"
#include "controls/browse_ctrl.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "platform/qt_text.h"
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
    MeasureSetupWidget* setup = nullptr;

    // Start when channel A rises over 100, stop when it falls under 50, at 200 sets a second.
    void SetUpTriggers()
    {
        frame->show();
        frame->ShowPage(app::kPageMeasureSetup);
        loop.RunFor(300);
        setup = measurement_test::FindPage<MeasureSetupWidget>(*frame);
        ASSERT_NE(setup, nullptr);
        ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_RATE_COMBO, 6));
        loop.RunFor(1000);
        ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_START_SOURCE, 1));
        ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_START_DIRECTION, 0));
        setup->Item<QLineEdit>(IDC_START_VALUE)->setText("100");
        ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_STOP_SOURCE, 1));
        ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_STOP_DIRECTION, 1));
        setup->Item<QLineEdit>(IDC_STOP_VALUE)->setText("50");
        loop.RunFor(300);
    }
    void TypeProgram(int which, const QString& path)
    {
        auto* browse = setup->Item<CBrowseCtrl>(kAddProgBrowse[which]);
        ASSERT_NE(browse, nullptr);
        browse->Edit()->selectAll();
        QTest::keyClick(browse->Edit(), Qt::Key_Delete);
        QTest::keyClicks(browse->Edit(), path);
    }
    bool Armed() const { return panel->Logic().Record().shared.bSecond != 0; }
    // Runs the loop for ms and counts the recordings that began meanwhile.
    int RecordingsWithin(int ms)
    {
        int started = 0;
        BYTE was = frame->Fields().triggers.recording;
        for (int t = 0; t < ms; t += 10) {
            loop.RunFor(10);
            const BYTE now = frame->Fields().triggers.recording;
            if (now && !was) ++started;
            was = now;
        }
        return started;
    }
};

// With auto repeat each triggered measurement that ends arms the trigger again: the sine crosses
// both levels once a period, and every period is recorded.
TEST_F(SineInFrame, AutoRepeatRecordsEveryCrossingOfTheLevels)
{
    SetUpTriggers();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(300);
    Click(IDC_MC_AUTO_REPEAT);
    Click(IDC_MC_TRIGGER);
    EXPECT_GE(RecordingsWithin(7000), 3);
    EXPECT_TRUE(Armed());
    Click(IDC_MC_TRIGGER);
    loop.RunFor(1500);
    EXPECT_FALSE(Armed());
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Waits in real time (the programs are processes of their own) until the file holds a line.
bool Written(const QString& path)
{
    for (int i = 0; i < 500; ++i) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && !file.readAll().isEmpty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// Programs typed into the fields run, the start program at the start event and the stop program
// after the stop event; paths that name nothing are told when the measurement starts, and the
// measurement goes on to its stop.
TEST_F(SineInFrame, TypedAddOnProgramsRunAndMissingOnesAreToldAtTheStart)
{
    QTemporaryDir dir;
    auto script = [&dir](const char* name) {
        const QString path = dir.path() + "/" + name + ".sh";
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QString("#!/bin/sh\necho ran >> '%1.log'\n").arg(dir.path() + "/" + name).toUtf8());
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    };
    SetUpTriggers();
    TypeProgram(0, script("start"));
    TypeProgram(1, script("stop"));
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(300);
    Click(IDC_MC_TRIGGER);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
    EXPECT_TRUE(Written(dir.path() + "/start.log"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/stop.log"));
    ASSERT_TRUE(loop.RunUntil([this] { return !Armed() && !Running(); }, 3000));
    loop.RunFor(500);
    EXPECT_TRUE(Written(dir.path() + "/stop.log"));
    EXPECT_TRUE(boxes.Boxes().empty());

    frame->ShowPage(app::kPageMeasureSetup);
    loop.RunFor(300);
    const QString gone[2] = {dir.path() + "/gone/before.sh", dir.path() + "/gone/after.sh"};
    TypeProgram(0, gone[0]);
    TypeProgram(1, gone[1]);
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(300);
    Click(IDC_MC_TRIGGER);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->Fields().triggers.recording == 1; }, 3000));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_NE(boxes.Boxes()[static_cast<std::size_t>(k)].text.Find(platform::FromQString(gone[k])), -1);
        EXPECT_FALSE(boxes.Boxes()[static_cast<std::size_t>(k)].waited);
    }
    ASSERT_TRUE(loop.RunUntil([this] { return !Armed() && !Running(); }, 3000));
    EXPECT_EQ(frame->Fields().triggers.stoppedByEvent, 1);
    loop.RunFor(500);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

}  // namespace
