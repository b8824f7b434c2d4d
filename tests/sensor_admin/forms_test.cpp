// The widgets of the sensor administration pages, offscreen: what the lists show of their pages,
// and clicks that reach the pages. With KM3_RENDER_DIR set, every form is also saved as a
// picture in each of the four languages, for looking at.

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/xlist_ctrl.h"
#include "controls/xlist_roles.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "tests/sensor_admin/admin_bench.h"

using namespace sensor_admin;
using namespace sensor_admin_test;
using workflow_test::AcceptedSensor;

namespace {

CString Cell(const CXListCtrl& list, int row, int col) { return list.GetItemText(row, col); }

// The background colour the list draws the cell in.
COLORREF Background(const CXListCtrl& list, int row, int col)
{
    return static_cast<COLORREF>(list.item(row, col)->data(controls::xlist::kBkColorRole).toUInt());
}

void ClickCell(CXListCtrl& list, int row, int col)
{
    QTableWidgetItem* item = list.item(row, col);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

void Save(QWidget& widget, const char* name, int language, QSize least = QSize(480, 200))
{
    const char* dir = std::getenv("KM3_RENDER_DIR");
    if (!dir) return;
    widget.resize(widget.sizeHint().expandedTo(least));
    widget.grab().save(QString("%1/%2_%3.png").arg(dir).arg(name).arg(language / 1000));
}

}  // namespace

TEST(SensorAdminForms, TheConnectionListShowsThePagesRowsAndPassesClicksOn)
{
    AdminBench b;
    b.AddSensor("COM3", AcceptedSensor(2001));
    b.AddSensor("COM4", AcceptedSensor(2002), "Lantronix CPR Port", 9600);
    SensorConnectionForm form(b.pages.connection);
    b.com.COM_SearchComPorts(0);
    ASSERT_TRUE(b.RunUntilConnected());
    b.loop.RunFor(3000);

    CXListCtrl& list = form.List();
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(Cell(list, 0, kColumnPort), b.pages.connection.GetItemText(0, kColumnPort));
    EXPECT_EQ(Cell(list, 0, kColumnStatus), CString("aktiv"));
    EXPECT_EQ(Cell(list, 0, kColumnSerial), CString("2001"));
    EXPECT_EQ(Background(list, 0, 1), b.pages.connection.List().Rows()[0].background);

    // A click on a row marks it (or takes the mark away) in the page, and the list follows.
    const bool marked = b.pages.connection.IsRowMarked(1);
    ClickCell(list, 1, kColumnSensorType);
    EXPECT_EQ(b.pages.connection.IsRowMarked(1), !marked);
    EXPECT_EQ(Background(list, 1, 0) != kColourWhite, !marked);

    // The enable check box of a row reaches the port table.
    const int before = b.com.m_PortRec[1].m_nEnabled;
    ClickCell(list, 1, kColumnEnabled);
    EXPECT_NE(b.com.m_PortRec[1].m_nEnabled > 0, before > 0);

    form.Notify(IDC_CONN_DISCONNECT, BN_CLICKED);
    EXPECT_FALSE(b.pages.connection.IsConnected());
    EXPECT_EQ(Cell(list, 0, kColumnStatus), CString("verfügbar"));
    EXPECT_FALSE(form.IsDlgItemEnabled(IDC_CONN_DISCONNECT));
}

TEST(SensorAdminForms, EveryFormShowsItsPageInFourLanguages)
{
    AdminBench b;
    b.AddSensor("COM3", AcceptedSensor(123456));
    b.AddSensor("COM4", AcceptedSensor(2002), "Lantronix CPR Port", 9600);
    SensorConnectionForm connection(b.pages.connection);
    StartUpForm startUp(b.pages.startUp);
    SensorInformationForm information(b.pages.information);
    SensorCalibrationForm calibration(b.pages.calibration);
    DiagnosticForm diagnostic(b.pages.diagnostic);
    b.pages.startUp.SetShowProgressInList(true);
    b.com.COM_SearchComPorts(0);
    b.loop.RunFor(150);
    for (int language : {0, 1000, 2000, 3000}) {
        SetLanguage(language);
        startUp.LoadLanguageTexts();
        Save(startUp, "start_up", language);
        Save(connection, "connection_searching", language);
    }
    SetLanguage(0);
    ASSERT_TRUE(b.RunUntilConnected());
    b.loop.RunFor(3000);
    EXPECT_FALSE(startUp.isVisible());
    b.pages.calibration.ZeroPrompt().Open();
    b.pages.calibration.EndPrompt().Open();
    b.pages.calibration.EndPrompt().ShowWarning();

    for (int language : {0, 1000, 2000, 3000}) {
        SetLanguage(language);
        for (ILanguageTexts* form : std::initializer_list<ILanguageTexts*>{&connection, &information, &calibration, &diagnostic})
            form->LoadLanguageTexts();
        Save(connection, "connection", language, QSize(960, 300));
        Save(information, "information", language);
        Save(calibration, "calibration", language);
        Save(calibration.ZeroPrompt(), "calib_zero_prompt", language);
        Save(calibration.EndPrompt(), "calib_end_prompt", language);
        Save(diagnostic, "diagnostic", language);
        // Every label of the information list has its text in this language.
        const CXListCtrl& list = *information.Item<CXListCtrl>(IDC_INFO_LIST);
        for (int row = 0; row < list.GetItemCount(); ++row) EXPECT_NE(Cell(list, row, 0), CString("@")) << row;
        EXPECT_EQ(Cell(list, 1, 1), CString("123456"));
        // The sensor has channel A alone: nothing of channel B's inaccuracy or reference is asked.
        for (int id : {IDC_CAL_MODE_CHANGE_B, IDC_CAL_MODE_DELETE_B, IDC_CAL_REF_B}) EXPECT_TRUE(calibration.Item<QWidget>(id)->isHidden());
    }
    SetLanguage(0);
    b.pages.calibration.ZeroPrompt().Close();
    b.pages.calibration.EndPrompt().CloseIfVisible();
    calibration.Item<QLineEdit>(IDC_CAL_REF_A)->setText("20000");
    calibration.Item<QAbstractButton>(IDC_CAL_START)->click();
    EXPECT_TRUE(b.pages.calibration.ZeroPrompt().IsVisible());
    EXPECT_EQ(b.pages.calibration.Fields().referenceValue[1], b.com.m_Sensor[0].m_sRotorFactoryCalib.nFullScaleCountB);
    b.pages.calibration.Cancel();
}

// A reference field takes whole counts up to 65535: a separator or a number the block cannot
// hold is refused as it is typed, with the reason. An empty one refuses the calibration with a
// message naming the channel, before anything is sent; with both references it starts.
TEST(SensorAdminForms, AnEmptyReferenceValueRefusesTheCalibrationBeforeAnythingIsSent)
{
    AdminBench b;
    SensorCalibrationForm calibration(b.pages.calibration);
    sim::SensorConfig twoChannels = AcceptedSensor();
    twoChannels.identity.hmbUsb = false;
    ASSERT_TRUE(b.ConnectSensor(twoChannels));
    b.loop.RunFor(300);
    calibration.show();  // the user opens the page
    EXPECT_TRUE(calibration.Item<QWidget>(IDC_CAL_MODE_DELETE_B)->isVisible());
    auto* start = calibration.Item<QAbstractButton>(IDC_CAL_START);
    ASSERT_NE(start, nullptr);
    ASSERT_TRUE(start->isEnabled());
    ASSERT_TRUE(b.pages.calibration.IsSensorPresent());
    const std::size_t writes = b.ports.writes.size();
    auto* referenceA = calibration.Item<QLineEdit>(IDC_CAL_REF_A);
    for (const auto& [typed, kept, told] : {std::tuple{"1,", "1", LoadLangString(kTextReferenceWholeCounts)},
                                            {"65536", "6553", CString::Formatted(LoadLangString(kTextReferenceTooLarge).GetString(), 65535ul)}}) {
        referenceA->clear();
        QTest::keyClicks(referenceA, typed);
        EXPECT_EQ(referenceA->text(), QString(kept));
        EXPECT_EQ(calibration.GetDlgItemText(IDC_CAL_STATUS), told);
    }
    for (const char* channel : {"A", "B"}) {
        SCOPED_TRACE(channel);
        b.boxes.Clear();
        calibration.Item<QLineEdit>(IDC_CAL_REF_A)->setText(channel[0] == 'A' ? "" : "20000");
        calibration.Item<QLineEdit>(IDC_CAL_REF_B)->setText(channel[0] == 'B' ? " " : "12000");
        start->click();
        b.loop.RunFor(500);
        ASSERT_EQ(b.boxes.Count(), 1u);
        EXPECT_EQ(b.boxes.Boxes()[0].text, CString::Formatted(LoadLangString(kTextReferenceMissing).GetString(), channel[0]));
        EXPECT_EQ(b.pages.calibration.CurrentActivity(), CDlgSensorCalibration::Activity::Idle);
        EXPECT_FALSE(b.pages.calibration.ZeroPrompt().IsVisible());
        EXPECT_EQ(b.ports.writes.size(), writes);
    }
    calibration.Item<QLineEdit>(IDC_CAL_REF_B)->setText("12000");
    start->click();
    EXPECT_TRUE(b.pages.calibration.ZeroPrompt().IsVisible());
    b.pages.calibration.Cancel();
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
