#pragma once
// CRangeSlider: a bar with two arrow thumbs with which the user chooses an interval
// [left, right] inside a total range, optionally showing a visible band between the thumbs.
// Every change is announced synchronously (SendMessage) with the registered message
// "RANGE_CHANGED{2E7439A4-12DB-42a2-BB95-3462B3EC39CE}CRangeSlider" to the notify window or,
// when none is set, to the enclosing window: wParam 0 the left bound changed, 1 the right
// bound, 2 both moved together; lParam 0.

#include <QImage>
#include <QWidget>

#include "chart/range_slider_model.h"
#include "platform/wnd.h"

class CRangeSlider : public QWidget, public CWnd {
public:
    explicit CRangeSlider(QWidget* parent = nullptr);

    // The change message's number (registered once per process).
    static UINT ChangedMessage();

    // Places the slider in its parent; the style is not used (the slider is always a child).
    bool Create(DWORD style, int left, int top, int right, int bottom, QWidget* parent, UINT id);

    void SetTotalRange(double a, double b);
    void SetInterval(double a, double b);
    void SetVisibleBand(double a, double b);
    void GetInterval(double& left, double& right) const { m_model.GetInterval(left, right); }
    void SetShowVisibleRange(bool show);
    void SetVertical(bool vertical);
    void SetInverted(bool inverted);
    // The receiver of the change message; null: the enclosing window. Not owned.
    void SetNotifyWindow(CWnd* window) { m_pNotifyWnd = window; }

    const chart::RangeSliderModel& Model() const { return m_model; }
    // The geometry of the last paint.
    const chart::RangeSliderGeometry& LastGeometry() const { return m_geometry; }
    // The picture of the last paint.
    const QImage& LastPicture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Announce(int which);
    void Relayout();

    chart::RangeSliderModel m_model;
    chart::RangeSliderGeometry m_geometry;
    QImage m_picture;
    CWnd* m_pNotifyWnd = nullptr;
};
