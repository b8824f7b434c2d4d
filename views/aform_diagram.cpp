#include "views/aform_diagram.h"

#include <QDockWidget>
#include <QLayout>

#include "platform/qt_text.h"
#include "ui_diagram_view.h"
#include "views/form_controls.h"
#include "views/view_texts.h"

CAFormDiagram::CAFormDiagram(views::IViewsFrame& frame, views::ChannelRefresher& refresher, QWidget* parent)
    : CDialog(0, parent), m_frame(frame), m_refresher(refresher)
{
    Ui::DiagramView form;
    form.setupUi(this);
    views::RegisterFormControls(*this, *this);
    auto* area = new QVBoxLayout(form.graphArea);
    area->setContentsMargins(0, 0, 0, 0);
    m_pDisplay = new CGraphicDisplayWnd(form.graphArea);
    // Room for axes, curves and legend wherever the view is placed.
    form.graphArea->setMinimumSize(300, 200);
    area->addWidget(m_pDisplay);
    InitDialog();
    LoadLanguageTexts();
    refresher.AttachSampleSink(this);
    frame.RegisterDiagramView(this);
}

CAFormDiagram::~CAFormDiagram() { m_refresher.AttachSampleSink(nullptr); }

void CAFormDiagram::LoadChannelSetup()
{
    m_pDisplay->SetChannelSetup(m_frame.GetDiagramSetup());
    for (int c = 0; c < views::kChannelCount; ++c) {
        const views::DisplayTable* table = m_frame.Tables().Entry(c);
        m_unitIds[static_cast<std::size_t>(c)] = table ? table->SelectedUnitId() : 0;
        m_unitTexts[static_cast<std::size_t>(c)] = table ? table->SelectedUnitText() : CString();
    }
}

void CAFormDiagram::StartGraph(bool startNow)
{
    m_pDisplay->StartGraph(startNow);
    ShowPointCount();
}

bool CAFormDiagram::StoreDiagramAtEnd()
{
    const CString file = m_frame.DiagramFileAtEnd();
    if (file.IsEmpty()) return false;
    m_pDisplay->RepaintSamples();
    return m_pDisplay->SaveBitmap(file);
}

void CAFormDiagram::RepaintSamples()
{
    m_pDisplay->RepaintSamples();
    ShowPointCount();
}

void CAFormDiagram::ShowPointCount()
{
    SetDlgItemText(IDC_POINTS, views::ViewText(views::kTextDiagramPoints) +
                                   CString::Formatted(" %d", m_pDisplay->GetMaxChannelSetting()));
}

void CAFormDiagram::LoadLanguageTexts()
{
    SetDlgItemText(IDC_PROPERTIES, views::ViewText(views::kTextProperties));
    // Docked, the bar carries the view's name.
    if (auto* dock = qobject_cast<QDockWidget*>(parentWidget()))
        dock->setWindowTitle(platform::ToQString(views::ViewText(views::kTextDiagram)));
    m_pDisplay->LoadLanguageTexts();
    // The unit in the names of the curves and axes is said as the channel views say it now
    // ("tr/min" in French); the unit itself stays the one the points were measured in.
    std::array<CString, views::kChannelCount> names = m_pDisplay->ChannelSetup().curveNames;
    bool renamed = false;
    for (std::size_t c = 0; c < names.size(); ++c) {
        CString& was = m_unitTexts[c];
        if (static_cast<int>(m_unitIds[c]) <= views::kOwnUnitId || was.IsEmpty()) continue;
        const CString now = views::ViewText(m_unitIds[c]);
        if (now == was) continue;
        names[c].Replace("[" + was + "]", "[" + now + "]");
        was = now;
        renamed = true;
    }
    if (renamed) m_pDisplay->SetChannelNames(names);
    ShowPointCount();
}

void CAFormDiagram::OnCommand(int id, UINT code)
{
    if (id == IDC_PROPERTIES && code == BN_CLICKED) m_pDisplay->ShowProperties();
}
