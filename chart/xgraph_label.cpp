#include "chart/xgraph_label.h"

#include <QCursor>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "chart/chart_hooks.h"
#include "chart/chart_texts.h"
#include "chart/dcex.h"
#include "chart/font_mapping.h"
#include "chart/xgraph.h"
#include "platform/qt_text.h"

namespace {

constexpr int kEditControlId = 0xFFFE;

}  // namespace

CXGraphLabel::CXGraphLabel() : m_crBkColor(GetSysColor(COLOR_WINDOW))
{
    m_Font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_CHARACTER_PRECIS,
                      ANTIALIASED_QUALITY, 0, "Arial");
    m_bMoveable = true;
    m_bSizeable = true;
}

CXGraphLabel::CXGraphLabel(const CXGraphLabel& other)
    : CXGraphObject(other), m_sText(other.m_sText), m_Font(other.m_Font), m_crBkColor(other.m_crBkColor),
      m_crTextColor(other.m_crTextColor), m_bBorder(other.m_bBorder), m_bTransparent(other.m_bTransparent),
      m_nAlignment(other.m_nAlignment), m_nCurve(other.m_nCurve)
{
    m_bEditing = false;  // the editor belongs to the original
}

CXGraphLabel& CXGraphLabel::operator=(const CXGraphLabel& other)
{
    if (this == &other) return *this;
    DestroyEdit();
    CXGraphObject::operator=(other);
    m_sText = other.m_sText;
    m_Font = other.m_Font;
    m_crBkColor = other.m_crBkColor;
    m_crTextColor = other.m_crTextColor;
    m_bBorder = other.m_bBorder;
    m_bTransparent = other.m_bTransparent;
    m_nAlignment = other.m_nAlignment;
    m_nCurve = other.m_nCurve;
    m_bEditing = false;
    return *this;
}

CXGraphLabel::~CXGraphLabel() { DestroyEdit(); }

void CXGraphLabel::DestroyEdit()
{
    delete m_pEdit;
    m_pEdit = nullptr;
}

void CXGraphLabel::SetFont(const LOGFONT* lf)
{
    m_Font.DeleteObject();
    m_Font.CreateFontIndirect(lf);
}

void CXGraphLabel::Serialize(CArchive& ar)
{
    CXGraphObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_sText << m_Font.logFont() << m_crBkColor << m_crTextColor << m_bBorder << m_bTransparent
           << static_cast<std::int32_t>(m_nAlignment) << static_cast<std::int32_t>(m_nCurve);
    } else {
        LOGFONT lf;
        std::int32_t alignment, curve;
        ar >> m_sText >> lf >> m_crBkColor >> m_crTextColor >> m_bBorder >> m_bTransparent >> alignment >> curve;
        SetFont(&lf);
        m_nAlignment = alignment;
        m_nCurve = curve;
        // A label stored while it was being edited has no editor after loading; it shows its text.
        m_bEditing = false;
    }
}

