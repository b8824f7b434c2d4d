#include "chart/property_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include <cfloat>

#include "chart/chart_hooks.h"
#include "chart/chart_page.h"
#include "chart/chart_texts.h"
#include "chart/colour_button.h"
#include "chart/common_dialogs.h"
#include "chart/ole_date.h"
#include "chart/property_list_items.h"
#include "chart/xgraph.h"
#include "platform/message_loop.h"
#include "platform/qt_text.h"
#include "res/string_table.h"

using chart::ChartText;
using chart::ChartTextOf;
using chart::IDC_APPLY;

namespace {

// Chart page
constexpr int IDC_BGCOL = 6047;
constexpr int IDC_EXTCOL = 6048;
constexpr int IDC_INTCOL = 6049;
constexpr int IDC_CBSHOWLEGEND = 6050;
constexpr int IDC_LEGENDPOS = 6051;
constexpr int IDC_CBDOUBLEBUFFER = 6052;
constexpr int IDC_CBSNAP = 6076;
constexpr int IDC_SNAPRANGE = 6075;
constexpr int IDC_SNAPSPIN = 6074;
constexpr int IDC_SEL_XAXIS = 6055;
constexpr int IDC_SEL_YAXIS = 6070;
constexpr int IDC_SELCURVE = 6057;

// Axis page
constexpr int IDC_AXLABEL = 6010;
constexpr int IDC_CBAUTOSCALE = 6039;
constexpr int IDC_AXMIN = 6040;
constexpr int IDC_AXMAX = 6013;
constexpr int IDC_AXSTEPWIDTH = 6024;
constexpr int IDC_CBGRID = 6014;
constexpr int IDC_CBTIMEAXIS = 6015;
constexpr int IDC_CBVISIBLE = 6009;
constexpr int IDC_DECPLACES = 6016;
constexpr int IDC_DECSPIN = 6017;
constexpr int IDC_ARROWSZ = 6018;
constexpr int IDC_ARROWSPIN = 6019;
constexpr int IDC_TICKSZ = 6020;
constexpr int IDC_TICKSPIN = 6021;
constexpr int IDC_AXMARKSZ = 6022;
constexpr int IDC_AXMARKSPIN = 6023;
constexpr int IDC_AXCOL = 6007;
constexpr int IDC_GRIDCOL = 6033;
constexpr int IDC_GRIDSTYLE = 6072;
constexpr int IDC_AXADJ = 6077;
constexpr int IDC_CBSHOWMARKERS = 6058;
constexpr int IDC_STARTDATE = 6025;
constexpr int IDC_STARTTIME = 6026;
constexpr int IDC_ENDDATE = 6029;
constexpr int IDC_ENDTIME = 6030;
constexpr int IDC_STEPCOUNT = 6081;
constexpr int IDC_TIMEUNIT = 6083;
constexpr int IDC_TIMEFORMAT = 6046;
constexpr int IDC_AXFONT = 6002;
constexpr int IDC_AXSCFONT = 6001;

// Curve page
constexpr int IDC_EDLABEL = 6010;
constexpr int IDC_EDTYPE = 6034;
constexpr int IDC_EDSTYLE = 6008;
constexpr int IDC_EDLINEWIDTH = 6035;
constexpr int IDC_LINEWIDTHSPIN = 6006;
constexpr int IDC_EDLINECOLOR = 6007;
constexpr int IDC_EDMARKERSIZE = 6022;
constexpr int IDC_MARKERSIZESPIN = 6023;
constexpr int IDC_CBMARKER = 6038;
constexpr int IDC_MARKERTYPE = 6062;
constexpr int IDC_RDSYM = 6059;
constexpr int IDC_MARKERSYMBOL = 6060;
constexpr int IDC_CBFILL = 6011;
constexpr int kFillStyleRadios[7] = {6045, 6027, 6028, 6042, 6043, 6031, 6032};
constexpr int IDC_CBTRANSPARENT = 6012;
constexpr int IDC_FILLCURVE = 1000;

// Label dialog
constexpr int IDC_LBLBKCOL = 6007;
constexpr int IDC_LBLBORDER = 6054;
constexpr int IDC_LBLALIGN = 6056;
constexpr int IDC_LBLCURVE = 6071;
constexpr int IDC_LBLTRANSPARENT = 6078;
constexpr int IDC_LBLFONT = 6068;

// The lists whose entries are fixed texts of the chart.
constexpr ChartText kLeftRight[] = {ChartText::Left, ChartText::Right};
constexpr ChartText kTimeUnits[] = {ChartText::Seconds, ChartText::Minutes, ChartText::Hours, ChartText::Days};
constexpr ChartText kCurveTypes[] = {ChartText::Line, ChartText::Scatter};

double NowAsOleDate()
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(platform::CalendarSeconds());
    chart::DateTimeParts parts{now.date().year(), now.date().month(), now.date().day(),
                               now.time().hour(), now.time().minute(), now.time().second()};
    double date = 0.0;
    chart::OleDateFromParts(parts, date);
    return date;
}

