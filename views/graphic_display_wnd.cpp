#include "views/graphic_display_wnd.h"

#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "chart/chart_page.h"
#include "chart/nice_slider.h"
#include "chart/property_pages.h"
#include "chart/range_slider.h"
#include "chart/xgraph.h"
#include "views/view_texts.h"

namespace {

constexpr int kSliderSteps = 1000;
constexpr UINT kRangeSliderId = 2310;

// Captions of the property pages: control id and text id, per page.
struct Caption {
    int control;
    UINT text;
};
// The pages' check boxes, radio buttons and font buttons carry placeholders as well.
constexpr Caption kChartPageCaptions[] = {{1001, views::kTextBackground}, {1002, 5601}, {1003, 5602}, {1004, 5603},
                                          {1005, 5604}, {1006, 5605}, {1007, 5606}, {6050, 5627}, {6052, 5628},
                                          {6076, 5629}};
constexpr Caption kAxisPageCaptions[] = {{1001, 5607}, {1002, 5608}, {1003, 5609}, {1004, 5610}, {1005, 5611},
                                         {1006, 5612}, {1007, 5613}, {1008, 5614}, {1009, 5615}, {1010, 5616},
                                         {1011, 5617}, {1012, 5618}, {1013, 5619}, {6039, 5630}, {6009, 5631},
                                         {6014, 5632}, {6015, 5633}, {6058, 5634}, {6002, 5635}, {6001, 5636}};
constexpr Caption kCurvePageCaptions[] = {{1001, 5620}, {1002, 5621}, {1003, 5622}, {1004, 5623}, {1005, 5624},
                                          {1006, 5625}, {1007, 5626}, {6009, 5631}, {6038, 5637}, {6062, 5638},
                                          {6059, 5639}, {6011, 5640}, {6012, 5641}};

template <std::size_t N>
void SetCaptions(CDialog* page, const Caption (&captions)[N])
{
    if (!page) return;
    for (const Caption& c : captions) page->SetDlgItemText(c.control, views::ViewText(c.text));
}

}  // namespace

CGraphicDisplayWnd::CGraphicDisplayWnd(QWidget* parent) : QWidget(parent)
{
    chart::InstallLabelPropertiesDialog();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_pGraph = new CXGraph(this);
    m_pGraph->SetNotifyWindow(this);
    layout->addWidget(m_pGraph, 1);

    m_pRange = new CRangeSlider(this);
    m_pRange->Create(0, 0, 0, 200, 20, this, kRangeSliderId);
    m_pRange->SetNotifyWindow(this);
    m_pRange->setFixedHeight(20);
    m_pRange->SetTotalRange(0.0, 1.0);
    m_pRange->SetInterval(0.0, 1.0);
    layout->addWidget(m_pRange);

    m_pSlider = new CNiceSliderCtrl(Qt::Horizontal, this);
    m_pSlider->SetColor(this);
    m_pSlider->SetRange(0, kSliderSteps);
    m_pSlider->SetPos(kSliderSteps);
    layout->addWidget(m_pSlider);

    // The property sheet is a window of its own, hidden until asked for.
    m_pPage = new CChartPage(this);
    m_pPage->setWindowFlags(Qt::Dialog);
    m_pPage->SetGraph(m_pGraph);
    m_pPage->hide();
    m_pPage->CreatePages();
    LoadLanguageTexts();

    m_chartCurveOf.fill(-1);
    // Until the measurement's set-up is loaded the diagram draws channel A over time.
    m_setup.channelShown[0] = true;
    m_recorder.Setup(m_setup);
}

CGraphicDisplayWnd::~CGraphicDisplayWnd()
{
    // The chart goes before the store whose arrays it borrows, and the sheet before the chart.
    delete m_pPage;
    m_pPage = nullptr;
    delete m_pGraph;
    m_pGraph = nullptr;
}

void CGraphicDisplayWnd::LoadLanguageTexts()
{
    m_pPage->LoadLanguageTexts();
    SetCaptions(m_pPage->GetChartDlg(), kChartPageCaptions);
    SetCaptions(m_pPage->GetAxisDlg(), kAxisPageCaptions);
    SetCaptions(m_pPage->GetCurveDlg(), kCurvePageCaptions);
}

void CGraphicDisplayWnd::SetChannelSetup(const views::DiagramSetup& setup) { m_setup = setup; }

void CGraphicDisplayWnd::SetChannelNames(const std::array<CString, views::kChannelCount>& names)
{
    m_setup.curveNames = names;
    for (int channel = 0; channel < views::kChannelCount; ++channel) {
        const int curve = ChartCurveOfChannel(channel);
        if (curve >= 0 && curve < m_pGraph->GetCurveCount()) GiveNames(channel, curve);
    }
    m_pGraph->Invalidate(true);
    m_pGraph->update();
}