void CXGraphLabel::Draw(CDCEx* dc)
{
    if (!m_bVisible) return;
    const bool mono = dc->m_bMonochrome;
    CFontSelector font(&m_Font, dc, true);
    std::unique_ptr<CBrushSelector> brush;
    CBrush previousBrush;
    if (!m_bTransparent) {
        brush = std::make_unique<CBrushSelector>(mono ? RGB(255, 255, 255) : m_crBkColor, dc);
    } else {
        previousBrush = dc->GetCurrentBrush();
        dc->SelectStockObject(NULL_BRUSH);
    }
    std::unique_ptr<CPenSelector> pen;
    if (m_bBorder) pen = std::make_unique<CPenSelector>(RGB(0, 0, 0), 1, dc, PS_SOLID);

    // The connector runs from the middle point of its curve; a curve that is gone or has no
    // points gets none.
    if (m_nCurve != -1 && m_pGraph) {
        CXGraphAxis* xAxis = nullptr;
        CXGraphAxis* yAxis = nullptr;
        if (m_pGraph->GetCurveAxes(m_nCurve, xAxis, yAxis)) {
            const CXGraphDataSerie& curve = m_pGraph->GetCurve(m_nCurve);
            if (curve.GetCount() > 0 && curve.GetPoints()) {
                const ChartPoint& middle = curve.GetPoints()[curve.GetCount() / 2];
                dc->MoveTo(xAxis->GetPointForValue(middle).x, yAxis->GetPointForValue(middle).y);
                dc->LineTo((m_Rect.left + m_Rect.right) / 2, (m_Rect.top + m_Rect.bottom) / 2);
            }
        }
    }

    dc->SetBkMode(OPAQUE);
    if (!m_bTransparent) dc->FillSolidRect(m_Rect, mono ? RGB(255, 255, 255) : m_crBkColor);
    else dc->SetBkMode(TRANSPARENT);
    if (m_bBorder) dc->Rectangle(m_Rect);
    dc->SetBkColor(mono ? RGB(255, 255, 255) : m_crBkColor);
    const COLORREF previousText = dc->SetTextColor(mono ? RGB(0, 0, 0) : m_crTextColor);
    if (m_bTracking) m_Tracker.Draw(dc);
    CRect inner = m_Rect;
    inner.DeflateRect(1, 1);
    if (!m_bEditing || !m_pEdit) {
        dc->DrawText(m_sText, inner, static_cast<UINT>(m_nAlignment));
    } else {
        m_pEdit->show();
    }
    dc->SetTextColor(previousText);
    if (m_bTransparent) dc->SelectObject(previousBrush);
}

void CXGraphLabel::BeginEdit()
{
    if (!m_bEditable) return;
    DestroyEdit();
    m_bTracking = false;
    m_bEditing = true;
    if (!m_pGraph) return;
    CRect inner = m_Rect;
    inner.DeflateRect(1, 1);
    m_pEdit = new QPlainTextEdit(m_pGraph);
    m_pEdit->setObjectName(QStringLiteral("labelEditor%1").arg(kEditControlId));
    m_pEdit->setGeometry(inner.left, inner.top, std::max(1, inner.Width()), std::max(1, inner.Height()));
    m_pEdit->setFrameShape(QFrame::NoFrame);
    m_pEdit->setFont(chart::ToQFont(m_Font.logFont()));
    m_pEdit->setPlainText(platform::ToQString(m_sText));
    Qt::Alignment align = Qt::AlignLeft;
    if (m_nAlignment == 1) align = Qt::AlignHCenter;
    else if (m_nAlignment == 2) align = Qt::AlignRight;
    QTextCursor all = m_pEdit->textCursor();
    all.select(QTextCursor::Document);
    QTextBlockFormat block;
    block.setAlignment(align);
    all.mergeBlockFormat(block);
    m_pEdit->setTextCursor(all);
    m_pEdit->show();
    m_pGraph->Invalidate(true);
    m_pEdit->setFocus();
    m_pEdit->ensureCursorVisible();
}

void CXGraphLabel::EndEdit()
{
    if (!m_bEditable) return;
    if (m_pEdit) {
        // The editor's line breaks become the label's line feeds.
        QString text = m_pEdit->toPlainText();
        m_sText = platform::FromQString(text);
    }
    DestroyEdit();
    m_bEditing = false;
}

void CXGraphLabel::ShowContextMenu()
{
    const chart::Hooks& hooks = chart::GetHooks();
    const std::vector<chart::MenuItem> items = {{static_cast<int>(chart::IDM_LABEL_PROPERTIES), CString(chart::ChartTextOf(chart::ChartText::Properties))}};
    int chosen = 0;
    if (hooks.popupMenu) chosen = hooks.popupMenu(m_pGraph, QCursor::pos(), items);
    if (chosen == static_cast<int>(chart::IDM_LABEL_PROPERTIES) && hooks.labelProperties) hooks.labelProperties(*this);
}
