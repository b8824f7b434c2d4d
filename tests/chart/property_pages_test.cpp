// The chart's property pages and sheet: their decisions over a real chart, and the pages as
// the user drives them.
#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTabBar>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "chart/chart_hooks.h"
#include "chart/chart_page.h"
#include "chart/colour_button.h"
#include "chart/common_dialogs.h"
#include "chart/ole_date.h"
#include "chart/property_page_logic.h"
#include "chart/property_pages.h"
#include "chart/recording_device.h"
#include "chart/xgraph.h"
#include "platform/dialog.h"
#include "platform/message_loop.h"
#include "platform/sys_color.h"
#include "res/string_table.h"

using namespace chart;

namespace {

// A click on a button as the user makes it (pressed and released over the button).
void Click(QWidget* control)
{
    auto* button = dynamic_cast<QAbstractButton*>(control);
    ASSERT_NE(button, nullptr);
    button->click();
}

// A click on a tab of the sheet.
void ChooseTab(CChartPage& sheet, int tab)
{
    QTabBar* bar = sheet.findChild<QTabBar*>();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
}

std::vector<ChartPoint> Points(int count)
{
    std::vector<ChartPoint> points;
    for (int i = 0; i < count; ++i) points.push_back({static_cast<double>(i), 2.0 * i});
    return points;
}

class ChartFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetDialogMessageHandler([this](const CString& text) { messages.push_back(text); });
        SetCommonDialogs(&dialogs);
        graph = std::make_unique<CXGraph>();
        graph->resize(400, 300);
    }
    void TearDown() override
    {
        platform::SetDialogMessageHandler({});
        SetCommonDialogs(nullptr);
    }
    // Curves named as given, each on X axis 0 and a Y axis of its own.
    void AddCurves(const std::vector<const char*>& names)
    {
        for (const char* name : names) {
            const int n = graph->GetCurveCount();
            graph->SetCurveData(points.data(), static_cast<int>(points.size()), n, 0, n, true, true, false);
            graph->GetCurve(n).SetLabel(name);
        }
    }

    struct FontAnswer : CommonDialogs {
        bool ok = true;
        bool ChooseFont(LOGFONT& font, COLORREF& colour, QWidget*) override
        {
            if (!ok) return false;
            font = LOGFONT{};
            font.lfHeight = -20;
            font.lfWeight = 700;
            font.SetFaceName("Courier New");
            colour = RGB(200, 0, 0);
            return true;
        }
    };

    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    std::vector<ChartPoint> points = Points(5);
    std::unique_ptr<CXGraph> graph;
    std::vector<CString> messages;
    FontAnswer dialogs;
};

}  // namespace

// ---- Decisions without widgets -----------------------------------------------------------

TEST(AxisPageTimeStep, ShownInTheLargestWholeUnitAboveOne)
{
    // A step in seconds, its count and unit.
    const struct {
        double seconds;
        int count, unit;
    } steps[] = {{7200, 2, kTimeUnitHours}, {86400, 24, kTimeUnitHours}, {90, 90, kTimeUnitSeconds},
                 {3600, 60, kTimeUnitMinutes}, {2 * 86400, 2, kTimeUnitDays}};
    for (const auto& step : steps) {
        int count = 0;
        int unit = -1;
        StepToCountAndUnit(step.seconds / 86400.0, count, unit);
        EXPECT_EQ(count, step.count) << step.seconds;
        EXPECT_EQ(unit, step.unit) << step.seconds;
    }
}

TEST(AxisPageTimeStep, EveryWholeSecondSurvivesTheTripThroughDays)
{
    // Steps are stored in days; a step of s seconds often comes back a hair below s.
    for (int seconds = 1; seconds <= 200000; seconds += 7) {
        int count = 0;
        int unit = -1;
        StepToCountAndUnit(CountAndUnitToStep(seconds, kTimeUnitSeconds), count, unit);
        const int factors[] = {1, 60, 3600, 86400};
        ASSERT_EQ(count * factors[unit], seconds) << seconds;
    }
}

