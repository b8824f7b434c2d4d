#pragma once
// The chart's property pages: the chart page (dialog 5011), the axis page (5007) and the curve
// page (5004), shown in the property sheet CChartPage, and the label dialog (5012) opened from
// a label's context menu. Each page moves the values of property_page_logic.h to and from its
// controls; Apply (5002) writes them, OK applies and hides the sheet, Cancel only hides it.
// Enter and Escape never close a page.
//
// Static captions carry placeholders (IDC_...) until the chart's client sets the visible
// texts in the user's language with SetDlgItemText: the chart page's captions are the statics
// 1001 (background colour) to 1007, the axis page's 1001 to 1013, the curve page's 1001 to
// 1007, in the order the pages show them; check boxes and buttons carry their own captions.

#include <span>

#include "chart/chart_texts.h"
#include "chart/property_page_logic.h"
#include "platform/dialog.h"

class CXGraph;
class CXGraphLabel;
class CChartPage;
class QGridLayout;

namespace chart {
constexpr int IDC_APPLY = 5002;
}

// What the three pages of the sheet share: Apply, OK and Cancel, the swallowed keys and the
// change handler that enables Apply.
class CChartPropertyPage : public CDialog {
public:
    CChartPropertyPage(UINT templateId, chart::ChartText title, CChartPage* sheet, QWidget* parent);

    // Apply: reads and checks every value, writes them and repaints the chart; false (and
    // nothing written) when a value failed its check.
    virtual bool OnApply() = 0;
    // The page's title, its buttons and the fixed entries of its lists in the current
    // language; the chosen entries stay chosen.
    virtual void LoadStandardTexts();

protected:
    void OnCommand(int id, UINT code) override;
    void OnOK() override;
    void OnCancel() override;
    bool PreTranslateKey(int virtualKey, bool keyDown) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Any change: Apply becomes available and the dependent controls follow.
    virtual void OnChange();
    virtual void UpdateEnabling() {}
    void EnableApply(bool enable) { EnableDlgItem(chart::IDC_APPLY, enable); }
    void RepaintChart(CXGraph* graph);

    // Building blocks of the page layouts.
    QGridLayout* Grid() const { return m_grid; }
    void AddButtonsRow(int row);
    class QLabel* AddCaption(int id, const char* placeholder, int row, int column);
    class QLineEdit* AddEdit(int id, int row, int column);
    class QLineEdit* AddSpinEdit(int editId, int spinId, int row, int column);
    class QCheckBox* AddCheck(int id, const char* placeholder, int row, int column);
    class QComboBox* AddCombo(int id, int row, int column);
    class CColorButton* AddColourButton(int id, int row, int column);
    class CSpinButtonCtrl* Spin(int id) const { return Item<CSpinButtonCtrl>(id); }
    void FillCombo(int id, const std::vector<CString>& entries);
    using FixedEntries = std::span<const chart::ChartText>;
    void AddFixedCombo(int id, FixedEntries texts, int row, int column);
    void SetComboTexts(int id, FixedEntries texts);

    CChartPage* m_pSheet;

private:
    QGridLayout* m_grid;
    chart::ChartText m_title;
};

class CChartDlg : public CChartPropertyPage {
public:
    CChartDlg(CXGraph* graph, CChartPage* sheet, QWidget* parent);
    // Fills the page from the chart, its lists choosing what the other pages show.
    void FillFromChart();
    bool OnApply() override;
    void LoadStandardTexts() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnCommand(int id, UINT code) override;
    void UpdateEnabling() override;

private:
    void OnSelectXAxis();
    void OnSelectYAxis();
    void OnSelectCurve();
    void ReadSelections();

    CXGraph* m_pGraph;
    chart::ChartPageData m_data;
};

class CAxisDlg : public CChartPropertyPage {
public:
    CAxisDlg(CXGraph* graph, chart::AxisRef axis, CChartPage* sheet, QWidget* parent);
    // Shows another axis; the page fills itself again from it.
    void SetAxis(chart::AxisRef axis) { m_axis = axis; }
    void FillFromAxis();
    bool OnApply() override;
    void LoadStandardTexts() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnCommand(int id, UINT code) override;
    void UpdateEnabling() override;

private:
    void ChooseFont(bool titleFont);

    CXGraph* m_pGraph;
    chart::AxisRef m_axis;
    chart::AxisPageData m_data;
};

class CCurveDlg : public CChartPropertyPage {
public:
    CCurveDlg(CXGraph* graph, int curve, CChartPage* sheet, QWidget* parent);
    void SetCurve(int curve) { m_nCurve = curve; }
    int GetCurve() const { return m_nCurve; }
    // Fills the page from its curve; nothing happens while the page has no curve.
    void FillFromCurve();
    bool OnApply() override;
    void LoadStandardTexts() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void UpdateEnabling() override;

private:
    void ApplyEnabling(const chart::CurvePageEnabling& enabling);

    CXGraph* m_pGraph;
    int m_nCurve;
    chart::CurvePageData m_data;
};

// The label's property dialog, run modally from the label's context menu.
class CLabelDlg : public CDialog {
public:
    explicit CLabelDlg(CXGraphLabel* label, QWidget* parent = nullptr);
    bool OnApply();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnCommand(int id, UINT code) override;
    void OnOK() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnFont();

    CXGraphLabel* m_pLabel;
    chart::LabelDlgData m_data;
};

namespace chart {
// Lets a label's "Properties" command open CLabelDlg (through the chart's hooks).
void InstallLabelPropertiesDialog();
}  // namespace chart
