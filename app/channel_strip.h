#pragma once
// The channel views' bar: the shown views in rows of equal columns, as many columns as fit the
// bar's width, so that four or six views stay readable in a narrow bar instead of widening
// the window.

#include <QWidget>

#include <vector>

class QGridLayout;

namespace app {

// The columns for count items of at least itemWidth pixels, spacing apart, in width pixels:
// as many as fit (at least one), then evened out over the rows they need (six items that fit
// four to a row take two rows of three).
int StripColumns(int width, int itemWidth, int spacing, int count);

class ChannelStrip : public QWidget {
public:
    explicit ChannelStrip(QWidget* parent = nullptr);
    // The views, in their order; shown or hidden later by their owner.
    void AddView(QWidget* view);
    // As narrow as one view: the rows follow the width the bar is given.
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();

    QGridLayout* m_grid;
    std::vector<QWidget*> m_views;
    std::vector<QWidget*> m_shown;  // in the grid now
    int m_columns = 0;
};

}  // namespace app