TEST(AxisPageFormat, DecimalPlacesAndExponentForm)
{
    EXPECT_EQ(DecimalPlacesOfFormat("%5.2f", 0), 2);
    EXPECT_EQ(DecimalPlacesOfFormat("%5.3e", 0), 3);
    EXPECT_EQ(DecimalPlacesOfFormat("%d", 4), 4);
    EXPECT_EQ(NumberFormatFor(0, 2e6, 2), CString("%5.2e"));
    EXPECT_EQ(NumberFormatFor(0, 50, 2), CString("%5.2f"));
    EXPECT_EQ(NumberFormatFor(0.0000005, 1, 2), CString("%5.2e"));
    EXPECT_EQ(NumberFormatFor(-3e6, 0, 0), CString("%5.0e"));
}

TEST(CurvePageFillTo, EntriesSkipTheOwnCurveAndMapBackToCurves)
{
    // Curve 1 (B) of A, B, C: its list holds A and C.
    EXPECT_EQ(FillToEntryOfCurve(0, 1, 3), 0);
    EXPECT_EQ(FillToEntryOfCurve(2, 1, 3), 1);
    EXPECT_EQ(FillToEntryOfCurve(1, 1, 3), -1);
    EXPECT_EQ(FillToEntryOfCurve(7, 1, 3), -1);
    EXPECT_EQ(FillToEntryOfCurve(-1, 1, 3), -1);
    EXPECT_EQ(FillToCurveOfEntry(0, 1, 3), 0);
    EXPECT_EQ(FillToCurveOfEntry(1, 1, 3), 2);
    EXPECT_EQ(FillToCurveOfEntry(2, 1, 3), -1);
    EXPECT_EQ(FillToCurveOfEntry(-1, 1, 3), -1);
}

TEST(AxisPageDates, PartsRoundTripAroundTheEpoch)
{
    DateTimeParts parts{2024, 2, 29, 13, 45, 7};
    double date = 0.0;
    ASSERT_TRUE(OleDateFromParts(parts, date));
    DateTimeParts back;
    ASSERT_TRUE(OleDateToParts(date, back));
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.second, 7);
    // Before 30 December 1899 the fraction still counts forward from midnight.
    ASSERT_TRUE(OleDateToParts(-1.25, back));
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.hour, 6);
    EXPECT_FALSE(OleDateToParts(std::nan(""), back));
}

TEST_F(ChartFixture, CurvePageListsTheOtherCurvesAndStoresTheCurveIndex)
{
    AddCurves({"A", "B", "C"});
    graph->GetCurve(1).SetFillCurve(2);
    CurvePageData data;
    ASSERT_TRUE(FillCurvePage(*graph, 1, data));
    ASSERT_EQ(data.fillToEntries.size(), 2u);
    EXPECT_EQ(data.fillToEntries[0], CString("1 A"));
    EXPECT_EQ(data.fillToEntries[1], CString("3 C"));
    EXPECT_EQ(data.fillToEntry, 1);

    data.fill = 1;
    data.fillToEntry = 1;  // "3 C"
    ASSERT_TRUE(ApplyCurvePage(*graph, 1, data));
    EXPECT_EQ(graph->GetCurve(1).GetFillCurve(), 2);
    EXPECT_TRUE(graph->GetCurve(1).GetFillArea());

    EXPECT_FALSE(FillCurvePage(*graph, 3, data));
    EXPECT_FALSE(ApplyCurvePage(*graph, -1, data));
}

TEST_F(ChartFixture, CurvePageKeepsWhatAnUnchosenListLeaves)
{
    AddCurves({"A"});
    graph->GetCurve(0).SetLineStyle(3);
    CurvePageData data;
    ASSERT_TRUE(FillCurvePage(*graph, 0, data));
    data.lineStyle = -1;
    data.fillStyle = -1;
    data.type = -1;
    ApplyCurvePage(*graph, 0, data);
    EXPECT_EQ(graph->GetCurve(0).GetLineStyle(), 3);
    EXPECT_EQ(graph->GetCurve(0).GetFillStyle(), 6);
    EXPECT_EQ(graph->GetCurve(0).GetType(), 0);
}

