#include "app/bar_layout.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>

namespace app {

PageWidthKeeper::PageWidthKeeper(QMainWindow& window, QDockWidget& bar) : QObject(&window), m_window(window), m_bar(bar)
{
    window.installEventFilter(this);
    if (QWidget* central = window.centralWidget()) central->installEventFilter(this);
}

bool PageWidthKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Resize) return false;
    QWidget* central = m_window.centralWidget();
    if (central == nullptr) return false;
    if (watched == central) {
        // The page column changed while the window kept its width: the user moved a separator
        // or a bar, and the column keeps what they chose.
        if (m_window.width() == m_windowWidth || m_windowWidth < 0) m_pageWidth = central->width();
        return false;
    }
    if (watched != &m_window) return false;
    // The window's layout has already given the change to the page column; the diagram's bar
    // takes it over, as far as its own minimum allows.
    const bool known = m_windowWidth >= 0 && m_pageWidth >= 0;
    m_windowWidth = m_window.width();
    const Qt::DockWidgetArea area = m_window.dockWidgetArea(&m_bar);
    const bool beside = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
    if (known && beside && m_window.isVisible() && m_bar.isVisible() && !m_bar.isFloating() && central->width() != m_pageWidth)
        m_window.resizeDocks({&m_bar}, {m_bar.width() + central->width() - m_pageWidth}, Qt::Horizontal);
    return false;
}

void PageWidthKeeper::KeepPageWidth(int width)
{
    QWidget* central = m_window.centralWidget();
    const Qt::DockWidgetArea area = m_window.dockWidgetArea(&m_bar);
    if (central == nullptr || width <= 0 || (area != Qt::LeftDockWidgetArea && area != Qt::RightDockWidgetArea) ||
        !m_bar.isVisible() || m_bar.isFloating())
        return;
    m_windowWidth = m_window.width();
    m_pageWidth = width;
    if (central->width() != width) m_window.resizeDocks({&m_bar}, {m_bar.width() + central->width() - width}, Qt::Horizontal);
}

}  // namespace app
