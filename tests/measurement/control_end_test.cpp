// What the program shows around a measurement, through the real main frame with a simulated
// sensor in process: values that keep being shown while a documentation fault is reported, the
// status bar after a stop, the diagram bitmaps of a recorded measurement (none for a trigger
// switched off before its start), and every page after the sensor is lost in mid-measurement
// and another sensor is connected.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>

#include <filesystem>

#include "app/main_frame_views.h"
#include "documentation/dlg_documentation.h"
#include "measurement/measure_control_ids.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "sensor_admin/dlg_sensor_information.h"
#include "tests/measurement/frame_fixture.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "workflow/workflow_peers.h"
#include "workflow/workflow_texts.h"

using namespace measurement;

namespace {

using measurement_test::FindPage;

struct MeasurementEnd : measurement_test::ConnectedFrame {
    CString StatusBar() { return platform::FromQString(frame->StatusPane(0).text()); }
    // The documentation page stores this kind of file automatically, indexed, into folder.
    void StoreAutomatically(int kind, const QString& folder)
    {
        auto* documentation = FindPage<documentation::CDlgDocumentation>(*frame);
        ASSERT_NE(documentation, nullptr);
        documentation->Settings().autoStorage = 1;
        documentation->Settings().storageMode[static_cast<std::size_t>(kind)] = documentation::kStorageIndexed;
        documentation->Settings().directory[static_cast<std::size_t>(kind)] = platform::FromQString(folder);
    }
};

int FilesIn(const QTemporaryDir& dir)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString())) ++count;
    return count;
}

// A person reads each box for a second before closing it; a box that does not wait for that is
// open from its showing until the measurement is stopped. Notes how many value sets the views
// took while each box was open (-1: still open).
struct ReadingSink : platform::RecordingMessageBoxSink {
    platform::MessageLoop& loop;
    views::ChannelRefresher& views;
    std::vector<std::pair<std::int64_t, std::int64_t>> open;
    ReadingSink(platform::MessageLoop& l, views::ChannelRefresher& r) : loop(l), views(r) {}
    int Show(const CString& text, const CString& caption, UINT type) override
    {
        const std::int64_t before = views.ValueSetCount();
        loop.RunFor(1000);
        open.emplace_back(before, views.ValueSetCount());
        return RecordingMessageBoxSink::Show(text, caption, type);
    }
    void Notify(const CString& text, const CString& caption, UINT icon) override
    {
        open.emplace_back(views.ValueSetCount(), -1);
        RecordingMessageBoxSink::Notify(text, caption, icon);
    }
};

bool InformationNames(const sensor_admin::CDlgSensorInformationHmb& page, const char* serial)
{
    for (const sensor_admin::InfoRow& row : page.Rows())
        if (row.value.Find(serial) >= 0) return true;
    return false;
}

}  // namespace

TEST_F(MeasurementEnd, AFolderThatCannotBeWrittenIsReportedWhileTheValuesKeepBeingShown)
{
    QTemporaryDir root;
    ASSERT_NO_FATAL_FAILURE(StoreAutomatically(documentation::kMeasValues, root.path() + "/missing"));
    ReadingSink reader(loop, frame->Views()->Refresher());
    platform::ScopedMessageBoxSink install(&reader);

    frame->Fields().measureRateIndex = 6;  // 200 value sets a second
    Click(IDC_MC_START);
    loop.RunFor(1500);
    const std::int64_t atStop = frame->Views()->Refresher().ValueSetCount();
    Click(IDC_MC_STOP);
    loop.RunFor(1000);
    ASSERT_EQ(reader.Count(), 1u);
    EXPECT_GE(reader.Boxes()[0].text.Find("missing"), 0) << reader.Boxes()[0].text.GetString();
    for (const auto& [opened, closed] : reader.open) EXPECT_GE((closed < 0 ? atStop : closed) - opened, 100);
}