TEST_F(ChartFixture, LabelDialogListsCurvesTwoDigitAndDropsAStaleConnection)
{
    AddCurves({"A", "B"});
    CXGraphLabel* label = graph->CreateLabel(10, 10, 80, 40, "x");
    label->SetCurve(5);
    LabelDlgData data;
    FillLabelDlg(*label, data);
    ASSERT_EQ(data.curveEntries.size(), 2u);
    EXPECT_EQ(data.curveEntries[0], CString("01 A"));
    EXPECT_EQ(data.curveEntries[1], CString("02 B"));
    EXPECT_EQ(data.curve, -1);
    data.curve = 1;
    data.alignment = 1;
    ApplyLabelDlg(*label, data);
    EXPECT_EQ(label->GetCurve(), 1);
    EXPECT_EQ(label->GetAlignment(), 1);
}

TEST_F(ChartFixture, AxisPageAppliesRangeAndFormatForTheRange)
{
    AddCurves({"A"});
    CXGraphAxis& axis = graph->GetYAxis(0);
    AxisPageData data;
    FillAxisPage(axis, 45000.0, data);
    EXPECT_EQ(data.stepCount, 1);
    EXPECT_EQ(data.startDate, 45000.0);
    EXPECT_EQ(data.decimalPlaces, 3);
    data.autoscale = 0;
    data.minimum = 0;
    data.maximum = 2e6;
    data.stepWidth = 5e5;
    data.decimalPlaces = 2;
    ApplyAxisPage(axis, data);
    double minimum = 0, maximum = 0, step = 0;
    axis.GetRangeAndStep(minimum, maximum, step);
    EXPECT_EQ(maximum, 2e6);
    EXPECT_EQ(axis.GetDisplayFormat(), CString("%5.2e"));
    EXPECT_FALSE(axis.GetAutoScaleSetting());

    data.maximum = 50;
    ApplyAxisPage(axis, data);
    EXPECT_EQ(axis.GetDisplayFormat(), CString("%5.2f"));
}

TEST_F(ChartFixture, AxisPageShowsATimeAxisStepAndFormat)
{
    AddCurves({"A"});
    CXGraphAxis& axis = graph->GetXAxis(0);
    axis.SetDateTime(true);
    axis.SetAutoScale(false);
    axis.SetRange(45000.0, 45001.0);
    axis.SetCurrentRange(45000.0, 45001.0, 7200.0 / 86400.0);
    axis.SetDisplayFormat("%H:%M\n%d.%m");
    AxisPageData data;
    FillAxisPage(axis, 0.0, data);
    EXPECT_EQ(data.stepCount, 2);
    EXPECT_EQ(data.timeUnit, kTimeUnitHours);
    EXPECT_EQ(data.formatText, CString("%H:%M\\n%d.%m"));
    EXPECT_EQ(data.startDate, 45000.0);
    const AxisPageEnabling e = EnablingOf(data);
    EXPECT_TRUE(e.dateTime);
    EXPECT_FALSE(e.range);
    EXPECT_FALSE(e.placement);

    data.stepCount = 30;
    data.timeUnit = kTimeUnitMinutes;
    ApplyAxisPage(axis, data);
    EXPECT_EQ(axis.GetDisplayFormat(), CString("%H:%M\n%d.%m"));
    double minimum = 0, maximum = 0, step = 0;
    axis.GetRangeAndStep(minimum, maximum, step);
    EXPECT_NEAR(step * 86400.0, 1800.0, 1e-6);
}

// ---- The pages as the user drives them ---------------------------------------------------

class SheetFixture : public ChartFixture {
protected:
    void SetUp() override
    {
        ChartFixture::SetUp();
        AddCurves({"A", "B", "C"});
        sheet = std::make_unique<CChartPage>();
        sheet->SetGraph(graph.get());
        sheet->show();
    }
    void TearDown() override
    {
        sheet.reset();
        ChartFixture::TearDown();
    }
    std::unique_ptr<CChartPage> sheet;
};

TEST_F(SheetFixture, ShowsYAxisZeroAndCurveZeroAndOnePageAtATime)
{
    EXPECT_EQ(sheet->ShownAxis(), (AxisRef{CXGraphAxis::yAxis, 0}));
    EXPECT_EQ(sheet->ShownCurve(), 0);
    ASSERT_EQ(sheet->findChild<QTabBar*>()->count(), 3);
    for (int tab : {kAxisTab, kCurveTab, kChartTab, kCurveTab}) {
        ChooseTab(*sheet, tab);
        CDialog* pages[] = {sheet->GetChartDlg(), sheet->GetAxisDlg(), sheet->GetCurveDlg()};
        int shown = 0;
        for (int i = 0; i < 3; ++i) {
            if (!pages[i]->isHidden()) {
                ++shown;
                EXPECT_EQ(i, tab);
                EXPECT_TRUE(pages[i]->isEnabled());
            } else {
                EXPECT_FALSE(pages[i]->isEnabled());
            }
        }
        EXPECT_EQ(shown, 1);
    }
}

