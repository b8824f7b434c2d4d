// Triggers, pass/fail limits, add-on program paths and the profile values of the set-up page.

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "measurement/add_on_program.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "tests/measurement/setup_bench.h"

using namespace measurement;
using namespace measurement_test;

namespace {

struct Connected : SetupBench {
    Connected() { connected = ConnectAndRefresh(TwoChannelSensor()); }
    bool connected = false;
};

}  // namespace

TEST(SetupTrigger, SourcesAreTakenByTheirDatumAndInactiveOnesRefused)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    CDlgMeasureAdjust& page = *b.page;
    // Channel B off: the start list skips it, so "system time" sits at index 2 with datum 7.
    page.Controls().Check(kChannelButton[1], false);
    page.OnChannelButton(1, false);
    ASSERT_EQ(page.Controls().SelectByDatum(IDC_START_SOURCE, kStartBySystemTime), 2);
    page.OnSourceChanged(true);
    EXPECT_EQ(page.Setup().startSource, kStartBySystemTime);
    EXPECT_FALSE(page.Setup().startSet);
    EXPECT_TRUE(page.Setup().startByDateTime);
    EXPECT_EQ(page.Setup().startTime, platform::CalendarSeconds() + 15);
    EXPECT_FALSE(b.panel.autoRepeatEnabled);
    EXPECT_FALSE(b.panel.autoRepeatChecked);
    // A start time in the past becomes now + 15 s.
    EXPECT_EQ(page.OnStartTimeChanged(1000), platform::CalendarSeconds() + 15);

    // An inactive channel as stop source is refused with its message; the list falls back.
    page.Controls().AddItem(IDC_STOP_SOURCE, "B", 2);
    page.Controls().Select(IDC_STOP_SOURCE, page.Controls().Count(IDC_STOP_SOURCE) - 1);
    page.OnSourceChanged(false);
    ASSERT_EQ(b.boxes.Boxes().size(), 1u);
    EXPECT_NE(b.boxes.Boxes()[0].text.Find("B"), -1);
    EXPECT_NE(page.Setup().stopSource, 2);

    // Stop by duration: one x-axis unit.
    page.Controls().SelectByDatum(IDC_STOP_SOURCE, kStopByDuration);
    page.OnSourceChanged(false);
    EXPECT_DOUBLE_EQ(page.Setup().duration, 1.0);
    EXPECT_TRUE(page.Controls().IsShown(IDC_DURATION_EDIT));
    EXPECT_EQ(page.TakeFocusRequest(), IDC_DURATION_EDIT);
}

TEST(SetupTrigger, ValuesAndLimitsAcceptCommaAndPoint)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    CDlgMeasureAdjust& page = *b.page;
    page.Controls().SelectByDatum(IDC_START_SOURCE, 1);
    page.OnSourceChanged(true);
    ASSERT_TRUE(page.Setup().startSet);
    page.Controls().SetText(IDC_START_VALUE, "12,75");
    page.OnStartValueChanged();
    EXPECT_DOUBLE_EQ(page.Setup().startValue, 12.75);
    EXPECT_DOUBLE_EQ(b.measureFrame.startThreshold, 12.75);
    page.Controls().SetText(IDC_START_VALUE, "-3.5");
    page.OnStartValueChanged();
    EXPECT_DOUBLE_EQ(page.Setup().startValue, -3.5);
    // A text that is no number is read as far as it is one.
    page.Controls().SetText(IDC_START_VALUE, "1,2,3");
    page.OnStartValueChanged();
    EXPECT_DOUBLE_EQ(page.Setup().startValue, 1.2);
    page.Controls().SelectByDatum(IDC_STOP_SOURCE, 1);
    page.OnSourceChanged(false);
    page.Controls().SetText(IDC_STOP_VALUE, "0,125");
    page.OnStopValueChanged();
    EXPECT_DOUBLE_EQ(b.measureFrame.stopThreshold, 0.125);

    // Both conditions watch a channel: only an upper limit for condition 2 judges by it alone;
    // clearing it again judges by none.
    for (int k = 0; k < 2; ++k) {
        page.Controls().Select(kConditionCombo[k], k);
        page.OnConditionChannelChanged(k);
    }
    page.Controls().SetText(kLimitEdit[3], "1.5");
    page.OnLimitChanged(3);
    EXPECT_EQ(page.GetIoNioInputs().conditions, 2);
    EXPECT_DOUBLE_EQ(page.Setup().limitValue[3], 1.5);
    page.Controls().SetText(kLimitEdit[1], "-");
    page.OnLimitChanged(1);
    EXPECT_EQ(page.GetIoNioInputs().conditions, 2);
    EXPECT_EQ(page.GetIoNioInputs().limitText[1], "");  // the empty page's "-" is no limit
    EXPECT_EQ(page.GetIoNioInputs().limitText[3], "1.5");
    page.Controls().SetText(kLimitEdit[0], "-0,25");
    page.OnLimitChanged(0);
    EXPECT_EQ(page.GetIoNioInputs().conditions, 3);
    EXPECT_DOUBLE_EQ(page.Setup().limitValue[0], -0.25);
    page.Controls().SetText(kLimitEdit[3], "");
    page.Controls().SetText(kLimitEdit[0], "");
    page.OnLimitChanged(0);
    EXPECT_EQ(page.GetIoNioInputs().conditions, 0);
    EXPECT_TRUE(page.IsIoNioConditionUndefined(1));
}