// A date or time picker exchanged as an OLE date.
void DDX_DateTimeCtrl(CDataExchange& dx, int id, double& date)
{
    dx.PrepareCtrl(id);
    auto* picker = dx.m_pDlgWnd->Item<QDateTimeEdit>(id);
    if (!picker) return;
    if (dx.m_bSaveAndValidate) {
        const QDateTime value = picker->dateTime();
        const chart::DateTimeParts parts{value.date().year(), value.date().month(), value.date().day(),
                                         value.time().hour(), value.time().minute(), value.time().second()};
        double read = 0.0;
        if (!chart::OleDateFromParts(parts, read)) dx.Fail("Please enter a valid date.");
        date = read;
    } else {
        chart::DateTimeParts parts;
        if (!chart::OleDateToParts(date, parts)) return;
        const QSignalBlocker block(picker);
        picker->setDateTime(QDateTime(QDate(parts.year, parts.month, parts.day), QTime(parts.hour, parts.minute, parts.second)));
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CChartPropertyPage

CChartPropertyPage::CChartPropertyPage(UINT templateId, ChartText title, CChartPage* sheet, QWidget* parent)
    : CDialog(templateId, parent), m_pSheet(sheet), m_grid(new QGridLayout(this)), m_title(title)
{
    SetWindowText(ChartTextOf(title));
    m_grid->setContentsMargins(6, 6, 6, 6);
    m_grid->setHorizontalSpacing(8);
}

void CChartPropertyPage::AddButtonsRow(int row)
{
    auto* box = new QHBoxLayout;
    box->addStretch(1);
    const std::pair<int, ChartText> buttons[] = {{IDOK, ChartText::Ok}, {IDCANCEL, ChartText::Cancel}, {IDC_APPLY, ChartText::Apply}};
    for (const auto& [id, text] : buttons) {
        auto* button = new QPushButton(platform::ToQString(ChartTextOf(text)), this);
        RegisterControl(id, button);
        box->addWidget(button);
    }
    // Extra height of a page goes above the buttons, never between the controls.
    m_grid->setRowStretch(row, 1);
    m_grid->addLayout(box, row + 1, 0, 1, m_grid->columnCount() > 0 ? m_grid->columnCount() : 4);
    EnableApply(false);
}

QLabel* CChartPropertyPage::AddCaption(int id, const char* placeholder, int row, int column)
{
    auto* label = new QLabel(QString::fromLatin1(placeholder), this);
    RegisterControl(id, label);
    m_grid->addWidget(label, row, column);
    return label;
}

QLineEdit* CChartPropertyPage::AddEdit(int id, int row, int column)
{
    auto* edit = new QLineEdit(this);
    RegisterControl(id, edit);
    m_grid->addWidget(edit, row, column);
    return edit;
}

QLineEdit* CChartPropertyPage::AddSpinEdit(int editId, int spinId, int row, int column)
{
    auto* box = new QHBoxLayout;
    box->setSpacing(0);
    auto* edit = new QLineEdit(this);
    edit->setMaximumWidth(70);
    auto* spin = new CSpinButtonCtrl(this);
    spin->SetBuddy(edit);
    RegisterControl(editId, edit);
    RegisterControl(spinId, spin);
    box->addWidget(edit);
    box->addWidget(spin);
    box->addStretch(1);
    m_grid->addLayout(box, row, column);
    return edit;
}

QCheckBox* CChartPropertyPage::AddCheck(int id, const char* placeholder, int row, int column)
{
    auto* check = new QCheckBox(QString::fromLatin1(placeholder), this);
    RegisterControl(id, check);
    m_grid->addWidget(check, row, column);
    return check;
}

QComboBox* CChartPropertyPage::AddCombo(int id, int row, int column)
{
    auto* combo = new QComboBox(this);
    combo->setMinimumWidth(100);
    RegisterControl(id, combo);
    m_grid->addWidget(combo, row, column);
    return combo;
}

CColorButton* CChartPropertyPage::AddColourButton(int id, int row, int column)
{
    auto* button = new CColorButton(this);
    RegisterControl(id, button);
    m_grid->addWidget(button, row, column);
    return button;
}

void CChartPropertyPage::FillCombo(int id, const std::vector<CString>& entries)
{
    ComboResetContent(id);
    for (const CString& entry : entries) ComboAddString(id, entry);
}

void CChartPropertyPage::AddFixedCombo(int id, FixedEntries texts, int row, int column)
{
    QComboBox* combo = AddCombo(id, row, column);
    for (ChartText text : texts) combo->addItem(platform::ToQString(ChartTextOf(text)));
}

void CChartPropertyPage::SetComboTexts(int id, FixedEntries texts)
{
    auto* combo = Item<QComboBox>(id);
    if (!combo) return;
    int index = 0;
    for (ChartText text : texts) combo->setItemText(index++, platform::ToQString(ChartTextOf(text)));
}

void CChartPropertyPage::LoadStandardTexts()
{
    SetWindowText(ChartTextOf(m_title));
    SetDlgItemText(IDOK, ChartTextOf(ChartText::Ok));
    SetDlgItemText(IDCANCEL, ChartTextOf(ChartText::Cancel));
    SetDlgItemText(IDC_APPLY, ChartTextOf(ChartText::Apply));
}

void CChartPropertyPage::OnCommand(int id, UINT code)
{
    if (code == BN_CLICKED && id == IDOK) {
        OnOK();
        return;
    }
    if (code == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return;
    }
    if (code == BN_CLICKED && id == IDC_APPLY) {
        OnApply();
        return;
    }
    if (code == BN_CLICKED || code == EN_CHANGE || code == CBN_SELCHANGE || code == DTN_DATETIMECHANGE) OnChange();
}

void CChartPropertyPage::OnChange()
{
    EnableApply(true);
    UpdateEnabling();
}

void CChartPropertyPage::OnOK()
{
    // A value that failed its check keeps the sheet open with the user's input.
    if (!OnApply()) return;
    if (m_pSheet) m_pSheet->OnOK();
}

void CChartPropertyPage::OnCancel()
{
    if (m_pSheet) m_pSheet->OnCancel();
}

bool CChartPropertyPage::PreTranslateKey(int virtualKey, bool)
{
    // Enter and Escape neither close the page nor the sheet.
    return virtualKey == platform::VK_RETURN || virtualKey == platform::VK_ESCAPE;
}

LRESULT CChartPropertyPage::OnMessage(UINT message, WPARAM, LPARAM)
{
    if (message == CPN_SELCHANGE) EnableApply(true);
    return 0;
}

void CChartPropertyPage::RepaintChart(CXGraph* graph)
{
    if (!graph) return;
    graph->Invalidate(true);
    graph->update();
}

// ---------------------------------------------------------------------------------------------
// CChartDlg

CChartDlg::CChartDlg(CXGraph* graph, CChartPage* sheet, QWidget* parent)
    : CChartPropertyPage(5011, ChartText::ChartPageTitle, sheet, parent), m_pGraph(graph)
{
    AddCaption(1001, "IDC_BGCOL", 0, 0);
    AddColourButton(IDC_BGCOL, 0, 1);
    AddCaption(1002, "IDC_EXTCOL", 1, 0);
    AddColourButton(IDC_EXTCOL, 1, 1);
    AddCaption(1003, "IDC_INTCOL", 2, 0);
    AddColourButton(IDC_INTCOL, 2, 1);
    AddCheck(IDC_CBSHOWLEGEND, "IDC_CBSHOWLEGEND", 0, 2);
    AddFixedCombo(IDC_LEGENDPOS, kLeftRight, 0, 3);
    AddCheck(IDC_CBDOUBLEBUFFER, "IDC_CBDOUBLEBUFFER", 1, 2);
    AddCheck(IDC_CBSNAP, "IDC_CBSNAP", 2, 2);
    AddCaption(1004, "IDC_SNAPRANGE", 3, 2);
    AddSpinEdit(IDC_SNAPRANGE, IDC_SNAPSPIN, 3, 3);
    AddCaption(1005, "IDC_SEL_XAXIS", 4, 0);
    AddCombo(IDC_SEL_XAXIS, 4, 1);
    AddCaption(1006, "IDC_SEL_YAXIS", 5, 0);
    AddCombo(IDC_SEL_YAXIS, 5, 1);
    AddCaption(1007, "IDC_SELCURVE", 6, 0);
    AddCombo(IDC_SELCURVE, 6, 1);
    AddButtonsRow(7);
}

BOOL CChartDlg::OnInitDialog()
{
    FillFromChart();
    return TRUE;
}

void CChartDlg::LoadStandardTexts()
{
    CChartPropertyPage::LoadStandardTexts();
    SetComboTexts(IDC_LEGENDPOS, kLeftRight);
}

void CChartDlg::FillFromChart()
{
    if (!m_pGraph) return;
    const chart::AxisRef shownAxis = m_pSheet ? m_pSheet->ShownAxis() : chart::AxisRef{};
    const int shownCurve = m_pSheet ? m_pSheet->ShownCurve() : -1;
    chart::FillChartPage(*m_pGraph, shownAxis, shownCurve, m_data);
    Item<CColorButton>(IDC_BGCOL)->SetColor(m_data.backColor);
    Item<CColorButton>(IDC_EXTCOL)->SetColor(m_data.outerColor);
    Item<CColorButton>(IDC_INTCOL)->SetColor(m_data.innerColor);
    Spin(IDC_SNAPSPIN)->SetRange(0, 100);
    FillCombo(IDC_SEL_XAXIS, m_data.xAxisEntries);
    FillCombo(IDC_SEL_YAXIS, m_data.yAxisEntries);
    FillCombo(IDC_SELCURVE, m_data.curveEntries);
    UpdateData(false);
    UpdateEnabling();
    EnableApply(false);
}

void CChartDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Check(dx, IDC_CBSHOWLEGEND, m_data.showLegend);
    DDX_CBIndex(dx, IDC_LEGENDPOS, m_data.legendPosition);
    DDX_Check(dx, IDC_CBDOUBLEBUFFER, m_data.doubleBuffer);
    DDX_Check(dx, IDC_CBSNAP, m_data.snap);
    DDX_Text(dx, IDC_SNAPRANGE, m_data.snapRange);
    DDV_MinMaxInt(dx, m_data.snapRange, 0, 100);
    DDX_CBIndex(dx, IDC_SEL_XAXIS, m_data.selectedXAxis);
    DDX_CBIndex(dx, IDC_SEL_YAXIS, m_data.selectedYAxis);
    DDX_CBIndex(dx, IDC_SELCURVE, m_data.selectedCurve);
}

void CChartDlg::OnCommand(int id, UINT code)
{
    if (code == CBN_SELCHANGE && id == IDC_SEL_XAXIS) return OnSelectXAxis();
    if (code == CBN_SELCHANGE && id == IDC_SEL_YAXIS) return OnSelectYAxis();
    if (code == CBN_SELCHANGE && id == IDC_SELCURVE) return OnSelectCurve();
    CChartPropertyPage::OnCommand(id, code);
}

void CChartDlg::UpdateEnabling()
{
    EnableDlgItem(IDC_LEGENDPOS, IsDlgButtonChecked(IDC_CBSHOWLEGEND) == BST_CHECKED);
}

void CChartDlg::ReadSelections()
{
    m_data.selectedXAxis = ComboGetCurSel(IDC_SEL_XAXIS);
    m_data.selectedYAxis = ComboGetCurSel(IDC_SEL_YAXIS);
    m_data.selectedCurve = ComboGetCurSel(IDC_SELCURVE);
}

void CChartDlg::OnSelectXAxis()
{
    ReadSelections();
    const int n = m_data.selectedXAxis;
    if (!m_pGraph || n < 0 || n >= m_pGraph->GetXAxisCount()) return;
    // The Y list keeps its choice: a list left blank would look empty.
    if (m_pSheet) m_pSheet->SelectXAxis(n);
    m_pGraph->SelectXAxis(n);
}

void CChartDlg::OnSelectYAxis()
{
    ReadSelections();
    const int n = m_data.selectedYAxis;
    if (!m_pGraph || n < 0 || n >= m_pGraph->GetYAxisCount()) return;
    if (m_pSheet) m_pSheet->SelectYAxis(n);
    m_pGraph->SelectYAxis(n);
}

void CChartDlg::OnSelectCurve()
{
    ReadSelections();
    const int n = m_data.selectedCurve;
    if (!m_pGraph || n < 0 || n >= m_pGraph->GetCurveCount()) return;
    if (m_pSheet) m_pSheet->SelectCurve(n);
    m_pGraph->SelectCurve(n);
}

bool CChartDlg::OnApply()
{
    if (!m_pGraph || !UpdateData(true)) return false;
    m_data.backColor = Item<CColorButton>(IDC_BGCOL)->GetResolvedColor();
    m_data.outerColor = Item<CColorButton>(IDC_EXTCOL)->GetResolvedColor();
    m_data.innerColor = Item<CColorButton>(IDC_INTCOL)->GetResolvedColor();
    chart::ApplyChartPage(*m_pGraph, m_data);
    RepaintChart(m_pGraph);
    EnableApply(false);
    return true;
}

// ---------------------------------------------------------------------------------------------
// CAxisDlg

CAxisDlg::CAxisDlg(CXGraph* graph, chart::AxisRef axis, CChartPage* sheet, QWidget* parent)
    : CChartPropertyPage(5007, ChartText::AxisPageTitle, sheet, parent), m_pGraph(graph), m_axis(axis)
{
    AddCaption(1001, "IDC_AXLABEL", 0, 0);
    AddEdit(IDC_AXLABEL, 0, 1);
    AddCheck(IDC_CBAUTOSCALE, "IDC_CBAUTOSCALE", 1, 0);
    AddCheck(IDC_CBVISIBLE, "IDC_CBVISIBLE", 1, 1);
    AddCheck(IDC_CBGRID, "IDC_CBGRID", 2, 0);
    AddCheck(IDC_CBTIMEAXIS, "IDC_CBTIMEAXIS", 2, 1);
    AddCheck(IDC_CBSHOWMARKERS, "IDC_CBSHOWMARKERS", 3, 0);

    AddCaption(1002, "IDC_AXMIN", 4, 0);
    AddEdit(IDC_AXMIN, 4, 1);
    auto* startDate = new QDateEdit(this);
    auto* startTime = new QTimeEdit(this);
    startTime->setDisplayFormat("HH:mm:ss");
    RegisterControl(IDC_STARTDATE, startDate);
    RegisterControl(IDC_STARTTIME, startTime);
    Grid()->addWidget(startDate, 4, 2);
    Grid()->addWidget(startTime, 4, 3);
    AddCaption(1003, "IDC_AXMAX", 5, 0);
    AddEdit(IDC_AXMAX, 5, 1);
    auto* endDate = new QDateEdit(this);
    auto* endTime = new QTimeEdit(this);
    endTime->setDisplayFormat("HH:mm:ss");
    RegisterControl(IDC_ENDDATE, endDate);
    RegisterControl(IDC_ENDTIME, endTime);
    Grid()->addWidget(endDate, 5, 2);
    Grid()->addWidget(endTime, 5, 3);
    AddCaption(1004, "IDC_AXSTEPWIDTH", 6, 0);
    AddEdit(IDC_AXSTEPWIDTH, 6, 1);
    AddEdit(IDC_STEPCOUNT, 6, 2);
    AddFixedCombo(IDC_TIMEUNIT, kTimeUnits, 6, 3);
    AddCaption(1005, "IDC_TIMEFORMAT", 7, 0);
    AddEdit(IDC_TIMEFORMAT, 7, 1);

    AddCaption(1006, "IDC_DECPLACES", 8, 0);
    AddSpinEdit(IDC_DECPLACES, IDC_DECSPIN, 8, 1);
    AddCaption(1007, "IDC_ARROWSZ", 8, 2);
    AddSpinEdit(IDC_ARROWSZ, IDC_ARROWSPIN, 8, 3);
    AddCaption(1008, "IDC_TICKSZ", 9, 0);
    AddSpinEdit(IDC_TICKSZ, IDC_TICKSPIN, 9, 1);
    AddCaption(1009, "IDC_AXMARKSZ", 9, 2);
    AddSpinEdit(IDC_AXMARKSZ, IDC_AXMARKSPIN, 9, 3);
    AddCaption(1010, "IDC_AXCOL", 10, 0);
    AddColourButton(IDC_AXCOL, 10, 1);
    AddCaption(1011, "IDC_GRIDCOL", 10, 2);
    AddColourButton(IDC_GRIDCOL, 10, 3);
    AddCaption(1012, "IDC_GRIDSTYLE", 11, 0);
    QComboBox* gridStyle = AddCombo(IDC_GRIDSTYLE, 11, 1);
    chart::MakePenStyleList(gridStyle, 5);
    AddCaption(1013, "IDC_AXADJ", 11, 2);
    AddFixedCombo(IDC_AXADJ, kLeftRight, 11, 3);

    auto* axisFont = new QPushButton("IDC_AXFONT", this);
    auto* scaleFont = new QPushButton("IDC_AXSCFONT", this);
    RegisterControl(IDC_AXFONT, axisFont);
    RegisterControl(IDC_AXSCFONT, scaleFont);
    Grid()->addWidget(axisFont, 12, 0);
    Grid()->addWidget(scaleFont, 12, 1);
    AddButtonsRow(13);
    LoadStandardTexts();
}

BOOL CAxisDlg::OnInitDialog()
{
    FillFromAxis();
    EnableApply(false);
    return TRUE;
}

void CAxisDlg::LoadStandardTexts()
{
    CChartPropertyPage::LoadStandardTexts();
    // The pickers name months and order dates as the program's language does.
    const QLocale locale(QString::fromLatin1(CurrentLanguageCode()));
    for (int id : {IDC_STARTDATE, IDC_STARTTIME, IDC_ENDDATE, IDC_ENDTIME})
        if (auto* picker = Item<QDateTimeEdit>(id)) picker->setLocale(locale);
    SetComboTexts(IDC_TIMEUNIT, kTimeUnits);
    SetComboTexts(IDC_AXADJ, kLeftRight);
}

void CAxisDlg::FillFromAxis()
{
    CXGraphAxis* axis = chart::ResolveAxis(m_pGraph, m_axis);
    if (!axis) return;
    chart::FillAxisPage(*axis, NowAsOleDate(), m_data);
    Item<CColorButton>(IDC_AXCOL)->SetColor(m_data.axisColor);
    Item<CColorButton>(IDC_GRIDCOL)->SetColor(m_data.gridColor);
    Spin(IDC_DECSPIN)->SetRange(0, 6);
    Spin(IDC_ARROWSPIN)->SetRange(1, 10);
    Spin(IDC_TICKSPIN)->SetRange(1, 10);
    Spin(IDC_AXMARKSPIN)->SetRange(1, 20);
    UpdateData(false);
    UpdateEnabling();
    EnableApply(false);
}

void CAxisDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_AXLABEL, m_data.label);
    DDX_Check(dx, IDC_CBAUTOSCALE, m_data.autoscale);
    DDX_Text(dx, IDC_AXMIN, m_data.minimum);
    DDV_MinMaxDouble(dx, m_data.minimum, -DBL_MAX, DBL_MAX);
    DDX_Text(dx, IDC_AXMAX, m_data.maximum);
    DDV_MinMaxDouble(dx, m_data.maximum, -DBL_MAX, DBL_MAX);
    DDX_Text(dx, IDC_AXSTEPWIDTH, m_data.stepWidth);
    DDX_Check(dx, IDC_CBGRID, m_data.grid);
    DDX_Check(dx, IDC_CBTIMEAXIS, m_data.timeAxis);
    DDX_Check(dx, IDC_CBVISIBLE, m_data.visible);
    DDX_Text(dx, IDC_DECPLACES, m_data.decimalPlaces);
    DDV_MinMaxInt(dx, m_data.decimalPlaces, 0, 6);
    DDX_Text(dx, IDC_ARROWSZ, m_data.arrowSize);
    DDV_MinMaxInt(dx, m_data.arrowSize, 1, 10);
    DDX_Text(dx, IDC_TICKSZ, m_data.tickSize);
    DDV_MinMaxInt(dx, m_data.tickSize, 1, 10);
    DDX_Text(dx, IDC_AXMARKSZ, m_data.markerSize);
    DDV_MinMaxInt(dx, m_data.markerSize, 1, 20);
    DDX_CBIndex(dx, IDC_GRIDSTYLE, m_data.gridStyle);
    DDX_CBIndex(dx, IDC_AXADJ, m_data.placement);
    DDX_Check(dx, IDC_CBSHOWMARKERS, m_data.showMarkers);
    DDX_DateTimeCtrl(dx, IDC_STARTDATE, m_data.startDate);
    DDX_DateTimeCtrl(dx, IDC_STARTTIME, m_data.startTime);
    DDX_DateTimeCtrl(dx, IDC_ENDDATE, m_data.endDate);
    DDX_DateTimeCtrl(dx, IDC_ENDTIME, m_data.endTime);
    DDX_Text(dx, IDC_STEPCOUNT, m_data.stepCount);
    DDV_MinMaxInt(dx, m_data.stepCount, 1, chart::kMaxTimeStepCount);
    DDX_CBIndex(dx, IDC_TIMEUNIT, m_data.timeUnit);
    DDX_Text(dx, IDC_TIMEFORMAT, m_data.formatText);
}

