#pragma once
// CNiceSliderCtrl: a trackbar whose thumb jumps to where the user clicks and then follows the
// mouse while the button is held, instead of paging. It reports its moves by posting
// WM_HSCROLL (also when vertical) to the notify window or the enclosing window:
// wParam = (position << 16) | code (TB_THUMBTRACK while moving, TB_THUMBPOSITION at the
// release after a move), lParam = the slider's window handle.

#include <QSlider>

#include "platform/wnd.h"

constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;

namespace chart {

// The position a click at coordinate lands on, for a channel from channelStart to channelEnd
// and the range [minimum, maximum]. A point beyond either end of the channel counts as that end.
// False when the channel has no length.
bool NiceSliderPositionAt(int minimum, int maximum, int channelStart, int channelEnd, int coordinate, int& position);

}  // namespace chart

class CNiceSliderCtrl : public QSlider, public CWnd {
public:
    explicit CNiceSliderCtrl(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    // Sets the window that receives the scroll messages (null: the enclosing window). Not owned.
    void SetColor(CWnd* notify) { m_pNotifyWnd = notify; }

    void SetRange(int minimum, int maximum) { setRange(minimum, maximum); }
    int GetPos() const { return value(); }
    void SetPos(int position) { setValue(position); }
    // The channel the thumb runs in, in client pixels (right and bottom exclusive).
    QRect GetChannelRect() const;

    bool IsDragging() const { return m_bDragging; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Moves the thumb under the point; true when the position changed.
    bool SetThumb(const QPoint& point);
    void PostMessageToParent(UINT code);

    bool m_bDragging = false;
    bool m_bDragChanged = false;
    CWnd* m_pNotifyWnd = nullptr;
};
