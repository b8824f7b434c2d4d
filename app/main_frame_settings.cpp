// The frame's settings: read at start-up, written at shut-down, with the window placement,
// the navigation tree and the bar state.
#include "app/main_frame.h"

#include <QCryptographicHash>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <utility>

#include "app/about_window.h"
#include "app/km3_view.h"
#include "app/main_frame_views.h"
#include "app/app_settings.h"
#include "app/window_place.h"
#include "environment/environment.h"
#include "environment/lang_ui.h"
#include "platform/profile.h"
#include "platform/qt_text.h"
#include "platform/qt_translations.h"
#include "res/string_table.h"
#include "sensor_admin/sensor_admin_pages.h"

namespace {

constexpr const char* kSectionWindowPos = "AllViewState\\Configs\\WindowPos";
constexpr const char* kSectionTreeState = "AllViewState\\Configs\\TreeState";
constexpr const char* kSectionBarState = "AllViewState\\BarState\\ViewBar";
constexpr const char* kEntryStatusBar = "StatusBar";
constexpr const char* kEntryUsbPortsOnly = "UsbPortsOnly";
constexpr UINT kTextWriteFailed = 5673;
// Screens smaller than this get the whole of their room at the first start.
constexpr QSize kWholeScreenBelow(1600, 1000);
// The arrangement of the bars that saved states describe; a state saved for an older one is
// not restored, so that the window opens in the present arrangement.
constexpr int kBarLayoutVersion = 1;

int ReadInt(const char* section, const char* entry, int defaultValue)
{
    return platform::GetProfileInt(section, entry, defaultValue);
}

void WriteInt(const char* section, const char* entry, int value)
{
    platform::WriteProfileInt(section, entry, value);
}

// Qt reads a bar state without checking it: an area number out of range, from a hand edit or
// a damaged file, makes it write outside its tables. So the state goes into the file with the
// hash of its bytes, and only a state that still has that hash is handed to Qt; any other
// leaves the bars where a first start puts them.
CString BarStateCheck(const QByteArray& state)
{
    return CString(QCryptographicHash::hash(state, QCryptographicHash::Sha256).toHex().toStdString());
}

// The border and title bar a window manager put around the window; before the window is shown
// they are not known, and room for a title bar is kept above it.
QMargins FrameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    if (!margins.isNull()) return margins;
    return {0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0};
}

}  // namespace

void CMainFrame::LoadSettings()
{
    SetLanguage(ReadInt(app::kSectionLanguage, "Language", 0));
    m_qtTexts->Load(CurrentLanguageCode());
    m_nWriteLogFile = ReadInt(app::kSectionSettings, "WriteLogFile", 1);
    m_fields.startAddProgramPart = platform::GetProfileString(app::kSectionDespiteReset, "PartOfMeasureStartAddProg");
    m_fields.stopAddProgramPart = platform::GetProfileString(app::kSectionDespiteReset, "PartOfMeasureStopAddProg");
    if (m_sensorAdmin) m_sensorAdmin->connection.m_nUsbPortsOnly = ReadInt(app::kSectionSettings, kEntryUsbPortsOnly, 0) == 1 ? 1 : 0;
}

void CMainFrame::LoadWindowPlacement()
{
    const int width = ReadInt(kSectionWindowPos, "Width", 0);
    const int height = ReadInt(kSectionWindowPos, "Height", 0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const bool firstStart = width < 200 || height < 150;
    // On the first start a small screen is taken whole, where less would leave the diagram a
    // narrow strip.
    const bool smallScreen = available.width() < kWholeScreenBelow.width() || available.height() < kWholeScreenBelow.height();
    const bool wholeScreen = ReadInt(kSectionWindowPos, "Maximized", 0) != 0 || (firstStart && smallScreen);
    if (wholeScreen && isVisible() && isMaximized()) {
        // The end of the start-up search applies the placement again to the shown window. One
        // that fills the screen as it should stays as it is (with the normal place it was given
        // at the start): taken out of the maximized state and given the screen's room again, it
        // would keep under a window manager the size it asked for rather than the smaller one
        // the manager gave it, its status bar below the screen's edge.
    } else {
        // At the first start most of the screen, for the pages and the diagram beside them.
        QRect place;
        if (!firstStart) {
            place = QRect(ReadInt(kSectionWindowPos, "Left", 0), ReadInt(kSectionWindowPos, "Top", 0), width, height);
            // A place on a screen that is no longer there is not taken: the size is, centred.
            const QScreen* storedOn = nullptr;
            for (const QScreen* candidate : QGuiApplication::screens())
                if (storedOn == nullptr && candidate->availableGeometry().intersects(place)) storedOn = candidate;
            if (storedOn != nullptr) screen = storedOn;
            else place.moveCenter(available.center());
        }
        // Also a place stored as the whole screen (by a window manager that had no other to give
        // back) becomes one whose title bar the user can reach.
        setGeometry(app::FitNormalPlace(place, screen != nullptr ? screen->availableGeometry() : available,
                                        FrameMargins(*this), minimumSizeHint()));
        if (wholeScreen) {
            // Without a window manager nobody acts on the request to maximize, so the window
            // takes the screen's room itself as well; the place set above stays its normal one.
            m_normalPlaceWhileFilled = geometry();
            if (screen != nullptr) setGeometry(screen->availableGeometry());
            setWindowState(windowState() | Qt::WindowMaximized);
        }
    }
    const int collapsed = ReadInt(kSectionTreeState, "Collapsed", 0);
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) m_tree->topLevelItem(i)->setExpanded((collapsed & (1 << i)) == 0);
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || isMaximized() || isMinimized() || isFullScreen()) return;
    // A window that opened filling the screen was shown with the screen's room, which a window
    // manager takes for its place before the maximizing and gives back when the user takes the
    // window out of that state: the window takes its normal place itself. From then on Qt's own
    // normal place is the right one.
    if (m_normalPlaceWhileFilled.isValid()) setGeometry(std::exchange(m_normalPlaceWhileFilled, QRect()));
}

