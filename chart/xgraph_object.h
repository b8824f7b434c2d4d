#pragma once
// CXGraphObject: the base of everything the chart draws and hit-tests (axes, curves, labels,
// data notations), with its rectangle, selection and editing state, colour, owning chart and
// the tracker that moves and resizes it. CXGraphDataNotation is the small framed text the chart
// pins to one point of a curve.

#include <memory>
#include <string>

#include "chart/chart_archive.h"
#include "chart/dc.h"
#include "chart/rect_tracker.h"

class CXGraph;
class CDCEx;

class CXGraphObject {
public:
    CXGraphObject() = default;
    CXGraphObject(const CXGraphObject&) = default;
    CXGraphObject& operator=(const CXGraphObject&) = default;
    virtual ~CXGraphObject();

    virtual const char* GetRuntimeClass() const { return "CXGraphObject"; }
    // The common block of 27 bytes that starts curve, label and notation records.
    virtual void Serialize(CArchive& ar);
    virtual void Draw(CDCEx* dc);
    virtual void BeginEdit() {}
    virtual void EndEdit() {}
    virtual void BeginTrack();
    virtual void EndTrack();
    virtual void ShowContextMenu() {}

    void SetVisible(bool visible) { m_bVisible = visible; }
    bool GetVisible() const { return m_bVisible; }
    void SetRect(int left, int top, int right, int bottom) { m_Rect.SetRect(left, top, right, bottom); }
    const CRect& GetRect() const { return m_Rect; }
    void SetColor(COLORREF color) { m_crColor = color; }
    COLORREF GetColor() const { return m_crColor; }
    CXGraph* GetGraph() const { return m_pGraph; }
    void SetGraph(CXGraph* graph) { m_pGraph = graph; }

    CRect m_Rect;
    bool m_bSelected = false;
    bool m_bEditing = false;
    bool m_bMoveable = false;
    bool m_bSizeable = false;
    bool m_bTracking = false;
    bool m_bVisible = true;
    bool m_bEditable = true;
    COLORREF m_crColor = 0;
    CXGraph* m_pGraph = nullptr;
    CRectTracker m_Tracker;
};

class CXGraphDataNotation : public CXGraphObject {
public:
    CXGraphDataNotation();
    const char* GetRuntimeClass() const override { return "CXGraphDataNotation"; }
    void Serialize(CArchive& ar) override;
    void Draw(CDCEx* dc) override;

    CFont m_Font;
    bool m_bMeasured = false;
    double m_dX = 0.0;
    double m_dY = 0.0;
    int m_nCurve = 0;
    int m_nIndex = 0;
    CString m_sText;
};

// A new chart object of a class named in a chart file; null for a class that is not a free
// chart object (labels and notations are).
std::unique_ptr<CXGraphObject> CreateChartObject(const std::string& className);
