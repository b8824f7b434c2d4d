#pragma once
// How the main window shares its room with the diagram. The page column keeps the width it has,
// and the bar stacked with the diagram (the channel views) the height it has: their preferred
// sizes at first, later whatever the user drags them to. Every change of the window's size goes
// to the diagram's bar, which grows with a growing window and is the first to give way to a
// shrinking one.

#include <QObject>

class QMainWindow;
class QDockWidget;

namespace app {

class DiagramRoomKeeper : public QObject {
public:
    // Watches the window, its central widget and the stacked bar; the keeper is a child of the
    // window.
    DiagramRoomKeeper(QMainWindow& window, QDockWidget& diagram, QDockWidget& stacked);

    // The page column takes this width and the stacked bar this height (as far as the bars'
    // minimums allow) and keep them; the diagram has the rest. For a shown window whose bars
    // came from a stored state; a size of 0 or less leaves that side as it is.
    void Keep(int pageWidth, int stackedHeight);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Beside() const;   // the diagram is docked left or right of the pages
    bool Stacked() const;  // the stacked bar is docked in the diagram's column
    void GiveWidthToDiagram();
    void GiveHeightToDiagram();

    QMainWindow& m_window;
    QDockWidget& m_diagram;
    QDockWidget& m_stacked;
    int m_pageWidth = -1;      // what the page column should keep
    int m_windowWidth = -1;    // the window's width when m_pageWidth was taken
    int m_stackedHeight = -1;  // what the stacked bar should keep
    int m_windowHeight = -1;   // the window's height when m_stackedHeight was taken
};

}  // namespace app
