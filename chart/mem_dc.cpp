#include "chart/mem_dc.h"

#include "chart/painter_device.h"

namespace {

// An image device whose pixel (0, 0) stands for a point of the target, so that drawing on it
// uses the target's coordinates.
class OffsetImageDevice : public chart::ImageDevice {
public:
    OffsetImageDevice(QImage& image, CPoint origin, int dpiX, int dpiY, int numColors)
        : chart::ImageDevice(image), m_origin(origin), m_dpiX(dpiX), m_dpiY(dpiY)
    {
        SetNumColors(numColors);
        if ((origin.x != 0 || origin.y != 0) && painter()) painter()->translate(-origin.x, -origin.y);
    }
    int GetDeviceCaps(int index) const override
    {
        if (index == LOGPIXELSX) return m_dpiX;
        if (index == LOGPIXELSY) return m_dpiY;
        return chart::ImageDevice::GetDeviceCaps(index);
    }
    CRect ClipBox() const override
    {
        CRect box = chart::ImageDevice::ClipBox();
        box.OffsetRect(m_origin.x, m_origin.y);
        return box;
    }

private:
    CPoint m_origin;
    int m_dpiX;
    int m_dpiY;
};

}  // namespace

CMemDC_Kadmor::CMemDC_Kadmor(CDC* target, int widthReduction) : m_pDC(target), m_bMemDC(!target->IsPrinting())
{
    m_rect = target->GetClipBox();
    Begin(widthReduction);
}

CMemDC_Kadmor::CMemDC_Kadmor(CDC* target, int copyLeft, int copyTop, int copyRight, int copyBottom, int drawLeft,
                             int drawTop, int drawRight, int drawBottom)
    : m_pDC(target), m_rect(drawLeft, drawTop, drawRight, drawBottom), m_rectCopy(copyLeft, copyTop, copyRight, copyBottom),
      m_bMemDC(!target->IsPrinting())
{
    Begin(0);
}

void CMemDC_Kadmor::Begin(int widthReduction)
{
    if (m_bMemDC) {
        const int width = std::max(1, m_rect.Width() - widthReduction);
        const int height = std::max(1, m_rect.Height());
        m_bitmap = QImage(width, height, QImage::Format_RGB32);
        m_bitmap.fill(Qt::white);
        Attach(std::make_shared<OffsetImageDevice>(m_bitmap, m_rect.TopLeft(), m_pDC->GetDeviceCaps(LOGPIXELSX),
                                                   m_pDC->GetDeviceCaps(LOGPIXELSY), m_pDC->GetDeviceCaps(NUMCOLORS)));
    } else {
        Attach(m_pDC->device());
    }
    FillSolidRect(m_rect, m_pDC->GetBkColor());
}

CMemDC_Kadmor::~CMemDC_Kadmor()
{
    if (m_bMemDC) {
        // Finish the picture before it is copied.
        Detach();
        const CRect& r = m_rectCopy.IsRectEmpty() ? m_rect : m_rectCopy;
        m_pDC->BitBlt(r.left, r.top, r.Width(), r.Height(), m_bitmap, r.left - m_rect.left, r.top - m_rect.top);
    } else {
        // The target's device stays with the target.
        Detach();
    }
}
