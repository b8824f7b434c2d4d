#pragma once
// CChartPage: the chart's property sheet (dialog 5000, "XGraph-Properties"): a tab control
// (6073) with the chart page, the axis page and the curve page. The chart's client creates it
// once, gives it the chart and shows or hides it; OK and Cancel of the pages only hide it, so
// the pages keep their state between showings. The pages are made on the first show (or
// earlier by CreatePages, when the client wants to set their captions first).

#include "chart/property_page_logic.h"
#include "platform/dialog.h"

class CXGraph;
class CChartDlg;
class CAxisDlg;
class CCurveDlg;
class QTabBar;

namespace chart {
constexpr int IDC_TAB = 6073;
constexpr int kChartTab = 0;
constexpr int kAxisTab = 1;
constexpr int kCurveTab = 2;
}  // namespace chart

class CChartPage : public CDialog {
public:
    explicit CChartPage(QWidget* parent = nullptr);
    ~CChartPage() override;

    void SetGraph(CXGraph* graph) { m_pGraph = graph; }
    CXGraph* GetGraph() const { return m_pGraph; }

    // The chart page's choices: the axis page shows X axis n (Y axis n), the curve page curve
    // n, each filled again. An index the chart does not have changes nothing.
    void SelectXAxis(int n);
    void SelectYAxis(int n);
    void SelectCurve(int n);
    chart::AxisRef ShownAxis() const { return m_axis; }
    int ShownCurve() const { return m_nCurve; }

    // Makes the pages that do not exist yet.
    void CreatePages();
    // Fills every page again from the chart, whose axes and curves may have come or gone since
    // the pages were made: the axis and the curve shown stay when the chart still has them,
    // else Y axis 0 and curve 0 are shown.
    void FillPagesFromChart();
    // The sheet's title, the tabs and the pages' standard texts in the current language.
    void LoadLanguageTexts();
    CChartDlg* GetChartDlg() const { return m_pChartDlg; }
    CAxisDlg* GetAxisDlg() const { return m_pAxisDlg; }
    CCurveDlg* GetCurveDlg() const { return m_pCurveDlg; }

    // Both hide the sheet and repaint the chart.
    void OnOK() override;
    void OnCancel() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnShowWindow();
    void OnSelchangeTab();
    void ShowPage(CDialog* page);
    void ChooseShownObjects();
    void HideAndRepaint();

    QWidget* m_tabControl;
    QTabBar* m_Tab;
    CChartDlg* m_pChartDlg = nullptr;
    CCurveDlg* m_pCurveDlg = nullptr;
    CAxisDlg* m_pAxisDlg = nullptr;
    CXGraph* m_pGraph = nullptr;
    chart::AxisRef m_axis;
    int m_nCurve = -1;
};