namespace {

// A label the diagram gave, or none yet (a new curve's or axis' one blank): not the user's.
bool IsGivenLabel(const CString& label, const CString& given) { return label == given || label == " "; }

}  // namespace

void CGraphicDisplayWnd::GiveNames(int channel, int curve)
{
    const CString name = ChannelName(channel);
    CString& givenName = m_givenCurveNames[static_cast<std::size_t>(channel)];
    CXGraphDataSerie& serie = m_pGraph->GetCurve(curve);
    if (IsGivenLabel(serie.GetLabel(), givenName)) serie.SetLabel(name);
    givenName = name;
    if (curve < m_pGraph->GetYAxisCount()) {
        if (m_givenYLabels.size() <= static_cast<std::size_t>(curve)) m_givenYLabels.resize(static_cast<std::size_t>(curve) + 1);
        CString& given = m_givenYLabels[static_cast<std::size_t>(curve)];
        CXGraphAxis& axis = m_pGraph->GetYAxis(curve);
        if (IsGivenLabel(axis.GetLabel(), given)) axis.SetLabel(name);
        given = name;
    }
    if (curve == 0 && m_pGraph->GetXAxisCount() > 0) {
        const CString x = m_setup.xChannel == views::kXAxisTime ? m_setup.xAxisUnit : ChannelName(m_setup.xChannel);
        CXGraphAxis& axis = m_pGraph->GetXAxis(0);
        if (IsGivenLabel(axis.GetLabel(), m_givenXLabel)) axis.SetLabel(x);
        m_givenXLabel = x;
    }
}

void CGraphicDisplayWnd::KeepCurveLooks()
{
    for (int channel = 0; channel < views::kChannelCount; ++channel) {
        const int curve = ChartCurveOfChannel(channel);
        if (curve < 0 || curve >= m_pGraph->GetCurveCount()) continue;
        CXGraphDataSerie look = m_pGraph->GetCurve(curve);
        look.SetPoints(nullptr, 0, false);  // the points are the store's, soon gone
        m_curveLooks[static_cast<std::size_t>(channel)] = std::move(look);
    }
}

void CGraphicDisplayWnd::ApplyCurveLook(int channel, int curve)
{
    const std::optional<CXGraphDataSerie>& look = m_curveLooks[static_cast<std::size_t>(channel)];
    if (!look) return;
    CXGraphDataSerie& serie = m_pGraph->GetCurve(curve);
    const ChartPoint* points = serie.GetPoints();
    const int count = serie.GetCount();
    const int xAxis = serie.m_nXAxis, yAxis = serie.m_nYAxis, index = serie.m_nIndex;
    serie = *look;
    serie.SetPoints(points, count, false);
    serie.m_nXAxis = xAxis;
    serie.m_nYAxis = yAxis;
    serie.m_nIndex = index;
    serie.m_Segments.clear();  // where the last measurement's curve was drawn
}

void CGraphicDisplayWnd::RemoveCurves()
{
    while (m_pGraph->GetCurveCount() > 0) m_pGraph->DeleteCurve(m_pGraph->GetCurveCount() - 1);
    m_data.ForgetLent();
    m_chartCurveOf.fill(-1);
}

void CGraphicDisplayWnd::DropAxesOfCurvesGone()
{
    // Curve n is drawn on Y axis n: an axis beyond the curves drawn would still name a channel that
    // is no longer drawn (one no longer measured, or a sensor back in another mode).
    const int curves = static_cast<int>(std::count(m_setup.channelShown.begin(), m_setup.channelShown.end(), true));
    while (m_pGraph->GetYAxisCount() > curves) m_pGraph->DeleteYAxis(m_pGraph->GetYAxisCount() - 1);
    while (curves == 0 && m_pGraph->GetXAxisCount() > 0) m_pGraph->DeleteXAxis(0);
    if (m_givenYLabels.size() > static_cast<std::size_t>(m_pGraph->GetYAxisCount()))
        m_givenYLabels.resize(static_cast<std::size_t>(m_pGraph->GetYAxisCount()));
    if (m_pGraph->GetXAxisCount() == 0) m_givenXLabel.Empty();
}

int CGraphicDisplayWnd::ChartCurveOfChannel(int channel) const
{
    const int curve = m_recorder.CurveOfChannel(channel);
    return curve >= 0 && curve < CDataManager::kMaxCurves ? m_chartCurveOf[static_cast<std::size_t>(curve)] : -1;
}