bool CMainFrame::RestoreBarState()
{
    // The status bar is no dock bar: its own entry, apart from the bars' state.
    statusBar()->setVisible(ReadInt(kSectionBarState, kEntryStatusBar, 1) != 0);
    const QByteArray state = QByteArray::fromHex(QByteArray(platform::GetProfileString(kSectionBarState, "State").GetString()));
    if (state.isEmpty() || platform::GetProfileString(kSectionBarState, "Check") != BarStateCheck(state) ||
        !restoreState(state, kBarLayoutVersion))
        return false;
    m_storedPageWidth = ReadInt(kSectionBarState, "PageWidth", 0);
    m_storedChannelViewsHeight = ReadInt(kSectionBarState, "ChannelViewsHeight", 0);
    return true;
}

void CMainFrame::SaveBarState()
{
    const QByteArray state = saveState(kBarLayoutVersion);
    platform::WriteProfileString(kSectionBarState, "State", CString(state.toHex().toStdString()));
    platform::WriteProfileString(kSectionBarState, "Check", BarStateCheck(state));
    WriteInt(kSectionBarState, "PageWidth", m_view->width());
    WriteInt(kSectionBarState, "ChannelViewsHeight", Bar(kBarChannelViews).height());
    WriteInt(kSectionBarState, kEntryStatusBar, statusBar()->isHidden() ? 0 : 1);
}

void CMainFrame::ArrangeBarsForWindow()
{
    QDockWidget* diagram = m_views ? m_views->DiagramBar() : nullptr;
    if (diagram == nullptr) return;
    // The page column takes the widest page's preferred width, the diagram the rest, above the
    // channel views.
    resizeDocks({diagram}, {width() - m_view->sizeHint().width()}, Qt::Horizontal);
    const int channelHeight = Bar(kBarChannelViews).sizeHint().height();
    resizeDocks({diagram, &Bar(kBarChannelViews)}, {height() - channelHeight, channelHeight}, Qt::Vertical);
    // Above the pages the navigation shows its whole tree, as far as the pages' height allows.
    QDockWidget& navigation = Bar(kBarNavigation);
    const int rows = static_cast<int>(m_treeItems.size());
    const int whole = rows * std::max(1, m_tree->sizeHintForRow(0)) + 2 * m_tree->frameWidth() + navigation.height() - m_tree->height();
    const int room = height() - menuBar()->sizeHint().height() - statusBar()->sizeHint().height() -
                     m_view->minimumSizeHint().height() - 2 * style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
    resizeDocks({&navigation}, {std::max(std::min(whole, room), Bar(kBarStatusLight).minimumSizeHint().height())}, Qt::Vertical);
}

bool CMainFrame::SaveSettings()
{
    if (m_bResetRequested) {
        // The reset takes effect now: nothing of this session is kept but "DespiteReset".
        app::ResetSettingsTree();
    } else {
        WriteInt(app::kSectionLanguage, "Language", GetLanguage());
        WriteInt(app::kSectionSettings, "WriteLogFile", m_nWriteLogFile);
        if (m_sensorAdmin) WriteInt(app::kSectionSettings, kEntryUsbPortsOnly, m_sensorAdmin->connection.UsbPortsOnlyChoice());
        QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
        if (m_normalPlaceWhileFilled.isValid()) normal = m_normalPlaceWhileFilled;
        // A window that was never shown in its normal state has no normal place of its own.
        if (!normal.isValid()) normal = geometry();
        WriteInt(kSectionWindowPos, "Left", normal.x());
        WriteInt(kSectionWindowPos, "Top", normal.y());
        WriteInt(kSectionWindowPos, "Width", normal.width());
        WriteInt(kSectionWindowPos, "Height", normal.height());
        WriteInt(kSectionWindowPos, "Maximized", isMaximized() ? 1 : 0);
        int collapsed = 0;
        for (int i = 0; i < m_tree->topLevelItemCount() && i < 31; ++i)
            if (!m_tree->topLevelItem(i)->isExpanded()) collapsed |= 1 << i;
        WriteInt(kSectionTreeState, "Collapsed", collapsed);
        SaveBarState();
    }
    // What ran here last: for support, and the marker that the first start is over.
    platform::WriteProfileString("SystemInfo", "UserName", CEnvironment::GetUserNameEnv());
    platform::WriteProfileString("SystemInfo", "ProgramVersion", app::kProgramVersion);
    WriteInt("SystemInfo", "FirstRun", 0);
    // The set-up page's add-on paths and the sensor used last, for the next start.
    if (m_hooks.writeProfileValues) m_hooks.writeProfileValues();
    if (app::WriteSettingsFile()) return true;
    // The old file stays whole; the user learns that this session's settings are lost.
    AfxMessageBox(LoadLangString(kTextWriteFailed) + "\n" + platform::ProfileFilePath(), platform::MB_OK | platform::MB_ICONWARNING);
    return false;
}