void CAxisDlg::OnCommand(int id, UINT code)
{
    if (code == BN_CLICKED && (id == IDC_AXFONT || id == IDC_AXSCFONT)) return ChooseFont(id == IDC_AXFONT);
    CChartPropertyPage::OnCommand(id, code);
}

void CAxisDlg::UpdateEnabling()
{
    chart::AxisPageData state;
    state.autoscale = IsDlgButtonChecked(IDC_CBAUTOSCALE) == BST_CHECKED;
    state.timeAxis = IsDlgButtonChecked(IDC_CBTIMEAXIS) == BST_CHECKED;
    const chart::AxisPageEnabling e = chart::EnablingOf(state);
    for (int id : {IDC_AXMIN, IDC_AXMAX, IDC_AXSTEPWIDTH}) EnableDlgItem(id, e.range);
    for (int id : {IDC_STARTDATE, IDC_STARTTIME, IDC_ENDDATE, IDC_ENDTIME, IDC_STEPCOUNT, IDC_TIMEUNIT})
        EnableDlgItem(id, e.dateTime);
    EnableDlgItem(IDC_DECPLACES, e.decimalPlaces);
    EnableDlgItem(IDC_DECSPIN, e.decimalPlaces);
    EnableDlgItem(IDC_TIMEFORMAT, e.formatText);
    EnableDlgItem(IDC_AXADJ, e.placement);
}

