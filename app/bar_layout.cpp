#include "app/bar_layout.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>

namespace app {

DiagramRoomKeeper::DiagramRoomKeeper(QMainWindow& window, QDockWidget& diagram, QDockWidget& stacked)
    : QObject(&window), m_window(window), m_diagram(diagram), m_stacked(stacked)
{
    window.installEventFilter(this);
    if (QWidget* central = window.centralWidget()) central->installEventFilter(this);
    stacked.installEventFilter(this);
}

bool DiagramRoomKeeper::Beside() const
{
    const Qt::DockWidgetArea area = m_window.dockWidgetArea(&m_diagram);
    return (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea) && m_diagram.isVisible() &&
           !m_diagram.isFloating();
}

bool DiagramRoomKeeper::Stacked() const
{
    return Beside() && m_window.dockWidgetArea(&m_stacked) == m_window.dockWidgetArea(&m_diagram) &&
           m_stacked.isVisible() && !m_stacked.isFloating() && m_stacked.x() == m_diagram.x();
}

bool DiagramRoomKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Resize) return false;
    QWidget* central = m_window.centralWidget();
    if (central == nullptr) return false;
    // A part changed while the window kept its size: the user moved a separator or a bar, or the
    // part's content changed, and the part keeps what it has now.
    if (watched == central) {
        if (m_window.width() == m_windowWidth || m_windowWidth < 0) m_pageWidth = central->width();
        return false;
    }
    if (watched == &m_stacked) {
        if (m_window.height() == m_windowHeight || m_windowHeight < 0) m_stackedHeight = m_stacked.height();
        return false;
    }
    if (watched != &m_window) return false;
    // The window's layout has already shared the change out; the diagram's bar takes it over,
    // as far as its own minimum allows.
    const bool knownWidth = m_windowWidth >= 0 && m_pageWidth >= 0;
    const bool knownHeight = m_windowHeight >= 0 && m_stackedHeight >= 0;
    m_windowWidth = m_window.width();
    m_windowHeight = m_window.height();
    if (!m_window.isVisible()) return false;
    if (knownWidth) GiveWidthToDiagram();
    if (knownHeight) GiveHeightToDiagram();
    return false;
}

void DiagramRoomKeeper::GiveWidthToDiagram()
{
    QWidget* central = m_window.centralWidget();
    if (central == nullptr || m_pageWidth <= 0 || !Beside() || central->width() == m_pageWidth) return;
    m_window.resizeDocks({&m_diagram}, {m_diagram.width() + central->width() - m_pageWidth}, Qt::Horizontal);
}

void DiagramRoomKeeper::GiveHeightToDiagram()
{
    if (m_stackedHeight <= 0 || !Stacked() || m_stacked.height() == m_stackedHeight) return;
    m_window.resizeDocks({&m_diagram, &m_stacked},
                         {m_diagram.height() + m_stacked.height() - m_stackedHeight, m_stackedHeight}, Qt::Vertical);
}

void DiagramRoomKeeper::Keep(int pageWidth, int stackedHeight)
{
    m_windowWidth = m_window.width();
    m_windowHeight = m_window.height();
    if (pageWidth > 0) {
        m_pageWidth = pageWidth;
        GiveWidthToDiagram();
    }
    if (stackedHeight > 0) {
        m_stackedHeight = stackedHeight;
        GiveHeightToDiagram();
    }
}

}  // namespace app