TEST_F(SheetFixture, OkHidesAndTheNextShowReusesThePages)
{
    CCurveDlg* curvePage = sheet->GetCurveDlg();
    ChooseTab(*sheet, kCurveTab);
    Click(curvePage->GetDlgItem(IDOK));
    EXPECT_TRUE(sheet->isHidden());
    sheet->show();
    EXPECT_EQ(sheet->GetCurveDlg(), curvePage);
    EXPECT_EQ(sheet->findChild<QTabBar*>()->currentIndex(), kChartTab);
}

TEST_F(SheetFixture, EnterInAnEditAppliesNothingAndClosesNothing)
{
    ChooseTab(*sheet, kCurveTab);
    CCurveDlg* page = sheet->GetCurveDlg();
    auto* label = page->Item<QLineEdit>(6010);
    ASSERT_NE(label, nullptr);
    label->setFocus();
    label->setText("renamed");
    QTest::keyClick(label, Qt::Key_Return);
    QTest::keyClick(label, Qt::Key_Escape);
    EXPECT_FALSE(sheet->isHidden());
    EXPECT_EQ(graph->GetCurve(0).GetLabel(), CString("A"));
    EXPECT_TRUE(page->IsDlgItemEnabled(IDC_APPLY));
    Click(page->GetDlgItem(IDC_APPLY));
    EXPECT_EQ(graph->GetCurve(0).GetLabel(), CString("renamed"));
    EXPECT_FALSE(page->IsDlgItemEnabled(IDC_APPLY));
}

TEST_F(SheetFixture, ASnapRangeOutOfRangeIsRefusedAndTheChartKeepsItsOwn)
{
    CChartDlg* page = sheet->GetChartDlg();
    page->SetDlgItemText(6075, "150");
    EXPECT_TRUE(messages.empty());  // typing shows no message; Apply does
    EXPECT_FALSE(page->OnApply());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].Find("100"), -1);
    EXPECT_EQ(graph->GetSnapRange(), 10);
    EXPECT_EQ(page->GetDlgItemText(6075), CString("150"));
    // OK with the bad value keeps the sheet open.
    Click(page->GetDlgItem(IDOK));
    EXPECT_FALSE(sheet->isHidden());
}

// Neither axis list is ever blank: the one whose axis the axis page does not show names the
// axis of the curve shown, and keeps it when an axis of the other list is chosen.
TEST_F(SheetFixture, ChoosingYAxisTwoKeepsTheXChoiceAndRefillsTheAxisPage)
{
    graph->GetYAxis(2).SetLabel("third");
    CChartDlg* page = sheet->GetChartDlg();
    auto* xList = page->Item<QComboBox>(6055);
    auto* yList = page->Item<QComboBox>(6070);
    ASSERT_EQ(yList->count(), 3);
    EXPECT_TRUE(xList->currentIndex() == 0 && yList->currentIndex() == 0);
    xList->setCurrentIndex(0);
    page->Notify(6055, CBN_SELCHANGE);
    EXPECT_EQ(sheet->ShownAxis(), (AxisRef{CXGraphAxis::xAxis, 0}));
    EXPECT_EQ(yList->currentIndex(), 0);

    yList->setCurrentIndex(2);
    page->Notify(6070, CBN_SELCHANGE);
    EXPECT_EQ(xList->currentIndex(), 0);
    EXPECT_EQ(sheet->ShownAxis(), (AxisRef{CXGraphAxis::yAxis, 2}));
    EXPECT_EQ(sheet->GetAxisDlg()->GetDlgItemText(6010), CString("third"));
    EXPECT_TRUE(graph->GetYAxis(2).m_bSelected);
    EXPECT_FALSE(graph->GetYAxis(0).m_bSelected);
}