void CAxisDlg::ChooseFont(bool titleFont)
{
    CXGraphAxis* axis = chart::ResolveAxis(m_pGraph, m_axis);
    if (!axis) return;
    LOGFONT font;
    COLORREF colour = 0;
    if (!chart::GetCommonDialogs().ChooseFont(font, colour, this)) return;
    if (titleFont)
        axis->SetTitleFont(&font);
    else
        axis->SetTickFont(&font);
    OnChange();
}

bool CAxisDlg::OnApply()
{
    CXGraphAxis* axis = chart::ResolveAxis(m_pGraph, m_axis);
    if (!axis || !UpdateData(true)) return false;
    m_data.axisColor = Item<CColorButton>(IDC_AXCOL)->GetResolvedColor();
    m_data.gridColor = Item<CColorButton>(IDC_GRIDCOL)->GetResolvedColor();
    chart::ApplyAxisPage(*axis, m_data);
    RepaintChart(m_pGraph);
    EnableApply(false);
    return true;
}

// ---------------------------------------------------------------------------------------------
// CCurveDlg

CCurveDlg::CCurveDlg(CXGraph* graph, int curve, CChartPage* sheet, QWidget* parent)
    : CChartPropertyPage(5004, ChartText::CurvePageTitle, sheet, parent), m_pGraph(graph), m_nCurve(curve)
{
    AddCaption(1001, "IDC_EDLABEL", 0, 0);
    AddEdit(IDC_EDLABEL, 0, 1);
    AddCaption(1002, "IDC_EDTYPE", 1, 0);
    AddFixedCombo(IDC_EDTYPE, kCurveTypes, 1, 1);
    AddCaption(1003, "IDC_EDSTYLE", 2, 0);
    QComboBox* style = AddCombo(IDC_EDSTYLE, 2, 1);
    chart::MakePenStyleList(style, 5);
    AddCaption(1004, "IDC_EDLINEWIDTH", 3, 0);
    AddSpinEdit(IDC_EDLINEWIDTH, IDC_LINEWIDTHSPIN, 3, 1);
    AddCaption(1005, "IDC_EDLINECOLOR", 4, 0);
    AddColourButton(IDC_EDLINECOLOR, 4, 1);
    AddCheck(IDC_CBVISIBLE, "IDC_CBVISIBLE", 5, 0);
    AddCheck(IDC_CBMARKER, "IDC_CBMARKER", 5, 1);

    auto* plain = new QRadioButton("IDC_MARKERTYPE", this);
    auto* symbol = new QRadioButton("IDC_RDSYM", this);
    RegisterControl(IDC_MARKERTYPE, plain);
    RegisterControl(IDC_RDSYM, symbol);
    RegisterRadioGroup({IDC_MARKERTYPE, IDC_RDSYM});
    Grid()->addWidget(plain, 6, 0);
    Grid()->addWidget(symbol, 6, 1);
    QComboBox* markers = AddCombo(IDC_MARKERSYMBOL, 6, 2);
    chart::MakeMarkerList(markers);
    AddCaption(1006, "IDC_EDMARKERSIZE", 7, 0);
    AddSpinEdit(IDC_EDMARKERSIZE, IDC_MARKERSIZESPIN, 7, 1);

    AddCheck(IDC_CBFILL, "IDC_CBFILL", 8, 0);
    AddCheck(IDC_CBTRANSPARENT, "IDC_CBTRANSPARENT", 8, 1);
    auto* fillBox = new QHBoxLayout;
    std::vector<int> fillGroup;
    for (int i = 0; i < 7; ++i) {
        auto* radio = new QRadioButton(this);
        radio->setIcon(chart::FillStyleIcon(i));
        RegisterControl(kFillStyleRadios[i], radio);
        fillGroup.push_back(kFillStyleRadios[i]);
        fillBox->addWidget(radio);
    }
    RegisterRadioGroup(fillGroup);
    Grid()->addLayout(fillBox, 9, 0, 1, 3);
    AddCaption(1007, "IDC_FILLCURVE", 10, 0);
    AddCombo(IDC_FILLCURVE, 10, 1);
    AddButtonsRow(11);
}

