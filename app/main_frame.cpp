#include "app/main_frame.h"

#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTreeWidget>

#include <algorithm>
#include <set>

#include "app/about_window.h"
#include "app/bar_layout.h"
#include "app/main_frame_documentation.h"
#include "app/main_frame_views.h"
#include "environment/date_time_text.h"
#include "environment/lang_ui.h"
#include "app/km3_view.h"
#include "app/menu_model.h"
#include "platform/profile.h"
#include "platform/qt_text.h"
#include "platform/qt_translations.h"
#include "res/string_table.h"
#include "workflow/port_man_adapter.h"

namespace {

constexpr UINT kTextProgramTitle = 5680;
constexpr std::array<UINT, kBarCount> kBarTextIds{5730, 5731, 5732};
constexpr std::array<const char*, kBarCount> kBarNames{"NavigationBar", "ChannelViewBar", "StatusLightBar"};

QString Text(UINT id)
{
    return platform::ToQString(LoadLangString(id));
}

}  // namespace

CMainFrame::CMainFrame(workflow::ISensorPortFactory* ports, QWidget* parent)
    : QMainWindow(parent),
      m_ownPorts(ports == nullptr ? std::make_unique<workflow::PortManSensorPortFactory>() : nullptr),
      m_qtTexts(std::make_unique<platform::QtTranslations>()),
      m_com(ports != nullptr ? ports : m_ownPorts.get())
{
    setObjectName("MainFrame");
    AfxSetMainWnd(this);
    m_com.SetInterpolateLostValues(1);
    m_sequencer = std::make_unique<CConfigWriteSequencer>(m_com);
    m_peers.frame = this;
    m_peers.sequencer = m_sequencer.get();
    UpdatePeers();
    InstallDocumentation();
    InstallSensorAdmin();

    LoadSettings();
    platform::CreateLocalAppDataFolder();

    m_view = new CKm3View(this);
    setCentralWidget(m_view);
    BuildStatusBar();
    BuildBars();
    InstallViews();
    const bool barsRestored = RestoreBarState();
    RefreshClock();
    BuildMenu();
    LoadLanguageTexts();
    LoadWindowPlacement();
    m_bArrangeBarsOnShow = !barsRestored;
    if (m_views && m_views->DiagramBar())
        m_roomKeeper = new app::DiagramRoomKeeper(*this, *m_views->DiagramBar(), Bar(kBarChannelViews));
    // Handled after the registrations that the pages posted while they were made.
    PostMessage(kMsgStartupDone);
}

CMainFrame::~CMainFrame()
{
    if (AfxGetMainWnd() == this) AfxSetMainWnd(nullptr);
    // The pages and the views in the bars may reach the frame's members (the controller, the
    // wiring of the subsystems) until they are gone, so they go first: the members would
    // otherwise be destroyed before QWidget's destructor deletes the child widgets. The files of
    // a measurement still open end first: they follow the documentation page's settings.
    if (m_documentation) m_documentation->EndWithoutClose();
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The window has its size now, and the bars are shared out for it once.
    if (m_bArrangeBarsOnShow) {
        m_bArrangeBarsOnShow = false;
        ArrangeBarsForWindow();
    } else if (m_roomKeeper != nullptr) {
        // Bars of a stored state: the pages and the channel views have their former size also in
        // a window that opens larger, and the diagram the rest.
        m_roomKeeper->Keep(std::exchange(m_storedPageWidth, 0), std::exchange(m_storedChannelViewsHeight, 0));
    }
}

int CMainFrame::GetLanguage()
{
    return ::GetLanguage();
}

// ---- Menu, tree, bars, status bar ------------------------------------------------------------