TEST_F(SheetFixture, ChoosingACurveRefillsTheCurvePage)
{
    CChartDlg* page = sheet->GetChartDlg();
    auto* curves = page->Item<QComboBox>(6057);
    EXPECT_EQ(curves->currentIndex(), 0);
    curves->setCurrentIndex(2);
    page->Notify(6057, CBN_SELCHANGE);
    EXPECT_EQ(sheet->GetCurveDlg()->GetDlgItemText(6010), CString("C"));
    EXPECT_EQ(sheet->GetCurveDlg()->ComboGetText(1000, 1), CString("2 B"));
}

TEST_F(SheetFixture, AutomaticIsAppliedAsTheButtonsDefaultColour)
{
    CChartDlg* page = sheet->GetChartDlg();
    page->Item<CColorButton>(6047)->SetColor(CLR_DEFAULT);
    ASSERT_TRUE(page->OnApply());
    EXPECT_EQ(graph->GetBackColor(), platform::GetSysColor(platform::COLOR_APPWORKSPACE));
}

TEST_F(SheetFixture, TheLegendPositionFollowsShowLegend)
{
    CChartDlg* page = sheet->GetChartDlg();
    EXPECT_TRUE(page->IsDlgItemEnabled(6051));
    Click(page->GetDlgItem(6050));
    EXPECT_FALSE(page->IsDlgItemEnabled(6051));
    EXPECT_TRUE(page->IsDlgItemEnabled(IDC_APPLY));
    ASSERT_TRUE(page->OnApply());
    EXPECT_FALSE(graph->GetShowLegend());
}

TEST_F(SheetFixture, CurvePageEnablesFillAndMarkerControlsByTheirSwitches)
{
    ChooseTab(*sheet, kCurveTab);
    CCurveDlg* page = sheet->GetCurveDlg();
    EXPECT_FALSE(page->IsDlgItemEnabled(6045));
    EXPECT_FALSE(page->IsDlgItemEnabled(1000));
    Click(page->GetDlgItem(6011));  // fill on
    EXPECT_TRUE(page->IsDlgItemEnabled(6045));
    EXPECT_TRUE(page->IsDlgItemEnabled(1000));
    EXPECT_FALSE(page->IsDlgItemEnabled(6059));  // markers off
    Click(page->GetDlgItem(6038));
    EXPECT_TRUE(page->IsDlgItemEnabled(6059));
    EXPECT_FALSE(page->IsDlgItemEnabled(6060));
    Click(page->GetDlgItem(6059));
    EXPECT_TRUE(page->IsDlgItemEnabled(6060));
    EXPECT_EQ(page->IsDlgButtonChecked(6062), BST_UNCHECKED);
}

TEST_F(SheetFixture, PagesFollowTheirCurveByIndexWhileTheChartGrows)
{
    sheet->SelectCurve(1);
    // New curves may move every curve in memory; the page still edits curve 1.
    AddCurves({"D", "E", "F", "G", "H", "I", "J"});
    CCurveDlg* page = sheet->GetCurveDlg();
    page->SetDlgItemText(6010, "B2");
    ASSERT_TRUE(page->OnApply());
    EXPECT_EQ(graph->GetCurve(1).GetLabel(), CString("B2"));
}

TEST_F(ChartFixture, ASheetForAChartWithoutCurvesOrAxesShowsEmptyPages)
{
    CChartPage sheet;
    sheet.SetGraph(graph.get());
    sheet.show();
    EXPECT_EQ(sheet.ShownCurve(), -1);
    EXPECT_EQ(sheet.ShownAxis().index, -1);
    EXPECT_FALSE(sheet.GetCurveDlg()->OnApply());
    EXPECT_FALSE(sheet.GetAxisDlg()->OnApply());
    sheet.SelectCurve(0);
    sheet.SelectXAxis(3);
    EXPECT_EQ(sheet.ShownCurve(), -1);
}

