#include "chart/chart_page.h"

#include <QShowEvent>
#include <QTabBar>
#include <QVBoxLayout>

#include "chart/chart_texts.h"
#include "chart/property_pages.h"
#include "chart/xgraph.h"
#include "platform/qt_text.h"

namespace {
// Where a page sits inside the tab control, below the tabs.
constexpr int kPageLeft = 8;
constexpr int kPageTop = 25;
}  // namespace

CChartPage::CChartPage(QWidget* parent) : CDialog(5000, parent)
{
    SetWindowText(chart::ChartTextOf(chart::ChartText::SheetTitle));
    auto* layout = new QVBoxLayout(this);
    m_tabControl = new QWidget(this);
    m_Tab = new QTabBar(m_tabControl);
    m_Tab->setDrawBase(true);
    RegisterControl(chart::IDC_TAB, m_tabControl);
    layout->addWidget(m_tabControl);
    QObject::connect(m_Tab, &QTabBar::currentChanged, this, [this](int) {
        if (!m_Tab->signalsBlocked()) OnSelchangeTab();
    });
    hide();
}

CChartPage::~CChartPage() = default;  // the pages are children of the tab control

void CChartPage::SelectXAxis(int n)
{
    if (!m_pGraph || n < 0 || n >= m_pGraph->GetXAxisCount()) return;
    m_axis = {CXGraphAxis::xAxis, n};
    if (m_pAxisDlg) {
        m_pAxisDlg->SetAxis(m_axis);
        m_pAxisDlg->FillFromAxis();
    }
}

void CChartPage::SelectYAxis(int n)
{
    if (!m_pGraph || n < 0 || n >= m_pGraph->GetYAxisCount()) return;
    m_axis = {CXGraphAxis::yAxis, n};
    if (m_pAxisDlg) {
        m_pAxisDlg->SetAxis(m_axis);
        m_pAxisDlg->FillFromAxis();
    }
}

void CChartPage::SelectCurve(int n)
{
    if (!m_pGraph || n < 0 || n >= m_pGraph->GetCurveCount()) return;
    m_nCurve = n;
    if (m_pCurveDlg) {
        m_pCurveDlg->SetCurve(n);
        m_pCurveDlg->FillFromCurve();
    }
}

void CChartPage::ChooseShownObjects()
{
    // Without a choice the sheet shows Y axis 0 and curve 0, when the chart has them.
    if (!chart::ResolveAxis(m_pGraph, m_axis)) m_axis = {CXGraphAxis::yAxis, m_pGraph && m_pGraph->GetYAxisCount() > 0 ? 0 : -1};
    if (!chart::ResolveCurve(m_pGraph, m_nCurve)) m_nCurve = m_pGraph && m_pGraph->GetCurveCount() > 0 ? 0 : -1;
}

void CChartPage::FillPagesFromChart()
{
    CreatePages();  // also chooses again what the pages show
    m_pAxisDlg->SetAxis(m_axis);
    m_pAxisDlg->FillFromAxis();
    m_pCurveDlg->SetCurve(m_nCurve);
    m_pCurveDlg->FillFromCurve();
    m_pChartDlg->FillFromChart();
}

void CChartPage::LoadLanguageTexts()
{
    SetWindowText(chart::ChartTextOf(chart::ChartText::SheetTitle));
    CChartPropertyPage* pages[] = {m_pChartDlg, m_pAxisDlg, m_pCurveDlg};
    for (int tab = 0; tab < 3; ++tab) {
        if (!pages[tab]) continue;
        pages[tab]->LoadStandardTexts();
        if (tab < m_Tab->count()) m_Tab->setTabText(tab, platform::ToQString(pages[tab]->GetWindowText()));
    }
}

void CChartPage::CreatePages()
{
    ChooseShownObjects();

    auto place = [this](CDialog* page) {
        page->move(kPageLeft, std::max(kPageTop, m_Tab->sizeHint().height() + 4));
        page->hide();
        page->InitDialog();
    };
    if (!m_pChartDlg) {
        m_pChartDlg = new CChartDlg(m_pGraph, this, m_tabControl);
        place(m_pChartDlg);
    }
    if (!m_pCurveDlg) {
        m_pCurveDlg = new CCurveDlg(m_pGraph, m_nCurve, this, m_tabControl);
        place(m_pCurveDlg);
    }
    if (!m_pAxisDlg) {
        m_pAxisDlg = new CAxisDlg(m_pGraph, m_axis, this, m_tabControl);
        place(m_pAxisDlg);
    }
    // The tab control holds the largest page.
    QSize size(0, 0);
    for (CDialog* page : {static_cast<CDialog*>(m_pChartDlg), static_cast<CDialog*>(m_pAxisDlg), static_cast<CDialog*>(m_pCurveDlg)}) {
        page->adjustSize();
        size = size.expandedTo(page->size());
    }
    for (CDialog* page : {static_cast<CDialog*>(m_pChartDlg), static_cast<CDialog*>(m_pAxisDlg), static_cast<CDialog*>(m_pCurveDlg)})
        page->resize(size);
    m_tabControl->setMinimumSize(size.width() + 2 * kPageLeft, size.height() + m_pChartDlg->y() + kPageLeft);
    m_Tab->resize(m_tabControl->minimumWidth(), m_Tab->sizeHint().height());
}

void CChartPage::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) OnShowWindow();
    CDialog::showEvent(event);
}

void CChartPage::OnShowWindow()
{
    // The client may make the pages early, before the chart has its curves: they show what the
    // chart has now.
    FillPagesFromChart();
    {
        const QSignalBlocker block(m_Tab);
        while (m_Tab->count() > 0) m_Tab->removeTab(0);
        m_Tab->addTab(platform::ToQString(m_pChartDlg->GetWindowText()));
        m_Tab->addTab(platform::ToQString(m_pAxisDlg->GetWindowText()));
        m_Tab->addTab(platform::ToQString(m_pCurveDlg->GetWindowText()));
        m_Tab->setCurrentIndex(chart::kChartTab);
    }
    m_Tab->resize(std::max(m_Tab->sizeHint().width(), m_tabControl->minimumWidth()), m_Tab->sizeHint().height());
    for (CDialog* page : {static_cast<CDialog*>(m_pAxisDlg), static_cast<CDialog*>(m_pCurveDlg)}) {
        page->hide();
        page->setEnabled(false);
    }
    ShowPage(m_pChartDlg);
    adjustSize();
}

void CChartPage::OnSelchangeTab()
{
    if (!m_pChartDlg) return;
    for (CDialog* page : {static_cast<CDialog*>(m_pChartDlg), static_cast<CDialog*>(m_pAxisDlg), static_cast<CDialog*>(m_pCurveDlg)}) {
        page->hide();
        page->setEnabled(false);
    }
    switch (m_Tab->currentIndex()) {
    case chart::kChartTab: ShowPage(m_pChartDlg); break;
    case chart::kAxisTab: ShowPage(m_pAxisDlg); break;
    case chart::kCurveTab: ShowPage(m_pCurveDlg); break;
    default: break;
    }
}

void CChartPage::ShowPage(CDialog* page)
{
    page->move(kPageLeft, std::max(kPageTop, m_Tab->sizeHint().height() + 4));
    page->raise();
    page->setEnabled(true);
    page->show();
}

void CChartPage::OnOK()
{
    HideAndRepaint();
}

void CChartPage::OnCancel()
{
    HideAndRepaint();
}

void CChartPage::HideAndRepaint()
{
    hide();
    if (m_pGraph) {
        m_pGraph->Invalidate(true);
        m_pGraph->repaint();
    }
}