void CGraphicDisplayWnd::StartGraph(bool startNow)
{
    // What the user did to the chart holds for the new measurement: a range taken by a zoom, a
    // pan or by hand stays (its base, where a reset or the undo of the first zoom goes back to,
    // follows the new data), and each channel's curve keeps its look. Axes the data scale
    // round again whatever the cursor or a pan held of their scaling.
    KeepCurveLooks();
    RemoveCurves();
    m_recorder.Setup(m_setup, StoreCapacity());
    DropAxesOfCurvesGone();
    m_recorder.SetRunState(startNow ? kRunFree : kRunIdle, 0);
    FollowUnlessUserRange();
    if (m_bFollowData) m_pSlider->SetPos(kSliderSteps);
    m_pGraph->Invalidate(true);
    update();
}

void CGraphicDisplayWnd::SetRunState(int state, int value)
{
    // A limit of 0 points would record nothing: it means no limit.
    if (state == kRunLimited && value <= 0) state = kRunFree;
    m_recorder.SetRunState(state, value);
}

void CGraphicDisplayWnd::SetStorageBusy(int valueSets, const std::array<BYTE, views::kChannelCount>& channelFlags)
{
    // Kept for the next measurement's start: the curves shown now stay until then.
    m_storageSets = std::clamp(valueSets, 1, CDataManager::kHardLimitPoints);
    m_storageChannels = channelFlags;
    m_bStorageBusy = true;
}

int CGraphicDisplayWnd::StoreCapacity() const
{
    if (m_bStorageBusy)
        for (int c = 0; c < views::kChannelCount; ++c)
            if (m_setup.Records(c) && m_storageChannels[static_cast<std::size_t>(c)] != 0) return m_storageSets;
    return CDataManager::kDefaultPoints;
}

void CGraphicDisplayWnd::SetSensorDisplayFlag(int sensor, bool shown)
{
    if (sensor < 0 || sensor >= static_cast<int>(m_sensorShown.size())) return;
    m_sensorShown[static_cast<std::size_t>(sensor)] = shown;
    const int curve = ChartCurveOfChannel(sensor);
    if (curve >= 0 && curve < m_pGraph->GetCurveCount()) {
        m_pGraph->ShowCurve(curve, shown);
        m_pGraph->Invalidate(true);
    }
}

bool CGraphicDisplayWnd::GetSensorDisplayFlag(int sensor) const
{
    return sensor >= 0 && sensor < static_cast<int>(m_sensorShown.size()) && m_sensorShown[static_cast<std::size_t>(sensor)];
}

void CGraphicDisplayWnd::AddValueSet(const views::ValueSet& set) { m_recorder.Add(set); }

bool CGraphicDisplayWnd::LendCurve(int storeCurve, const ChartPoint* points, int count)
{
    if (storeCurve < 0 || storeCurve >= CDataManager::kMaxCurves) return false;
    // A channel recorded but shown on no axis stays in the store only.
    const int channel = m_recorder.ChannelOfCurve(storeCurve);
    if (channel < 0 || !m_setup.channelShown[static_cast<std::size_t>(channel)]) return false;
    int& mapped = m_chartCurveOf[static_cast<std::size_t>(storeCurve)];
    const bool isNew = mapped < 0;
    const int curve = isNew ? m_pGraph->GetCurveCount() : mapped;
    CXGraphDataSerie* serie = m_pGraph->SetCurveData(points, count, curve, 0, curve, true, false, false);
    if (!serie) return false;
    mapped = curve;
    if (isNew) {
        ApplyCurveLook(channel, curve);
        GiveNames(channel, curve);
        // A sensor's curve shows as its box on the control panel says.
        if (channel < 4) m_pGraph->ShowCurve(curve, m_sensorShown[static_cast<std::size_t>(channel)]);
    }
    return true;
}

CString CGraphicDisplayWnd::ChannelName(int channel) const
{
    if (channel < 0 || channel >= views::kChannelCount) return CString();
    static constexpr const char* kNames[] = {"A", "B", "C", "D", "P1", "P2"};
    const CString& name = m_setup.curveNames[static_cast<std::size_t>(channel)];
    return name.IsEmpty() ? CString(kNames[channel]) : name;
}

void CGraphicDisplayWnd::RepaintSamples()
{
    ++m_repaints;
    // The axes take the new points as far as the user left them to the data (the chart keeps
    // what a zoom, pan, wheel, key, slider or a manual range chose).
    m_data.Lend([this](int curve, const ChartPoint* points, int count) { return LendCurve(curve, points, count); });
    FollowUnlessUserRange();
    UpdateSliders();
    m_pGraph->Invalidate(true);
    m_pGraph->update();
}

void CGraphicDisplayWnd::DataExtent(double& xMin, double& xMax) const
{
    if (!m_data.GetXExtent(xMin, xMax)) xMin = xMax = 0.0;
    if (!(xMax > xMin)) xMax = xMin + 1.0;
}