BOOL CCurveDlg::OnInitDialog()
{
    FillFromCurve();
    EnableApply(false);
    return TRUE;
}

void CCurveDlg::LoadStandardTexts()
{
    CChartPropertyPage::LoadStandardTexts();
    SetComboTexts(IDC_EDTYPE, kCurveTypes);
}

void CCurveDlg::FillFromCurve()
{
    if (!m_pGraph || !chart::FillCurvePage(*m_pGraph, m_nCurve, m_data)) return;
    FillCombo(IDC_FILLCURVE, m_data.fillToEntries);
    Spin(IDC_MARKERSIZESPIN)->SetRange(1, 20);
    Spin(IDC_LINEWIDTHSPIN)->SetRange(1, 5);
    Item<CColorButton>(IDC_EDLINECOLOR)->SetColor(m_data.lineColor);
    UpdateData(false);
    ApplyEnabling(chart::EnablingAfterFill(m_data));
    EnableApply(false);
}

void CCurveDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_EDLABEL, m_data.label);
    DDX_CBIndex(dx, IDC_EDTYPE, m_data.type);
    DDX_CBIndex(dx, IDC_EDSTYLE, m_data.lineStyle);
    DDX_Text(dx, IDC_EDLINEWIDTH, m_data.lineWidth);
    DDV_MinMaxInt(dx, m_data.lineWidth, 1, 5);
    DDX_Text(dx, IDC_EDMARKERSIZE, m_data.markerSize);
    DDV_MinMaxInt(dx, m_data.markerSize, 1, 20);
    DDX_Check(dx, IDC_CBVISIBLE, m_data.visible);
    DDX_Check(dx, IDC_CBMARKER, m_data.showMarkers);
    DDX_Radio(dx, IDC_MARKERTYPE, m_data.markerType);
    DDX_CBIndex(dx, IDC_MARKERSYMBOL, m_data.marker);
    DDX_Check(dx, IDC_CBFILL, m_data.fill);
    DDX_Radio(dx, kFillStyleRadios[0], m_data.fillStyle);
    DDX_Check(dx, IDC_CBTRANSPARENT, m_data.transparent);
    DDX_CBIndex(dx, IDC_FILLCURVE, m_data.fillToEntry);
}