void CMainFrame::BuildMenu()
{
    const std::vector<app::Menu>& model = app::MainMenu();
    auto* languages = new QActionGroup(this);
    for (std::size_t m = 0; m < model.size(); ++m) {
        QMenu* menu = menuBar()->addMenu(QString());
        m_menus.push_back(menu);
        m_menuActions.emplace_back();
        for (std::size_t e = 0; e < model[m].entries.size(); ++e) {
            const app::MenuEntry& entry = model[m].entries[e];
            QAction* action = menu->addAction(QString());
            m_menuActions.back().push_back(action);
            if (entry.command == app::Command::SetLanguage) {
                action->setCheckable(true);
                action->setChecked(entry.argument == GetLanguage());
                languages->addAction(action);
            } else if (entry.command == app::Command::ToggleBar || entry.command == app::Command::ToggleStatusBar) {
                action->setCheckable(true);
            }
            if (entry.command == app::Command::Exit || entry.command == app::Command::ResetSettings) {
                if (entry.command == app::Command::Exit) menu->insertSeparator(action);
            }
            const int menuIndex = static_cast<int>(m);
            const int entryIndex = static_cast<int>(e);
            QObject::connect(action, &QAction::triggered, this, [this, menuIndex, entryIndex] { RunCommand(menuIndex, entryIndex); });
        }
        QObject::connect(menu, &QMenu::aboutToShow, this, [this, m] {
            // The View menu shows which bars are visible now.
            const std::vector<app::MenuEntry>& entries = app::MainMenu()[m].entries;
            for (std::size_t e = 0; e < entries.size(); ++e) {
                if (entries[e].command == app::Command::ToggleBar)
                    m_menuActions[m][e]->setChecked(m_bars[static_cast<std::size_t>(entries[e].argument)]->isVisible());
                else if (entries[e].command == app::Command::ToggleStatusBar) {
                    m_menuActions[m][e]->setChecked(statusBar()->isVisible());
                    // Bars that the subsystems add themselves are offered here too.
                    for (QDockWidget* dock : findChildren<QDockWidget*>()) {
                        const bool own = std::find(m_bars.begin(), m_bars.end(), dock) != m_bars.end();
                        if (!own && !m_menus[m]->actions().contains(dock->toggleViewAction()))
                            m_menus[m]->insertAction(m_menuActions[m][e], dock->toggleViewAction());
                    }
                }
            }
        });
    }
}

void CMainFrame::BuildNavigationTree()
{
    m_tree = new QTreeWidget;
    m_tree->setObjectName("NavigationTree");
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    const std::vector<app::Menu>& model = app::MainMenu();
    for (std::size_t m = 0; m < model.size(); ++m) {
        QTreeWidgetItem* group = nullptr;
        for (std::size_t e = 0; e < model[m].entries.size(); ++e) {
            if (!model[m].entries[e].inTree) continue;
            if (group == nullptr) {
                group = new QTreeWidgetItem(m_tree);
                m_treeItems.push_back({group, {static_cast<int>(m), -1}});
            }
            auto* item = new QTreeWidgetItem(group);
            m_treeItems.push_back({item, {static_cast<int>(m), static_cast<int>(e)}});
        }
    }
    m_tree->expandAll();
    QObject::connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        for (const auto& [treeItem, place] : m_treeItems)
            if (treeItem == item && place.second >= 0) RunCommand(place.first, place.second);
    });
    QObject::connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        for (const auto& [treeItem, place] : m_treeItems)
            if (treeItem == item && place.second >= 0) RunCommand(place.first, place.second);
    });
}

void CMainFrame::BuildBars()
{
    // The page column on the left with the navigation and the status light above it; the
    // diagram (added with the views) and the channel views below it fill the right side from
    // the menu to the status bar.
    setCorner(Qt::TopLeftCorner, Qt::TopDockWidgetArea);
    setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    BuildNavigationTree();
    for (int bar = 0; bar < kBarCount; ++bar) {
        auto* dock = new QDockWidget(this);
        dock->setObjectName(kBarNames[static_cast<std::size_t>(bar)]);
        dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
        if (bar == kBarNavigation) {
            dock->setWidget(m_tree);
        } else {
            // Filled by the views when they are wired in.
            auto* empty = new QWidget(dock);
            if (bar == kBarChannelViews)
                empty->setMinimumHeight(90);
            else
                empty->setMinimumWidth(140);
            dock->setWidget(empty);
        }
        addDockWidget(bar == kBarChannelViews ? Qt::RightDockWidgetArea : Qt::TopDockWidgetArea, dock);
        m_bars[static_cast<std::size_t>(bar)] = dock;
    }
    splitDockWidget(m_bars[kBarNavigation], m_bars[kBarStatusLight], Qt::Horizontal);
}

void CMainFrame::BuildStatusBar()
{
    for (std::size_t pane = 0; pane < m_statusPanes.size(); ++pane) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("StatusPane%1").arg(pane));
        m_statusPanes[pane] = label;
        if (pane == 0)
            statusBar()->addWidget(label, 1);
        else
            statusBar()->addPermanentWidget(label);
    }
}

void CMainFrame::RefreshClock()
{
    const CDateTimeText now = CDateTimeText::Now();
    m_statusPanes[1]->setText(platform::ToQString(now.Time()));
    m_statusPanes[2]->setText(platform::ToQString(now.Date()));
    m_statusPanes[3]->setText(platform::ToQString(now.Weekday()));
    SetTimer(kTimerClock, 1000);
}

// ---- Language ----------------------------------------------------------------------------------