TEST(SetupTrigger, TheDigitalInputIsAFixedThreshold)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    ASSERT_TRUE(CComPort::IsDeviceCode5(b.com.m_Sensor[0].m_sIdent));
    b.page->Controls().SelectByDatum(IDC_START_SOURCE, 2);
    b.page->OnSourceChanged(true);
    EXPECT_DOUBLE_EQ(b.page->Setup().startValue, 0.5);
    EXPECT_FALSE(b.page->Controls().IsEnabled(IDC_START_VALUE)) << "the threshold is fixed";
}

TEST(SetupTrigger, AConditionWatchesTheRowOfItsEntry)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    CDlgMeasureAdjust& page = *b.page;
    page.Controls().Check(kChannelButton[0], false);
    page.OnChannelButton(0, false);
    ASSERT_FALSE(page.Setup().channel[0].active);
    page.FillIoNioChannelLists();
    // Channel A is off: the first entry of the list is channel B.
    ASSERT_EQ(page.Controls().Count(kConditionCombo[0]), 1);
    page.Controls().Select(kConditionCombo[0], 0);
    page.OnConditionChannelChanged(0);
    EXPECT_TRUE(b.boxes.Boxes().empty());
    EXPECT_EQ(b.measureFrame.ioNioOutput, 1);
    page.Controls().SetText(kLimitEdit[0], "2");
    page.OnLimitChanged(0);
    EXPECT_EQ(page.GetIoNioInputs().measurand[0], 1);
    page.Controls().Check(kChannelButton[0], true);
    page.OnChannelButton(0, false);
    EXPECT_EQ(page.WriteSetupValues()->limitText[0], "");  // a condition the rows cleared sends the sensor no limit
}