void CCurveDlg::UpdateEnabling()
{
    chart::CurvePageData state;
    state.fill = IsDlgButtonChecked(IDC_CBFILL) == BST_CHECKED;
    state.showMarkers = IsDlgButtonChecked(IDC_CBMARKER) == BST_CHECKED;
    state.markerType = IsDlgButtonChecked(IDC_RDSYM) == BST_CHECKED ? 1 : 0;
    ApplyEnabling(chart::EnablingOf(state));
}

void CCurveDlg::ApplyEnabling(const chart::CurvePageEnabling& e)
{
    for (int id : kFillStyleRadios) EnableDlgItem(id, e.fillStyles);
    EnableDlgItem(IDC_CBTRANSPARENT, e.transparent);
    EnableDlgItem(IDC_FILLCURVE, e.fillTo);
    EnableDlgItem(IDC_MARKERTYPE, e.markerTypes);
    EnableDlgItem(IDC_RDSYM, e.markerTypes);
    EnableDlgItem(IDC_MARKERSYMBOL, e.markerSymbol);
}

bool CCurveDlg::OnApply()
{
    if (!chart::ResolveCurve(m_pGraph, m_nCurve) || !UpdateData(true)) return false;
    m_data.lineColor = Item<CColorButton>(IDC_EDLINECOLOR)->GetResolvedColor();
    chart::ApplyCurvePage(*m_pGraph, m_nCurve, m_data);
    RepaintChart(m_pGraph);
    EnableApply(false);
    return true;
}

