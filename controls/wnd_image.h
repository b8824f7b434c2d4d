#pragma once
// CWndImage: a picture window.
//
// A page either places it in its form (promoted widget, property ctrlId) or lets it take the
// place of a static control of the form:
//     m_image.CreateFromStatic(GetDlgItem(1490));   // same place, size and control id
//     m_image.SetBitmap(319);                        // a bitmap resource (controls/bitmap_resources.h)
//     ShowDlgItem(1490, false);
// The picture is drawn centred, scaled down (never up) to fit, keeping its proportions.
// Notifies: nothing.

#include <QImage>
#include <QWidget>

#include "platform/win_types.h"

class CWndImage : public QWidget {
public:
    explicit CWndImage(QWidget* parent = nullptr);

    // Takes the place of staticControl: its parent, geometry, place in a layout, visibility
    // and, when a dialog registered it, its control id (the dialog then reaches this window
    // under that id). The static is hidden. FALSE for a null static or one without parent.
    BOOL CreateFromStatic(QWidget* staticControl);

    // Shows a bitmap resource. FALSE, and the picture stays, for an id without a bitmap.
    BOOL SetBitmap(UINT bitmapId);
    // Shows image; a null image empties the window.
    BOOL SetBitmap(const QImage& image);
    const QImage& GetBitmap() const { return m_image; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
