#include "chart/property_list_items.h"

#include <QComboBox>
#include <QPainter>
#include <QStyledItemDelegate>

#include <memory>

#include "chart/dcex.h"
#include "chart/painter_device.h"
#include "platform/sys_color.h"

namespace chart {

namespace {

constexpr int kItemHeight = 16;

// The line-style texts of the original list; they stay as the items' accessible texts.
const char* const kLineStyleTexts[5] = {
    "_____________________",
    "_ _ _ _ _ _ _ _ _ _ _ _ _ _ ",
    "..........................................",
    "_._._._._._._._._._._._._._.",
    "_.._.._.._.._.._.._.._.._.._.._",
};

Qt::PenStyle QtPenStyle(int style)
{
    switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// Paints an item as a line in the pen style of its index, on the highlight when selected.
class PenStyleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, ToQColor(platform::GetSysColor(selected ? platform::COLOR_HIGHLIGHT : platform::COLOR_WINDOW)));
        painter->setPen(QPen(Qt::black, 1, QtPenStyle(index.row())));
        const int y = option.rect.top() + 6;
        painter->drawLine(option.rect.left(), y, option.rect.right(), y);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight);
    }
};

QIcon PenStyleIcon(int style)
{
    QPixmap picture(100, kItemHeight);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 1, QtPenStyle(style)));
    painter.drawLine(0, 6, 99, 6);
    return QIcon(picture);
}

QIcon MarkerIcon(int marker)
{
    QImage image(kItemHeight, kItemHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        auto device = std::make_shared<ImageDevice>(image);
        CDCEx dc(device);
        kMarkerPainters[marker](2, 2, 10, 0, 0, &dc);
    }
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace

void MakePenStyleList(QComboBox* combo, int count)
{
    combo->setItemDelegate(new PenStyleDelegate(combo));
    combo->setIconSize(QSize(100, kItemHeight));
    for (int i = 0; i < count; ++i) combo->addItem(PenStyleIcon(i), QString(), QString::fromLatin1(kLineStyleTexts[i % 5]));
}

void MakeMarkerList(QComboBox* combo)
{
    combo->setIconSize(QSize(kItemHeight, kItemHeight));
    for (int i = 0; i < kMarkerPainterCount; ++i) combo->addItem(MarkerIcon(i), QString());
}

QIcon FillStyleIcon(int style)
{
    static const Qt::BrushStyle kStyles[7] = {Qt::HorPattern,   Qt::VerPattern,       Qt::FDiagPattern, Qt::BDiagPattern,
                                              Qt::CrossPattern, Qt::DiagCrossPattern, Qt::SolidPattern};
    QPixmap picture(24, 16);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(QBrush(Qt::black, kStyles[style >= 0 && style < 7 ? style : 6]));
    painter.drawRect(0, 0, 23, 15);
    return QIcon(picture);
}

}  // namespace chart
