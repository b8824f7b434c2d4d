#pragma once
// CMemDC_Kadmor: a drawing context for flicker-free painting. Everything drawn on it goes into
// an off-screen picture that the destructor copies onto the target in one go. On a printer it
// buffers nothing and draws straight through.

#include <QImage>

#include "chart/dc.h"

class CMemDC_Kadmor : public CDC {
public:
    // Draws over the target's clip box; the picture is widthReduction pixels narrower.
    explicit CMemDC_Kadmor(CDC* target, int widthReduction = 0);
    // Draws over the drawing rectangle and copies only the copy rectangle back.
    CMemDC_Kadmor(CDC* target, int copyLeft, int copyTop, int copyRight, int copyBottom, int drawLeft, int drawTop,
                  int drawRight, int drawBottom);
    ~CMemDC_Kadmor() override;


private:
    void Begin(int widthReduction);

    QImage m_bitmap;
    CDC* m_pDC;
    CRect m_rect;
    CRect m_rectCopy;
    bool m_bMemDC;
};
