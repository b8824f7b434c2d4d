#pragma once
// How the main window shares its room with the diagram. The page column keeps the width it has,
// its preferred width at first and later whatever the user drags it to; every change of the
// window's width goes to the diagram's bar, which grows with a growing window and is the first
// to give way to a shrinking one.

#include <QObject>

class QMainWindow;
class QDockWidget;

namespace app {

class PageWidthKeeper : public QObject {
public:
    // Watches the window and its central widget; the keeper is a child of the window.
    PageWidthKeeper(QMainWindow& window, QDockWidget& bar);
    // The page column takes this width (as far as the bars' minimums allow) and keeps it; the
    // diagram's bar has the rest. For a shown window whose bars came from a stored state.
    void KeepPageWidth(int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow& m_window;
    QDockWidget& m_bar;
    int m_pageWidth = -1;    // what the page column should keep
    int m_windowWidth = -1;  // the window's width when m_pageWidth was taken
};

}  // namespace app
