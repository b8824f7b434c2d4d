#pragma once
// CWndImage: a picture window.
//
// A page places it in its form (promoted widget, property ctrlId).
// The picture is drawn centred, scaled down (never up) to fit, keeping its proportions.
// Notifies: nothing.

#include <QImage>
#include <QWidget>

#include "platform/win_types.h"

class CWndImage : public QWidget {
public:
    explicit CWndImage(QWidget* parent = nullptr);

    // Shows image; a null image empties the window.
    BOOL SetBitmap(const QImage& image);
    const QImage& GetBitmap() const { return m_image; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
