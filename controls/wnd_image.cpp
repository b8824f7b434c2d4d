#include "controls/wnd_image.h"

#include <QLayout>
#include <QPainter>

#include "controls/bitmap_resources.h"
#include "controls/owning_dialog.h"
#include "platform/dialog.h"

CWndImage::CWndImage(QWidget* parent) : QWidget(parent) {}

BOOL CWndImage::CreateFromStatic(QWidget* staticControl)
{
    QWidget* parent = staticControl ? staticControl->parentWidget() : nullptr;
    if (!parent) return FALSE;
    const bool visible = !staticControl->isHidden();
    if (parentWidget() != parent) setParent(parent);
    setGeometry(staticControl->geometry());
    setMinimumSize(staticControl->minimumSize());
    setSizePolicy(staticControl->sizePolicy());
    if (QLayout* layout = parent->layout()) {
        // replaceWidget looks through nested layouts of the parent.
        delete layout->replaceWidget(staticControl, this, Qt::FindChildrenRecursively);
    }
    staticControl->hide();
    setVisible(visible);
    const int id = platform::GetDlgCtrlID(staticControl);
    if (id != 0)
        if (CDialog* dialog = controls::OwningDialog(this)) dialog->RegisterControl(id, this);
    return TRUE;
}

BOOL CWndImage::SetBitmap(UINT bitmapId)
{
    const QImage image = controls::LoadBitmapResource(bitmapId);
    if (image.isNull()) return FALSE;
    return SetBitmap(image);
}

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
