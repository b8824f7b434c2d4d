#pragma once
// CColourPopup: the borderless window under a colour button with the "Automatic" cell, the
// grid of 40 named colours and the "More Colors..." cell. It follows mouse and keys, tells
// the button about the hot cell with CPN_SELCHANGE and ends with CPN_SELENDOK or
// CPN_SELENDCANCEL; then it deletes itself.

#include <QFont>
#include <QWidget>

#include "chart/colour_popup_logic.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

class CWnd;

class CColourPopup : public QWidget {
public:
    // Opens at the screen point (the button's bottom-left corner), visible, with no hot cell.
    CColourPopup(int left, int top, int buttonHeight, COLORREF colour, QWidget* button, CWnd* notify,
                 const char* defaultText, const char* customText);
    ~CColourPopup() override;

    const chart::ColourPopupLayout& Layout() const { return m_layout; }

    // Moves the hot cell and tells the button (mouse and keys come through here).
    void ChangeSelection(int index);
    // Ends the choice with CPN_SELENDOK or CPN_SELENDCANCEL (see the colour dialog step).
    void EndSelection(UINT message);
    // Client rectangle of a cell, grid or text, in the pop-up's coordinates.
    chart::CellRect CellRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void DrawCell(class QPainter& painter, int index);

    chart::ColourPopupLayout m_layout;
    int m_nCurrentSel = chart::kNoCell;
    int m_nChosenColourSel = chart::kNoCell;
    CString m_strDefaultText;
    CString m_strCustomText;
    QFont m_Font;
    COLORREF m_crInitialColour;
    COLORREF m_crColour;
    CWnd* m_pParent;
    bool m_bChildWindowVisible = false;  // the colour dialog is open
    bool m_bEnded = false;
};