// ---------------------------------------------------------------------------------------------
// CLabelDlg

CLabelDlg::CLabelDlg(CXGraphLabel* label, QWidget* parent) : CDialog(5012, parent), m_pLabel(label)
{
    SetWindowText(ChartTextOf(ChartText::Properties));
    auto* grid = new QGridLayout(this);
    auto caption = [&](const char* text, int row) { grid->addWidget(new QLabel(platform::ToQString(text), this), row, 0); };
    caption(ChartTextOf(ChartText::BackgroundColour), 0);
    auto* colour = new CColorButton(this);
    RegisterControl(IDC_LBLBKCOL, colour);
    grid->addWidget(colour, 0, 1);
    auto* border = new QCheckBox(platform::ToQString(ChartTextOf(ChartText::Border)), this);
    RegisterControl(IDC_LBLBORDER, border);
    grid->addWidget(border, 1, 0);
    auto* transparent = new QCheckBox(platform::ToQString(ChartTextOf(ChartText::Transparent)), this);
    RegisterControl(IDC_LBLTRANSPARENT, transparent);
    grid->addWidget(transparent, 1, 1);
    caption(ChartTextOf(ChartText::Alignment), 2);
    auto* alignment = new QComboBox(this);
    for (ChartText text : {ChartText::Left, ChartText::Centered, ChartText::Right})
        alignment->addItem(platform::ToQString(ChartTextOf(text)));
    RegisterControl(IDC_LBLALIGN, alignment);
    grid->addWidget(alignment, 2, 1);
    caption(ChartTextOf(ChartText::ConnectToCurve), 3);
    auto* curve = new QComboBox(this);
    RegisterControl(IDC_LBLCURVE, curve);
    grid->addWidget(curve, 3, 1);
    auto* font = new QPushButton(platform::ToQString(ChartTextOf(ChartText::Font)), this);
    RegisterControl(IDC_LBLFONT, font);
    grid->addWidget(font, 4, 0);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const std::pair<int, ChartText> list[] = {{IDOK, ChartText::Ok}, {IDCANCEL, ChartText::Cancel}, {IDC_APPLY, ChartText::Apply}};
    for (const auto& [id, text] : list) {
        auto* button = new QPushButton(platform::ToQString(ChartTextOf(text)), this);
        RegisterControl(id, button);
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 5, 0, 1, 2);
    EnableDlgItem(IDC_APPLY, false);
}

