#pragma once
// CXGraphLabel: a free text box on the chart, with its own font and colours, an optional
// border, alignment, and an optional connector to the middle point of a curve. It is edited in
// place after a double click.

#include <QPlainTextEdit>
#include <QPointer>

#include "chart/xgraph_object.h"

class CXGraphLabel : public CXGraphObject {
public:
    CXGraphLabel();
    CXGraphLabel(const CXGraphLabel& other);
    CXGraphLabel& operator=(const CXGraphLabel& other);
    ~CXGraphLabel() override;

    const char* GetRuntimeClass() const override { return "CXGraphLabel"; }
    void Serialize(CArchive& ar) override;
    void Draw(CDCEx* dc) override;
    void BeginEdit() override;
    void EndEdit() override;
    void ShowContextMenu() override;

    void SetFont(const LOGFONT* lf);
    void SetText(const CString& text) { m_sText = text; }
    const CString& GetText() const { return m_sText; }
    void SetBkColor(COLORREF color) { m_crBkColor = color; }
    COLORREF GetBkColor() const { return m_crBkColor; }
    void SetTextColor(COLORREF color) { m_crTextColor = color; }
    void SetBorder(bool border) { m_bBorder = border; }
    bool GetBorder() const { return m_bBorder; }
    void SetTransparent(bool transparent) { m_bTransparent = transparent; }
    bool GetTransparent() const { return m_bTransparent; }
    void SetAlignment(int alignment) { m_nAlignment = alignment; }
    int GetAlignment() const { return m_nAlignment; }
    void SetCurve(int curve) { m_nCurve = curve; }
    int GetCurve() const { return m_nCurve; }
    // The in-place editor while editing, else null.
    QPlainTextEdit* GetEditControl() const { return m_pEdit; }

    CString m_sText = " ";
    CFont m_Font;
    COLORREF m_crBkColor;
    COLORREF m_crTextColor = 0;
    bool m_bBorder = true;
    bool m_bTransparent = false;
    int m_nAlignment = 0;
    int m_nCurve = -1;

private:
    void DestroyEdit();
    QPointer<QPlainTextEdit> m_pEdit;
};
