#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "controls/xlist_roles.h"
#include "platform/win_types.h"

namespace controls::xlist {

namespace {

QColor FromColorRef(const QVariant& value, QColor fallback)
{
    if (!value.isValid()) return fallback;
    const COLORREF c = static_cast<COLORREF>(value.toUInt());
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        p->save();
        const QRect cell = option.rect;
        const QColor background = FromColorRef(index.data(kBkColorRole), Qt::white);
        const QColor foreground = FromColorRef(index.data(kTextColorRole), Qt::black);
        p->fillRect(cell, background);
        // The selection shows as a tint over the cell's own colour, which stays readable.
        if (option.state & QStyle::State_Selected) {
            QColor tint = option.palette.color(QPalette::Highlight);
            tint.setAlpha(70);
            p->fillRect(cell, tint);
        }

        QRect textRect = cell.adjusted(4, 0, -4, 0);
        const QVariant check = index.data(kCheckRole);
        if (check.isValid()) textRect = DrawCheck(p, option, cell, check.toInt() != 0, !index.data().toString().isEmpty());

        const QVariant progress = index.data(kProgressRole);
        if (progress.isValid()) {
            DrawProgress(p, option, cell, progress.toInt());
        } else {
            const QString text = index.data().toString();
            if (!text.isEmpty()) {
                p->setPen(foreground);
                p->setFont(option.font);
                const int align = index.data(Qt::TextAlignmentRole).isValid()
                                      ? index.data(Qt::TextAlignmentRole).toInt()
                                      : int(Qt::AlignLeft | Qt::AlignVCenter);
                p->drawText(textRect, align | Qt::TextSingleLine,
                            option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
            }
        }
        p->restore();
    }

private:
    // Draws the check box (centred when the cell has no text) and returns what is left for text.
    static QRect DrawCheck(QPainter* p, const QStyleOptionViewItem& option, const QRect& cell, bool checked,
                           bool withText)
    {
        QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        QStyleOptionButton box;
        box.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        const int side = std::min(cell.height() - 4, style->pixelMetric(QStyle::PM_IndicatorWidth));
        const int x = withText ? cell.left() + 4 : cell.center().x() - side / 2;
        box.rect = QRect(x, cell.center().y() - side / 2, side, side);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, p, option.widget);
        return QRect(box.rect.right() + 5, cell.top(), cell.right() - box.rect.right() - 8, cell.height());
    }

    static void DrawProgress(QPainter* p, const QStyleOptionViewItem& option, const QRect& cell, int percent)
    {
        const QRect bar = cell.adjusted(2, 2, -3, -3);
        p->setPen(QColor(128, 128, 128));
        p->setBrush(Qt::white);
        p->drawRect(bar);
        const int filled = (bar.width() - 1) * percent / 100;
        if (filled > 0) p->fillRect(QRect(bar.left() + 1, bar.top() + 1, filled, bar.height() - 1), QColor(6, 176, 37));
        p->setPen(Qt::black);
        p->setFont(option.font);
        p->drawText(bar, Qt::AlignCenter, QStringLiteral("%1%").arg(percent));
    }
};

}  // namespace

QStyledItemDelegate* NewDelegate(QObject* parent)
{
    return new CellDelegate(parent);
}

}  // namespace controls::xlist
