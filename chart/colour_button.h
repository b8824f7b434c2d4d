#pragma once
// CColorButton: a push button that shows its colour as a swatch with a drop-down arrow and
// opens the colour pop-up on a click. It reports to its dialog with the CPN_ messages
// (wParam the colour, lParam its control id).

#include <QPointer>
#include <QPushButton>

#include "chart/colour_popup.h"
#include "chart/colour_table.h"
#include "platform/cstring.h"
#include "platform/wnd.h"


class CColorButton : public QPushButton, public CWnd {
public:
    explicit CColorButton(QWidget* parent = nullptr);
    ~CColorButton() override;

    COLORREF GetColor() const { return m_crColour; }
    // Stores the colour and redraws the swatch at once.
    void SetColor(COLORREF colour);
    // The colour to store in an object: the default colour when the button holds "Automatic".
    COLORREF GetResolvedColor() const { return ResolveColour(m_crColour, m_crDefaultColour); }

    // The open pop-up, null when none (for tests and the key handling of the dialog).

    // The click: opens the pop-up under the button and announces CPN_DROPDOWN.
    void OnClicked();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SendToParent(UINT message, COLORREF colour);

    COLORREF m_crColour;
    COLORREF m_crDefaultColour;
    CString m_strDefaultText;
    CString m_strCustomText;
    bool m_bPopupActive = false;
    QPointer<CColourPopup> m_pPopup;
};