void CMainFrame::LoadLanguageTexts()
{
    setWindowTitle(Text(kTextProgramTitle));
    const std::vector<app::Menu>& model = app::MainMenu();
    for (std::size_t m = 0; m < model.size() && m < m_menus.size(); ++m) {
        m_menus[m]->setTitle(Text(model[m].textId));
        for (std::size_t e = 0; e < model[m].entries.size(); ++e) {
            QAction* action = m_menuActions[m][e];
            const app::MenuEntry& entry = model[m].entries[e];
            action->setText(Text(entry.textId));
            if (entry.command == app::Command::SetLanguage) action->setChecked(entry.argument == GetLanguage());
        }
    }
    for (const auto& [item, place] : m_treeItems) {
        const app::Menu& menu = model[static_cast<std::size_t>(place.first)];
        item->setText(0, Text(place.second < 0 ? menu.textId : menu.entries[static_cast<std::size_t>(place.second)].textId));
    }
    // The tree keeps room for its longest entry, whatever other bars share its side.
    int widest = 0;
    for (const auto& [item, place] : m_treeItems)
        widest = std::max(widest, m_tree->fontMetrics().horizontalAdvance(item->text(0)) + (place.second < 0 ? 1 : 2) * m_tree->indentation());
    m_tree->setMinimumWidth(widest + 2 * m_tree->frameWidth() + 12);
    for (std::size_t bar = 0; bar < m_bars.size(); ++bar) m_bars[bar]->setWindowTitle(Text(kBarTextIds[bar]));
    if (m_statusTextId != 0) m_statusMessage = LoadLangString(m_statusTextId);
    m_statusPanes[0]->setText(m_statusMessage.IsEmpty() ? Text(5671) : platform::ToQString(m_statusMessage));
    RefreshClock();
    // Every page, view and bar content of the window, and every registered object that is not a
    // widget of it: each once.
    std::set<ILanguageTexts*> told;
    auto tell = [&told](ILanguageTexts* texts) {
        if (texts != nullptr && told.insert(texts).second) texts->LoadLanguageTexts();
    };
    for (QWidget* widget : findChildren<QWidget*>()) tell(dynamic_cast<ILanguageTexts*>(widget));
    for (int kind = 0; kind < kFrameObjectKindCount; ++kind) {
        void* address = m_registered[static_cast<std::size_t>(kind)];
        if (address == nullptr) continue;
        // Only the workflow kinds carry a polymorphic interface pointer the frame can look into.
        switch (kind) {
        case kFrameConnectionPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IConnectionPage*>(address))); break;
        case kFrameInformationPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IInformationPage*>(address))); break;
        case kFrameMeasureSetupPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IMeasureSetupPage*>(address))); break;
        case kFrameDocumentationPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IDocumentationPage*>(address))); break;
        case kFrameCalibrationPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::ICalibrationPage*>(address))); break;
        case kFrameMeasureControlPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IMeasureControlPage*>(address))); break;
        case kFrameDiagnosticPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IDiagnosticPage*>(address))); break;
        case kFrameStartUpPage: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IStartUpPage*>(address))); break;
        case kFrameDiagramView: tell(dynamic_cast<ILanguageTexts*>(static_cast<workflow::IDiagramView*>(address))); break;
        default: break;
        }
    }
}

void CMainFrame::SwitchLanguage(int offset)
{
    SetLanguage(offset);
    m_qtTexts->Load(CurrentLanguageCode());
    LoadLanguageTexts();
}

// ---- Commands ----------------------------------------------------------------------------------

void CMainFrame::RunCommand(int menu, int entry)
{
    const app::MenuEntry& e = app::MainMenu()[static_cast<std::size_t>(menu)].entries[static_cast<std::size_t>(entry)];
    switch (e.command) {
    case app::Command::ShowPage: ShowPage(e.argument); break;
    case app::Command::ResetSettings:
        if (LangMessageBox(5676, platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES) RequestSettingsReset();
        break;
    case app::Command::Exit: close(); break;
    case app::Command::ToggleBar: {
        const auto bar = static_cast<FrameBar>(e.argument);
        ShowBar(bar, !Bar(bar).isVisible());
        break;
    }
    case app::Command::ToggleStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
    case app::Command::SetLanguage: SwitchLanguage(e.argument); break;
    case app::Command::About: ShowAbout(); break;
    }
}

void CMainFrame::ShowPage(int pageIndex)
{
    m_view->ShowPage(pageIndex);
    MarkPageInTree(pageIndex);
}

void CMainFrame::MarkPageInTree(int pageIndex)
{
    for (const auto& [item, place] : m_treeItems) {
        if (place.second < 0) continue;
        const app::MenuEntry& e = app::MainMenu()[static_cast<std::size_t>(place.first)].entries[static_cast<std::size_t>(place.second)];
        if (e.command == app::Command::ShowPage && e.argument == pageIndex) m_tree->setCurrentItem(item);
    }
}

void CMainFrame::ShowAbout()
{
    if (m_about == nullptr) m_about = new app::AboutWindow(this);
    m_about->LoadLanguageTexts();
    m_about->show();
    m_about->raise();
}