TEST_F(MeasurementEnd, TheStatusBarSaysReadyAfterAStopAndOnlyARecordedDiagramIsStored)
{
    QTemporaryDir bitmaps;
    ASSERT_NO_FATAL_FAILURE(StoreAutomatically(documentation::kDiagrams, bitmaps.path()));

    // The trigger waits for channel A to rise through 0; the ramp starts at 500 and never does.
    Click(IDC_MC_TRIGGER);
    loop.RunFor(600);
    EXPECT_EQ(StatusBar(), LoadLangString(kTextWaitForStart));
    Click(IDC_MC_TRIGGER);
    loop.RunFor(2000);
    EXPECT_EQ(StatusBar(), LoadLangString(kTextReady));
    EXPECT_EQ(FilesIn(bitmaps), 0) << "the trigger recorded nothing, yet a diagram was stored";

    Click(IDC_MC_START);
    loop.RunFor(800);
    EXPECT_EQ(StatusBar(), LoadLangString(kTextMeasuring));
    Click(IDC_MC_STOP);
    loop.RunFor(2000);
    EXPECT_EQ(StatusBar(), LoadLangString(kTextReady));
    EXPECT_EQ(FilesIn(bitmaps), 1);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MeasurementEnd, ALostSensorLeavesTheMeasurementUnjudgedAndTheNextSensorStartsAfresh)
{
    JudgeChannelABelow("1000000");  // the ramp would pass
    auto* setup = FindPage<MeasureSetupWidget>(*frame);
    ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_START_SOURCE, 1));
    app::ViewsWiring& views = *frame->Views();
    Click(IDC_MC_START);
    loop.RunFor(1000);
    views.Refresher().Tare(0);
    ASSERT_TRUE(views.Refresher().Values(0).tared);
    ASSERT_GT(views.Refresher().Values(0).maxBase, 500.0);

    frame->Com().OnPortManagerNotify(workflow::kEventDeviceRemoval, 0);
    loop.RunFor(1000);
    EXPECT_FALSE(Running());
    EXPECT_FALSE(panel->Logic().HasVerdict());  // no verdict row either
    EXPECT_EQ(views.Light()->GetLight(), -1);
    ASSERT_EQ(boxes.Count(), 1u);
    const CString lost = LoadLangString(workflow::kTextSensorLostMeasuring);
    EXPECT_GE(boxes.Boxes()[0].text.Find(lost.Mid(lost.Find(") ") + 2)), 0) << boxes.Boxes()[0].text.GetString();
    EXPECT_EQ(StatusBar(), LoadLangString(kTextDisconnected));
    // Nothing on the panel speaks of the sensor gone: no rate, no angle to set to zero.
    const PageControls& c = panel->Logic().Controls();
    EXPECT_NE(c.Text(IDC_MC_RATE).Find("n.a."), -1) << c.Text(IDC_MC_RATE).GetString();
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_ANGLE_ZERO)->isEnabled());
    workflow::IConnectionPage& connection = *frame->Com().Peers().connection;
    EXPECT_EQ(connection.GetItemText(0, 6), LoadLangString(workflow::kTextPortAvailable));
    auto* information = dynamic_cast<sensor_admin::CDlgSensorInformationHmb*>(frame->Com().Peers().information);
    ASSERT_NE(information, nullptr);
    EXPECT_FALSE(InformationNames(*information, "100001"));

    // The same sensor found again still keeps the trigger and limits of before; the page keeps
    // the user's and the sensor receives them, as the close would have written them.
    frame->Com().COM_SearchComPorts(0);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->m_bSensorConnected && frame->Com().IsSensorReady(); }, 20000));
    const sim::BlockStore& kept = sensor->Port(0).sensor().Blocks();  // the upper limit's high bytes: 1000000.0f
    EXPECT_TRUE(loop.RunUntil([&] { return kept.ContentByte(2, 30) == 0x49 && kept.ContentByte(2, 29) == 0x74; }, 5000));
    EXPECT_EQ(setup->Logic().Setup().startSource, 1);
    EXPECT_EQ(setup->Logic().GetIoNioInputs().measurand[0], 0);
    frame->Com().OnPortManagerNotify(workflow::kEventDeviceRemoval, 0);
    loop.RunFor(1000);
    // Another sensor (its channel A at 0) is plugged into the same port and found.
    auto other = std::make_unique<sim::SimulatedSensor>(workflow_test::AcceptedSensor(100002), loop);
    ports.Port("COM3").sim = &other->Port(0);
    frame->Com().COM_SearchComPorts(0);
    ASSERT_TRUE(loop.RunUntil([this] { return frame->m_bSensorConnected && frame->Com().IsSensorReady(); }, 20000));
    loop.RunFor(500);
    EXPECT_EQ(connection.GetItemText(0, 6), LoadLangString(workflow::kTextPortActive));
    EXPECT_EQ(c.Text(IDC_MC_RATE).Find("n.a."), -1);
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_ANGLE_ZERO)->isEnabled());  // it counts no angle
    EXPECT_TRUE(InformationNames(*information, "100002"));
    EXPECT_FALSE(views.Refresher().Values(0).tared);
    EXPECT_LT(views.Refresher().Values(0).maxBase, 500.0);

    // A connection given up (a step's answer awaited in vain) under a running measurement ends
    // it too, its sets kept: none is left running with no button to stop it.
    ASSERT_TRUE(measurement_test::ChooseDatum(*setup, IDC_START_SOURCE, 0));
    Click(IDC_MC_START);
    loop.RunFor(1000);
    ASSERT_TRUE(Running());
    boxes.Clear();
    frame->Com().COM_ReportUnstableConnection();
    loop.RunFor(1000);
    EXPECT_FALSE(Running());
    EXPECT_FALSE(panel->Item<QAbstractButton>(IDC_MC_STOP)->isEnabled());
    EXPECT_GT(views.Diagram()->Display().Data().GetPointCount(0), 0);
    Close();  // before the sensor that answers on the port goes
}
