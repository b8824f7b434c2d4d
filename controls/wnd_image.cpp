#include "controls/wnd_image.h"

#include <QPainter>


CWndImage::CWndImage(QWidget* parent) : QWidget(parent) {}

BOOL CWndImage::SetBitmap(const QImage& image)
{
    m_image = image;
    updateGeometry();
    update();
    return TRUE;
}

QSize CWndImage::sizeHint() const
{
    return m_image.isNull() ? QSize(32, 32) : m_image.size();
}

void CWndImage::paintEvent(QPaintEvent*)
{
    if (m_image.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize size = m_image.size();
    if (size.width() > width() || size.height() > height()) size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    p.drawImage(target, m_image);
}