TEST(SetupTrigger, AddOnPathsAndTheSensorUsedLastLiveInTheProfile)
{
    SetupBench b;
    // Nothing stored: both paths read "n.a.", which is never run.
    b.page->LoadLanguageTexts();  // as the frame does at the start
    EXPECT_EQ(b.page->Controls().Text(kAddProgBrowse[0]), "n.a.");
    EXPECT_EQ(b.page->Controls().Text(kAddProgBrowse[1]), "n.a.");
    EXPECT_EQ(ClassifyAddOnProgram("n.a."), AddOnKind::None);
    b.page->SetStartAddProgPath("/opt/tools/before.sh");
    b.page->SetStopAddProgPath("/opt/tools/after.sh");
    // A path the browse control shortened for showing is no path: the full one stays.
    b.page->SetStopAddProgPath("/opt/{...}/after.sh");
    EXPECT_EQ(b.page->Controls().Text(kAddProgBrowse[1]), "/opt/tools/after.sh");
    ASSERT_TRUE(b.ConnectAndRefresh(TwoChannelSensor(4242)));
    b.page->WriteProfileValues();
    EXPECT_EQ(platform::GetProfileString("DespiteReset", "PartOfMeasureStartAddProg"), "/opt/tools/before.sh");
    EXPECT_EQ(platform::GetProfileString("DespiteReset", "PartOfMeasureStopAddProg"), "/opt/tools/after.sh");
    EXPECT_EQ(platform::GetProfileInt("DespiteReset", "LastUsedSerialNo", 0), 4242);

    SetupBench again;
    again.page->LoadLanguageTexts();
    EXPECT_EQ(again.page->Controls().Text(kAddProgBrowse[0]), "/opt/tools/before.sh");
    // Another sensor becomes the one used last.
    ASSERT_TRUE(again.ConnectAndRefresh(TwoChannelSensor(777)));
    again.page->WriteProfileValues();
    EXPECT_EQ(platform::GetProfileInt("DespiteReset", "LastUsedSerialNo", 0), 777);
}

namespace {

struct RecordingLauncher : IAddOnLauncher {
    bool StartProgram(const CString& path) override
    {
        started.push_back(path);
        return startWorks;
    }
    bool OpenDocument(const CString& path) override
    {
        opened.push_back(path);
        return true;
    }
    std::vector<CString> started, opened;
    bool startWorks = true;
};

}  // namespace

TEST(SetupTrigger, AddOnProgramsRunDirectlyOrOpenWithTheDesktop)
{
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink scope(&boxes);
    QTemporaryDir dir;
    const QString script = dir.path() + "/run.sh";
    const QString sheet = dir.path() + "/report.txt";
    for (const QString& name : {script, sheet}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
    }
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    RecordingLauncher launcher;
    EXPECT_FALSE(RunAddOnProgram("n.a.", launcher));
    EXPECT_FALSE(RunAddOnProgram("", launcher));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(RunAddOnProgram(platform::FromQString(script), launcher));
    EXPECT_TRUE(RunAddOnProgram(platform::FromQString(sheet), launcher));
    ASSERT_EQ(launcher.started.size(), 1u);
    ASSERT_EQ(launcher.opened.size(), 1u);
    // A program that cannot start is named in a message.
    launcher.startWorks = false;
    EXPECT_FALSE(RunAddOnProgram(platform::FromQString(script), launcher));
    const CString missing = platform::FromQString(dir.path() + "/gone.exe");
    EXPECT_FALSE(RunAddOnProgram(missing, launcher));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_NE(boxes.Boxes()[0].text.Find(platform::FromQString(script)), -1);
    EXPECT_NE(boxes.Boxes()[1].text.Find(missing), -1);
}

TEST(SetupTrigger, ShowingThePageCollapsesItAndHidingRepairsTheReduction)
{
    SetupBench b;
    CDlgMeasureAdjust& page = *b.page;
    page.ToggleDetails();
    ASSERT_EQ(page.Controls().Text(IDC_EXPAND), "-");
    page.OnShowWindow(true);
    EXPECT_EQ(page.Controls().Text(IDC_EXPAND), "+");

    b.measureFrame.averaging = 10000;
    page.OnShowWindow(false);
    EXPECT_EQ(b.measureFrame.averaging, 1);
}

TEST(SetupTrigger, APowerPairingAtTheEdgeRowsLooksOnlyAtSensorsThatExist)
{
    Connected b;
    ASSERT_TRUE(b.connected);
    // An angle sensor in row A has no sensor before it; a torque sensor in row D none after it.
    b.com.m_Sensor[0].m_sRotorHeader.cTypeClass = 'Y';
    b.com.m_Sensor[3].m_sRotorHeader.cTypeClass = 'D';
    b.com.m_nCountActivePorts = 4;
    for (int r : {0, 3}) {
        b.page->Controls().Check(kChannelButton[r], true);
        b.page->OnChannelButton(r, false);
    }
    b.com.m_nCountActivePorts = 1;
    SUCCEED();
}
