#pragma once
// CGraphicDisplayWnd: the diagram window, the chart's one client. It owns the chart (CXGraph),
// a click-to-position slider (CNiceSliderCtrl) that scrolls the shown part of the x axis (time,
// or the channel the set-up puts there), a range slider (CRangeSlider) that chooses that part,
// the chart's property sheet (CChartPage) and the curve store (CDataManager). It receives the
// chart's posted messages, the range slider's change message and the click slider's WM_HSCROLL.
//
// Every value set of a measurement goes into the curve store; the chart is handed the store's
// arrays and repainted only at the bounded rate of the views.

#include <QImage>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "chart/chart_point.h"
#include "chart/xgraph_data_serie.h"
#include "platform/wnd.h"
#include "views/channel_refresher.h"
#include "views/curve_recorder.h"
#include "views/data_manager.h"
#include "views/views_frame.h"

class CXGraph;
class CNiceSliderCtrl;
class CRangeSlider;
class CChartPage;
class CDC;
class QPrinter;

class CGraphicDisplayWnd : public QWidget, public CWnd, public views::ISampleSink {
public:
    // Run states: 0 idle (values are not recorded), 1 recording up to the point limit,
    // 2 recording without a limit.
    static constexpr int kRunIdle = views::CurveRecorder::kRunIdle;
    static constexpr int kRunLimited = views::CurveRecorder::kRunLimited;
    static constexpr int kRunFree = views::CurveRecorder::kRunFree;
    static constexpr UINT kChartFileFlags = 5;  // chart properties, measurements and objects

    explicit CGraphicDisplayWnd(QWidget* parent = nullptr);
    ~CGraphicDisplayWnd() override;

    CXGraph& Graph() { return *m_pGraph; }
    CRangeSlider& RangeSlider() { return *m_pRange; }
    CChartPage& ChartPage() { return *m_pPage; }
    CDataManager& Data() { return m_data; }

    // The channels and time base of the next measurement.
    void SetChannelSetup(const views::DiagramSetup& setup);
    // The texts of the curves and axes in another language: the names given here replace those
    // the diagram gave; a name or axis label the user wrote stays.
    void SetChannelNames(const std::array<CString, views::kChannelCount>& names);
    const views::DiagramSetup& ChannelSetup() const { return m_setup; }
    // Empties the curves and the store; with startNow the recording starts at once.
    void StartGraph(bool startNow);
    void SetRunState(int state, int value);
    // Points recorded: the largest count of the curves.
    int GetMaxChannelSetting() const { return m_data.GetMaxPointCount(); }
    // The curve of a channel, -1 when the channel has none.
    int CurveOfChannel(int channel) const { return m_recorder.CurveOfChannel(channel); }
    // The chart's curve that shows a channel, -1 while it has none.
    int ChartCurveOfChannel(int channel) const;

    // Marks the store busy and has the next start size it for that many value sets when a
    // flagged channel is among those shown (the set-up's channels and the duration chosen).
    void SetStorageBusy(int valueSets, const std::array<BYTE, views::kChannelCount>& channelFlags);
    bool IsStorageBusy() const { return m_bStorageBusy; }

    void SetSensorDisplayFlag(int sensor, bool shown);
    bool GetSensorDisplayFlag(int sensor) const;

    // Chart files (flags 5), printing and pictures.
    bool SaveChart(const CString& fileName);
    bool LoadChart(const CString& fileName);
    void PrintGraph(CDC* dc);
    void PrintGraphRect(CDC* dc, int left, int top, int right, int bottom);
    // Asks for a printer through the print dialog and prints the whole chart on one page; false
    // when cancelled or when the printer could not be written (said in a message box).
    bool Print();
    // The print preview of that page, from which the user may print; true when printed.
    bool PrintPreview();
    bool SaveBitmap(const CString& fileName);
    std::vector<BYTE> GetBitmap();

    void ShowProperties();
    // The context menu of the chart: the operation modes (the current one checked), the zoom's
    // undo and reset, a label, the trends of the selected curve, the properties, the chart
    // files and printing. The chart's entries send the chart its own command.
    void ShowContextMenu();
    // Captions of the property pages in the current language.
    void LoadLanguageTexts();

    // ISampleSink
    void AddValueSet(const views::ValueSet& set) override;
    void RepaintSamples() override;
    int RepaintCount() const { return m_repaints; }

    // The click slider's scroll: wParam = (position << 16) | code.
    void OnHScroll(WPARAM wParam, LPARAM lParam);
    // The range slider's change: 0 left bound, 1 right bound, 2 both.
    void OnRangeChanged(WPARAM which);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The menu's chart files: asks for a name and saves or loads, a failure said in a box.
    void SaveChartAs();
    void LoadChartFrom();
    // Draws the whole chart on one page of the printer; a preview's page is not ended here.
    bool PrintOn(QPrinter& printer, bool preview);
    void RemoveCurves();
    // Keeps the look of every channel's curve (colour, line, markers, a label the user gave)
    // for the channel's curve of the next measurement.
    void KeepCurveLooks();
    void ApplyCurveLook(int channel, int curve);
    // Labels curve and axis with the name of the channel unless the user labelled them.
    void GiveNames(int channel, int curve);
    // Whether the shown x range follows the newest values: the user took no range of it.
    void FollowUnlessUserRange();
    // The axes of curves the last measurement drew and this one does not draw go with them.
    void DropAxesOfCurvesGone();
    bool LendCurve(int curve, const ChartPoint* points, int count);
    // The legend and axis text of a channel ("A [N·m]"), its letter when the set-up names none.
    CString ChannelName(int channel) const;
    void UpdateSliders();
    // Shows that x range; the user's unless it is the whole of the data.
    void ShowXRange(double left, double right);
    void DataExtent(double& xMin, double& xMax) const;
    // Points per curve that a start makes room for.
    int StoreCapacity() const;

    CXGraph* m_pGraph = nullptr;
    CNiceSliderCtrl* m_pSlider = nullptr;
    CRangeSlider* m_pRange = nullptr;
    CChartPage* m_pPage = nullptr;
    CDataManager m_data;
    views::CurveRecorder m_recorder{m_data};
    views::DiagramSetup m_setup;
    std::array<bool, 4> m_sensorShown{true, true, true, true};
    // The chart's curve of each curve of the store, -1 before it was first lent: a curve that
    // has no points yet does not hold back the ones after it.
    std::array<int, CDataManager::kMaxCurves> m_chartCurveOf{};
    // Per channel, the look of its curve in the last measurement and the name the diagram gave
    // it; per Y axis and for the x axis, the label the diagram gave.
    std::array<std::optional<CXGraphDataSerie>, views::kChannelCount> m_curveLooks;
    std::array<CString, views::kChannelCount> m_givenCurveNames;
    std::vector<CString> m_givenYLabels;
    CString m_givenXLabel;
    double m_shownLeft = 0.0, m_shownRight = 0.0;
    bool m_bStorageBusy = false;
    int m_storageSets = CDataManager::kDefaultPoints;
    std::array<BYTE, views::kChannelCount> m_storageChannels{};
    bool m_bFollowData = true;  // the shown x range follows the newest values
    bool m_bUpdatingSliders = false;
    int m_repaints = 0;
};