void CGraphicDisplayWnd::UpdateSliders()
{
    // The slider clamps a range beyond the data (a zoom kept from the last measurement) and
    // says so; that is no choice of the user's.
    const bool wasUpdating = std::exchange(m_bUpdatingSliders, true);
    double xMin, xMax;
    DataExtent(xMin, xMax);
    m_pRange->SetTotalRange(xMin, xMax);
    if (m_bFollowData) {
        m_pRange->SetInterval(xMin, xMax);
        m_pSlider->SetPos(kSliderSteps);
    } else {
        m_pRange->SetInterval(m_shownLeft, m_shownRight);
    }
    m_bUpdatingSliders = wasUpdating;
}

void CGraphicDisplayWnd::FollowUnlessUserRange()
{
    m_bFollowData = m_pGraph->GetXAxisCount() == 0 || !m_pGraph->GetXAxis(0).IsUserRange();
    if (m_bFollowData) return;
    double step;
    m_pGraph->GetXAxis(0).GetRangeAndStep(m_shownLeft, m_shownRight, step);
}

void CGraphicDisplayWnd::ShowXRange(double left, double right)
{
    if (m_pGraph->GetXAxisCount() == 0 || !(right > left)) return;
    CXGraphAxis& axis = m_pGraph->GetXAxis(0);
    if (m_bFollowData) axis.ReleaseUserRange();
    else axis.HoldUserRange();
    axis.SetCurrentRange(left, right);
}

void CGraphicDisplayWnd::OnRangeChanged(WPARAM)
{
    if (m_bUpdatingSliders) return;
    double left, right;
    m_pRange->GetInterval(left, right);
    if (left > right) std::swap(left, right);
    double xMin, xMax;
    DataExtent(xMin, xMax);
    m_bFollowData = left <= xMin && right >= xMax;
    m_shownLeft = left;
    m_shownRight = right;
    ShowXRange(left, right);
    m_pGraph->Invalidate(true);
    m_pGraph->update();
}

void CGraphicDisplayWnd::OnHScroll(WPARAM wParam, LPARAM)
{
    const int position = std::clamp(static_cast<int>(HIWORD(wParam)), 0, kSliderSteps);
    double xMin, xMax;
    DataExtent(xMin, xMax);
    double left, right;
    m_pRange->GetInterval(left, right);
    const double width = std::clamp(std::abs(right - left), 0.0, xMax - xMin);
    // The slider moves the shown window across the data; at the right end it follows new values.
    m_shownLeft = xMin + (xMax - xMin - width) * position / kSliderSteps;
    m_shownRight = m_shownLeft + width;
    m_bFollowData = position == kSliderSteps && width >= xMax - xMin;
    m_pRange->SetInterval(m_shownLeft, m_shownRight);
    ShowXRange(m_shownLeft, m_shownRight);
    m_pGraph->Invalidate(true);
    m_pGraph->update();
}

LRESULT CGraphicDisplayWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CRangeSlider::ChangedMessage()) {
        OnRangeChanged(wParam);
        return 0;
    }
    if (message == WM_HSCROLL) {
        OnHScroll(wParam, lParam);
        return 0;
    }
    if ((message >= chart::XG_YAXISCLICK && message <= chart::XG_CURVEHOVER) || message == chart::XG_PROPERTIES) {
        if (message == chart::XG_PROPERTIES) ShowProperties();
        else if (message == chart::XG_RBUTTONUP) ShowContextMenu();
        else if (message == chart::XG_ZOOMCHANGED) {
            FollowUnlessUserRange();
            UpdateSliders();
        }
        return 0;
    }
    return CWnd::OnMessage(message, wParam, lParam);
}

void CGraphicDisplayWnd::ShowProperties()
{
    m_pPage->show();
    m_pPage->raise();
}

bool CGraphicDisplayWnd::SaveChart(const CString& fileName) { return m_pGraph->Save(fileName, kChartFileFlags); }

bool CGraphicDisplayWnd::LoadChart(const CString& fileName)
{
    KeepCurveLooks();
    const bool loaded = m_pGraph->Load(fileName);
    if (loaded) {
        // Loading erased the chart's curves and axes, and the file brings none: the measurement
        // the store holds is drawn again, in the look the file gave the chart.
        m_data.ForgetLent();
        m_chartCurveOf.fill(-1);
        m_givenYLabels.clear();
        m_givenXLabel.Empty();
        m_bFollowData = true;
        RepaintSamples();
        return true;
    }
    m_pGraph->Invalidate(true);
    m_pGraph->update();
    return false;
}

bool CGraphicDisplayWnd::SaveBitmap(const CString& fileName)
{
    // The picture as the diagram shows it now, at its size on the screen: values added since
    // the last paint are drawn first.
    m_pGraph->OnPaint();
    return m_pGraph->SaveBitmap(fileName);
}

std::vector<BYTE> CGraphicDisplayWnd::GetBitmap()
{
    m_pGraph->OnPaint();
    return m_pGraph->GetBitmap();
}
