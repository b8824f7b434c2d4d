#include "app/channel_strip.h"

#include <QEvent>
#include <QGridLayout>

#include <algorithm>

namespace app {

int StripColumns(int width, int itemWidth, int spacing, int count)
{
    if (count <= 0) return 1;
    const int fit = itemWidth + spacing > 0 ? (width + spacing) / (itemWidth + spacing) : count;
    const int columns = std::clamp(fit, 1, count);
    const int rows = (count + columns - 1) / columns;
    return (count + rows - 1) / rows;
}

ChannelStrip::ChannelStrip(QWidget* parent) : QWidget(parent), m_grid(new QGridLayout(this))
{
    m_grid->setContentsMargins(2, 2, 2, 2);
    // The grid's own minimum is that of its present columns; the strip answers for it instead.
    m_grid->setSizeConstraint(QLayout::SetNoConstraint);
}

QSize ChannelStrip::minimumSizeHint() const
{
    int itemWidth = 0;
    for (QWidget* view : m_shown) itemWidth = std::max(itemWidth, view->minimumSizeHint().width());
    const QMargins margins = m_grid->contentsMargins();
    return {itemWidth + margins.left() + margins.right(), m_grid->minimumSize().height()};
}

void ChannelStrip::AddView(QWidget* view)
{
    m_views.push_back(view);
    view->installEventFilter(this);
    m_columns = 0;
    Relayout();
}

bool ChannelStrip::eventFilter(QObject* watched, QEvent* event)
{
    // A view shown or hidden takes its place in the rows or gives it up.
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) Relayout();
    return QWidget::eventFilter(watched, event);
}

void ChannelStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void ChannelStrip::Relayout()
{
    std::vector<QWidget*> shown;
    int itemWidth = 0;
    for (QWidget* view : m_views) {
        if (view->isHidden()) continue;
        shown.push_back(view);
        itemWidth = std::max(itemWidth, view->minimumSizeHint().width());
    }
    const QMargins margins = m_grid->contentsMargins();
    const int columns =
        StripColumns(width() - margins.left() - margins.right(), itemWidth, m_grid->horizontalSpacing(), static_cast<int>(shown.size()));
    if (columns == m_columns && shown == m_shown) return;
    m_columns = columns;
    m_shown = shown;
    // Hidden views stay out of the grid, so that they hold no row or column open.
    for (QWidget* view : m_views) m_grid->removeWidget(view);
    for (int c = 0; c < m_grid->columnCount(); ++c) m_grid->setColumnStretch(c, 0);
    for (std::size_t i = 0; i < shown.size(); ++i)
        m_grid->addWidget(shown[i], static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    for (int c = 0; c < columns; ++c) m_grid->setColumnStretch(c, 1);
    updateGeometry();
    // Room the bar has beyond the views stays below them.
    for (int r = 0; r < m_grid->rowCount(); ++r) m_grid->setRowStretch(r, 0);
    m_grid->setRowStretch(static_cast<int>(shown.size() + columns - 1) / columns, 1);
}

}  // namespace app