TEST_F(ChartFixture, PagesMadeBeforeTheCurvesShowTheChartAndFollowTheLanguage)
{
    // The diagram makes its sheet at once, long before a measurement gives the chart curves.
    CChartPage sheet;
    sheet.SetGraph(graph.get());
    sheet.CreatePages();
    AddCurves({"A", "B"});
    graph->GetYAxis(0).SetLabel("A [V]");
    sheet.show();
    CChartDlg& chartPage = *sheet.GetChartDlg();
    EXPECT_EQ(CString("1 A [V]"), chartPage.ComboGetText(6070, 0));
    EXPECT_EQ(0, chartPage.ComboGetCurSel(6070));
    EXPECT_EQ(2, chartPage.ComboGetCount(6057));
    EXPECT_EQ(CString("A [V]"), sheet.GetAxisDlg()->GetDlgItemText(6010));
    EXPECT_EQ(CString("A"), sheet.GetCurveDlg()->GetDlgItemText(6010));
    EXPECT_EQ(CString("Übernehmen"), chartPage.GetDlgItemText(IDC_APPLY));
    auto* startDate = sheet.GetAxisDlg()->Item<QDateTimeEdit>(6025);
    EXPECT_EQ(QLocale::German, startDate->locale().language());

    chartPage.ComboSetCurSel(6051, 1);
    SetLanguage(1000);
    sheet.LoadLanguageTexts();
    EXPECT_EQ(CString("Apply"), chartPage.GetDlgItemText(IDC_APPLY));
    EXPECT_EQ(CString("Right"), chartPage.ComboGetText(6051, 1));
    EXPECT_EQ(1, chartPage.ComboGetCurSel(6051));
    EXPECT_EQ(CString("Seconds"), sheet.GetAxisDlg()->ComboGetText(6083, 0));
    EXPECT_EQ(CString("Scatter"), sheet.GetCurveDlg()->ComboGetText(6034, 1));
    EXPECT_EQ("Axis", sheet.findChild<QTabBar*>()->tabText(kAxisTab));
    EXPECT_EQ(QLocale::English, startDate->locale().language());
    SetLanguage(0);
}

TEST_F(ChartFixture, LabelFontChosenThenCancelKeepsTheNewFont)
{
    AddCurves({"A", "B"});
    CXGraphLabel* label = graph->CreateLabel(10, 10, 80, 40, "x");
    CLabelDlg dialog(label);
    dialog.InitDialog();
    EXPECT_EQ(dialog.ComboGetText(6071, 1), CString("02 B"));
    Click(dialog.GetDlgItem(6068));
    Click(dialog.GetDlgItem(IDCANCEL));
    // Drawn, its text is in the font and the colour chosen.
    auto device = std::make_shared<chart::RecordingDevice>();
    CDCEx dc(device);
    label->Draw(&dc);
    const std::vector<chart::DrawRecord> texts = device->Of(chart::DrawRecord::Op::DrawText);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].font.lfHeight, -20);
    EXPECT_EQ(texts[0].textColor, RGB(200, 0, 0));
}

TEST_F(ChartFixture, LabelPropertiesCancelledChangeNothingAndOkApplies)
{
    AddCurves({"A", "B"});
    CXGraphLabel* label = graph->CreateLabel(10, 10, 80, 40, "x");
    {
        CLabelDlg dialog(label);
        dialog.InitDialog();
        Click(dialog.GetDlgItem(6054));  // border off
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_APPLY));
        Click(dialog.GetDlgItem(IDCANCEL));
    }
    EXPECT_TRUE(label->GetBorder());
    CLabelDlg dialog(label);
    dialog.InitDialog();
    dialog.ComboSetCurSel(6071, 1);
    Click(dialog.GetDlgItem(6054));
    Click(dialog.GetDlgItem(IDOK));
    EXPECT_FALSE(label->GetBorder());
    EXPECT_EQ(label->GetCurve(), 1);
}

TEST_F(ChartFixture, TheLabelsPropertiesCommandRunsTheDialogModallyUntilItIsClosed)
{
    AddCurves({"A"});
    CXGraphLabel* label = graph->CreateLabel(10, 10, 80, 40, "x");
    const Hooks saved = GetHooks();
    InstallLabelPropertiesDialog();
    GetHooks().popupMenu = [](QWidget*, QPoint, const std::vector<MenuItem>&) { return static_cast<int>(IDM_LABEL_PROPERTIES); };
    int seen = 0;
    // Once the dialog runs, the user unticks the border and closes the window with its close box.
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = dynamic_cast<CLabelDlg*>(widget);
            if (!dialog || !dialog->IsModalRunning()) continue;
            ++seen;
            Click(dialog->GetDlgItem(6054));
            dialog->close();
        }
    });
    label->ShowContextMenu();
    GetHooks() = saved;
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(label->GetBorder());
}