BOOL CLabelDlg::OnInitDialog()
{
    if (!m_pLabel) return TRUE;
    chart::FillLabelDlg(*m_pLabel, m_data);
    Item<CColorButton>(IDC_LBLBKCOL)->SetColor(m_data.backColor);
    ComboResetContent(IDC_LBLCURVE);
    for (const CString& entry : m_data.curveEntries) ComboAddString(IDC_LBLCURVE, entry);
    UpdateData(false);
    EnableDlgItem(IDC_APPLY, false);
    return TRUE;
}

void CLabelDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Check(dx, IDC_LBLBORDER, m_data.border);
    DDX_CBIndex(dx, IDC_LBLALIGN, m_data.alignment);
    DDX_CBIndex(dx, IDC_LBLCURVE, m_data.curve);
    DDX_Check(dx, IDC_LBLTRANSPARENT, m_data.transparent);
}

void CLabelDlg::OnCommand(int id, UINT code)
{
    if (code == BN_CLICKED && id == IDC_APPLY) {
        OnApply();
        return;
    }
    if (code == BN_CLICKED && id == IDC_LBLFONT) {
        OnFont();
        return;
    }
    if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
        CDialog::OnCommand(id, code);
        return;
    }
    if (code == BN_CLICKED || code == CBN_SELCHANGE) EnableDlgItem(IDC_APPLY, true);
}

void CLabelDlg::OnOK()
{
    if (OnApply()) EndDialog(IDOK);
}

LRESULT CLabelDlg::OnMessage(UINT message, WPARAM, LPARAM)
{
    if (message == CPN_SELCHANGE) EnableDlgItem(IDC_APPLY, true);
    return 0;
}

bool CLabelDlg::OnApply()
{
    if (!m_pLabel || !UpdateData(true)) return false;
    m_data.backColor = Item<CColorButton>(IDC_LBLBKCOL)->GetResolvedColor();
    chart::ApplyLabelDlg(*m_pLabel, m_data);
    if (CXGraph* graph = m_pLabel->GetGraph()) {
        graph->Invalidate(true);
        graph->update();
    }
    EnableDlgItem(IDC_APPLY, false);
    return true;
}

void CLabelDlg::OnFont()
{
    if (!m_pLabel) return;
    LOGFONT font;
    COLORREF colour = 0;
    if (!chart::GetCommonDialogs().ChooseFont(font, colour, this)) return;
    // The label changes at once; Cancel of the dialog does not take it back.
    m_pLabel->SetFont(&font);
    m_pLabel->SetTextColor(colour);
    EnableDlgItem(IDC_APPLY, true);
    if (CXGraph* graph = m_pLabel->GetGraph()) {
        graph->Invalidate(true);
        graph->update();
    }
}

namespace chart {

void InstallLabelPropertiesDialog()
{
    GetHooks().labelProperties = [](CXGraphLabel& label) {
        CLabelDlg dialog(&label);
        dialog.DoModal();
    };
}

}  // namespace chart
