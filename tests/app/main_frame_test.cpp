// The real main frame, offscreen, on a virtual-time loop: its window parts, the menu and tree
// leading to the pages, the language switch, the settings across a restart, the workflow's
// timers running a connection to a simulated sensor, and the close that waits for the
// configuration write.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QKeyEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdlib>
#include <memory>

#include "app/app_settings.h"
#include "app/km3_view.h"
#include "app/main_frame.h"
#include "app/main_frame_views.h"
#include "app/page_table.h"
#include "chart/chart_hooks.h"
#include "chart/xgraph.h"
#include "environment/number_text.h"
#include "measurement/measure_control_ids.h"
#include "measurement/measure_setup_ids.h"
#include "measurement/measure_control_panel.h"
#include "measurement/measure_control_widget.h"
#include "measurement/measure_setup_widget.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "platform/profile.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"
#include "sensor_admin/forms/form_ids.h"
#include "sensor_admin/forms/sensor_admin_forms.h"
#include "sensor_admin/sensor_admin_pages.h"
#include "tests/app/app_test_support.h"
#include "tests/workflow/workflow_bench.h"
#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "views/graphic_display_wnd.h"

using app_test::FindPage;
using app_test::TempProfile;

namespace {

// The page area: the window's central widget.
CKm3View& PagesOf(CMainFrame& frame) { return *dynamic_cast<CKm3View*>(frame.centralWidget()); }

QString MenuTitle(CMainFrame& frame, int index)
{
    return frame.menuBar()->actions().at(index)->text();
}

// The menu entry whose text is the given one.
QAction* MenuEntry(CMainFrame& frame, const QString& text)
{
    for (QAction* menu : frame.menuBar()->actions())
        for (QAction* entry : menu->menu()->actions())
            if (entry->text() == text) return entry;
    return nullptr;
}

void PressKey(QWidget& widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

struct FrameFixture : ::testing::Test {
    TempProfile profile;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxScope{&boxes};
    ~FrameFixture() override { SetLanguage(0); }
};

}  // namespace

TEST_F(FrameFixture, WindowHasMenuTreeBarsAndStatusBarWithClock)
{
    CMainFrame frame;
    frame.show();
    const QStringList expected{"Datei", "Betriebsmodus", "Konfigurationsmodus", "Ansicht", "Sprache", "Hilfe"};
    ASSERT_EQ(frame.menuBar()->actions().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(MenuTitle(frame, i), expected[i]);
    for (QAction* menu : frame.menuBar()->actions())
        for (QAction* entry : menu->menu()->actions())
            EXPECT_TRUE(entry->isSeparator() || !entry->text().contains('@')) << entry->text().toStdString();
    // The tree mirrors the menus that lead to pages.
    QTreeWidget& tree = frame.NavigationTree();
    ASSERT_EQ(tree.topLevelItemCount(), 3);
    EXPECT_EQ(tree.topLevelItem(2)->text(0), "Konfigurationsmodus");
    EXPECT_EQ(tree.topLevelItem(2)->child(0)->text(0), "Sensorverbindung");
    for (FrameBar bar : {kBarNavigation, kBarChannelViews, kBarStatusLight}) EXPECT_TRUE(frame.Bar(bar).isVisible());
    frame.ShowBar(kBarStatusLight, false);
    EXPECT_FALSE(frame.Bar(kBarStatusLight).isVisible());
    // "View" offers every bar of the window, also those a subsystem adds, and shows its state.
    QMenu* view = frame.menuBar()->actions().at(3)->menu();
    Q_EMIT view->aboutToShow();
    for (QDockWidget* dock : frame.findChildren<QDockWidget*>()) {
        QAction* entry = MenuEntry(frame, dock->windowTitle());
        ASSERT_NE(entry, nullptr) << dock->windowTitle().toStdString();
        EXPECT_EQ(entry->isChecked(), dock->isVisible()) << dock->windowTitle().toStdString();
    }

    // Time, date and weekday panes, refreshed every second by the frame's own timer.
    EXPECT_EQ(frame.StatusPane(0).text(), "Bereit");
    EXPECT_EQ(frame.StatusPane(1).text().size(), 8);   // hh:mm:ss
    EXPECT_EQ(frame.StatusPane(2).text().size(), 10);  // dd.mm.yyyy
    EXPECT_FALSE(frame.StatusPane(3).text().isEmpty());
    frame.StatusPane(1).clear();
    loop.RunFor(1000);
    EXPECT_EQ(frame.StatusPane(1).text().size(), 8);
    EXPECT_TRUE(frame.IsTimerArmed(kTimerClock));
}

TEST_F(FrameFixture, EveryMenuEntryAndTreeItemShowsItsPage)
{
    CMainFrame frame;
    frame.show();
    EXPECT_EQ(PagesOf(frame).currentIndex(), app::kPageLogo);
    for (const app::PageSlot& slot : app::PageTable()) {
        QAction* entry = MenuEntry(frame, platform::ToQString(LoadLangString(slot.captionId)));
        ASSERT_NE(entry, nullptr) << slot.captionId;
        frame.ShowPage(app::kPageLogo);
        entry->trigger();
        EXPECT_EQ(PagesOf(frame).currentIndex(), slot.index);
        EXPECT_EQ(frame.GetActiveViewKind(), slot.kind);
        EXPECT_TRUE(PagesOf(frame).Page(slot.index)->isVisibleTo(&PagesOf(frame)));
        // With no sensor known, no caption of the page is still its form's placeholder.
        for (QWidget* widget : PagesOf(frame).Page(slot.index)->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(widget);
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            const QString text = label ? label->text() : button ? button->text() : QString();
            EXPECT_FALSE(widget->isVisible() && text.startsWith("IDC_")) << text.toStdString() << " on page " << slot.index;
        }
    }
    // Nor does the set-up page offer a power: one is computed from a device's sensors.
    const auto* setup = dynamic_cast<CDialog*>(PagesOf(frame).Page(app::kPageMeasureSetup));
    ASSERT_NE(setup, nullptr);
    for (int id : measurement::kPowerButton) EXPECT_FALSE(setup->Item<QWidget>(id)->isVisibleTo(setup)) << id;
    QTreeWidgetItem* control = frame.NavigationTree().topLevelItem(1)->child(0);
    Q_EMIT frame.NavigationTree().itemClicked(control, 0);
    EXPECT_EQ(frame.GetActiveViewKind(), app::kKindMeasureControl);
}

TEST_F(FrameFixture, LanguageSwitchRelabelsMenuTreeBarsAndPagesAndTheDecimalSeparator)
{
    CMainFrame frame;
    frame.ShowPage(app::kPageDiagnostics);
    // Qt's own texts (message box buttons, file dialogs) speak the program's language.
    const auto qtCancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(qtCancel(), "Abbrechen");
    MenuEntry(frame, "English")->trigger();
    EXPECT_EQ(qtCancel(), "Cancel");
    EXPECT_EQ(GetLanguage(), 1000);
    EXPECT_EQ(MenuTitle(frame, 0), "File");
    EXPECT_EQ(MenuTitle(frame, 2), "Configuration Mode");
    EXPECT_EQ(frame.NavigationTree().topLevelItem(2)->child(3)->text(0), "Diagnostics");
    EXPECT_EQ(frame.Bar(kBarChannelViews).windowTitle(), "Channel views");
    EXPECT_EQ(frame.StatusPane(0).text(), "Ready");
    EXPECT_EQ(PagesOf(frame).Page(app::kPageDiagnostics)->windowTitle(), "Diagnostics");
    EXPECT_EQ(FormatDouble(1.5, 2), CString("1.50"));

    MenuEntry(frame, platform::ToQString("Français"))->trigger();
    EXPECT_EQ(MenuTitle(frame, 3), "Affichage");
    EXPECT_EQ(qtCancel(), "Annuler");
    EXPECT_EQ(PagesOf(frame).Page(app::kPageLogo)->findChildren<QLabel*>().at(2)->text(), "Version 2.04");
    EXPECT_EQ(FormatDouble(1.5, 2), CString("1,50"));
    EXPECT_EQ(frame.StatusPane(3).text().isEmpty(), false);
    // A message the program put up by its id follows the language too.
    frame.SetStatusText(5270);
    MenuEntry(frame, "English")->trigger();
    EXPECT_EQ(frame.StatusPane(0).text(), "Ready for use. Sensor connected");
    MenuEntry(frame, platform::ToQString("Français"))->trigger();
    // The language is kept for the next start.
    frame.close();
    EXPECT_EQ(platform::GetProfileInt("Language", "Language", -1), 2000);
}

TEST_F(FrameFixture, PlacementTreeAndBarsSurviveARestart)
{
    QSize wanted;
    int pages = 0, channels = 0;
    // Smaller than the screen, with room above it for the title bar a window manager adds.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const auto reachable = [&available](const QWidget& window) {
        return available.contains(window.frameGeometry()) && window.geometry().top() >= available.top() + 20 &&
               window.width() < available.width() && window.height() < available.height();
    };
    {
        CMainFrame frame;  // a first start fills the screen; taken out of that state, it is reachable
        frame.setWindowState(Qt::WindowNoState);
        frame.show();
        EXPECT_TRUE(reachable(frame)) << frame.geometry().x() << "," << frame.geometry().y();
        // A size the window can take whatever the pages and views need at the least.
        wanted = frame.minimumSizeHint().expandedTo(QSize(900, 640)) + QSize(37, 23);
        frame.resize(wanted);
        frame.move(40, 30);
        frame.ShowBar(kBarStatusLight, false);
        frame.NavigationTree().topLevelItem(1)->setExpanded(false);
        // The status bar hidden from the View menu, USB ports only ticked on the connection page.
        MenuEntry(frame, "Statusleiste")->trigger();
        frame.ShowPage(app::kPageConnection);
        FindPage<sensor_admin::SensorConnectionForm>(frame)->Item<QAbstractButton>(sensor_admin::IDC_CONN_USB_ONLY)->click();
        QApplication::processEvents();
        pages = PagesOf(frame).width();
        channels = frame.Bar(kBarChannelViews).height();
        frame.close();
        ASSERT_TRUE(frame.IsClosed());
    }
    {
        CMainFrame again;
        again.show();
        EXPECT_EQ(again.size(), wanted);
        EXPECT_EQ(again.pos(), QPoint(40, 30));
        EXPECT_FALSE(again.Bar(kBarStatusLight).isVisible());
        EXPECT_TRUE(again.Bar(kBarNavigation).isVisible());
        EXPECT_FALSE(again.NavigationTree().topLevelItem(1)->isExpanded());
        EXPECT_TRUE(again.NavigationTree().topLevelItem(2)->isExpanded());
        EXPECT_FALSE(again.statusBar()->isVisible());
        again.ShowPage(app::kPageConnection);
        EXPECT_TRUE(FindPage<sensor_admin::SensorConnectionForm>(again)->IsDlgButtonChecked(sensor_admin::IDC_CONN_USB_ONLY));
    }
    // A window that opens larger than it was gives the difference to the diagram: the pages
    // keep their width and the channel views their height. Stored as the whole screen, it
    // opens reachable.
    for (const auto& [entry, value] : {std::pair{"Left", 0}, {"Top", 0}, {"Width", available.width()}, {"Height", available.height()}})
        platform::WriteProfileInt("AllViewState\\Configs\\WindowPos", entry, value);
    {
        CMainFrame larger;
        larger.show();
        QApplication::processEvents();
        EXPECT_TRUE(reachable(larger));
        EXPECT_EQ(PagesOf(larger).width(), pages);
        EXPECT_EQ(larger.Bar(kBarChannelViews).height(), channels);
    }

    // A bar state damaged in the file (its first dock area's number far out of range) never
    // reaches the window: the bars stand where a first start puts them.
    const char* section = "AllViewState\\BarState\\ViewBar";
    std::string state = platform::GetProfileString(section, "State").GetString();
    // Marker and version, then the dock areas: their count and the first one's number.
    ASSERT_EQ(state.substr(16, 2), "fd");
    state.replace(26, 8, "00100000");
    platform::WriteProfileString(section, "State", state.c_str());
    CMainFrame damaged;
    damaged.show();
    EXPECT_TRUE(damaged.Bar(kBarStatusLight).isVisible());
}

TEST_F(FrameFixture, DiagramTakesMostOfTheWindowAndEveryChangeOfItsSize)
{
    CMainFrame frame;
    // The size of a first start on a 1280 x 800 screen.
    frame.setWindowState(Qt::WindowNoState);
    frame.resize(1280, 800);
    frame.show();
    QApplication::processEvents();
    QDockWidget& diagram = *frame.Views()->DiagramBar();
    CGraphicDisplayWnd& display = frame.Views()->Diagram()->Display();
    EXPECT_GT(diagram.width(), frame.width() / 2);
    EXPECT_GT(diagram.height(), frame.height() / 2);
    for (FrameBar bar : {kBarNavigation, kBarChannelViews, kBarStatusLight})
        EXPECT_TRUE(frame.Bar(bar).features().testFlag(QDockWidget::DockWidgetMovable)) << bar;
    // The stored picture is the diagram as it is shown.
    const std::vector<BYTE> dib = display.GetBitmap();
    ASSERT_GE(dib.size(), 12u);
    EXPECT_EQ(dib[4] | dib[5] << 8, display.Graph().width());
    EXPECT_EQ(dib[8] | dib[9] << 8, display.Graph().height());

    // Six channel views share the bar in rows instead of widening the window.
    for (int channel = 2; channel < 6; ++channel) frame.OnChannelView(channel);
    QApplication::processEvents();
    EXPECT_EQ(frame.width(), 1280);
    for (int channel = 0; channel < 6; ++channel) {
        QWidget* view = frame.Views()->ChannelView(channel);
        EXPECT_TRUE(view->isVisible());
        EXPECT_GE(view->width(), view->minimumSizeHint().width());
    }
    EXPECT_GT(diagram.height(), frame.height() / 2);

    // Growing and shrinking change the diagram; the pages keep their width, also one the user
    // chose by moving the separator, and the channel views their height.
    const int pages = PagesOf(frame).width();
    const int channels = frame.Bar(kBarChannelViews).height();
    frame.resize(1700, 1000);
    QApplication::processEvents();
    EXPECT_EQ(PagesOf(frame).width(), pages);
    EXPECT_EQ(frame.Bar(kBarChannelViews).height(), channels);
    frame.resizeDocks({&diagram}, {diagram.width() - 100}, Qt::Horizontal);
    QApplication::processEvents();
    EXPECT_EQ(PagesOf(frame).width(), pages + 100);
    frame.resize(1400, 900);
    QApplication::processEvents();
    EXPECT_EQ(PagesOf(frame).width(), pages + 100);

    // The four languages and back leave the window as wide as it was, also at its narrowest.
    frame.resize(frame.minimumSizeHint());
    QApplication::processEvents();
    const int width = frame.width();
    for (int offset : {1000, 2000, 3000, 0, 2000, 0}) {
        frame.SwitchLanguage(offset);
        QApplication::processEvents();
        EXPECT_EQ(frame.width(), width) << offset;
    }
}

// The placement sections are nested groups a person can read in the file; a file of the
// former layout, each path one group with its backslashes escaped twice, is still read.
TEST_F(FrameFixture, PlacementSectionsAreNestedGroupsAndTheFormerLayoutIsRead)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(QString::fromStdString(profile.IniPath())).path()));
    {
        QFile file(QString::fromStdString(profile.IniPath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Version]\nVersion=2.04\n"
                   "[AllViewState%255CConfigs%255CWindowPos]\nLeft=40\nTop=30\nWidth=1010\nHeight=720\n"
                   "[AllViewState%255CConfigs%255CTreeState]\nCollapsed=2\n");
    }
    {
        CMainFrame frame;
        frame.show();
        EXPECT_EQ(frame.geometry().topLeft(), QPoint(40, 30));
        EXPECT_FALSE(frame.NavigationTree().topLevelItem(1)->isExpanded());
        frame.close();
        ASSERT_TRUE(frame.IsClosed());
    }
    QFile file(QString::fromStdString(profile.IniPath()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("%25")) << text.constData();
    EXPECT_TRUE(text.contains("[AllViewState]\n")) << text.constData();
    EXPECT_TRUE(text.contains("Configs\\WindowPos\\Left=40")) << text.constData();
    EXPECT_TRUE(platform::ProfileSectionExists("AllViewState\\BarState\\ViewBar"));
}

TEST_F(FrameFixture, ResetRequestDropsEverythingButDespiteResetAtShutDown)
{
    platform::WriteProfileInt("DespiteReset", "LastUsedSerialNo", 4711);  // the sensor of an earlier run
    {
        CMainFrame frame;
        frame.SwitchLanguage(3000);
        frame.RequestSettingsReset();
        frame.close();
    }
    EXPECT_FALSE(platform::ProfileSectionExists("Language"));
    EXPECT_FALSE(platform::ProfileSectionExists("AllViewState\\BarState\\ViewBar"));
    EXPECT_EQ(platform::GetProfileInt("DespiteReset", "LastUsedSerialNo", 0), 4711);
    // The file the reset leaves is of this version, whole: the next start keeps it.
    EXPECT_EQ(app::PrepareSettings().outcome, app::SettingsStart::Outcome::Kept);
}

// A connection through the real frame: the controller arms the frame's timers, the frame's
// dispatch runs the steps, and the simulated sensor answers on the virtual loop.
struct ConnectedFrame : FrameFixture {
    workflow_test::SimPortFactory ports;
    std::vector<std::unique_ptr<sim::SimDevice>> devices;
    workflow_test::FakeConnectionPage connection;
    workflow_test::FakeMeasureControlPage control;
    std::unique_ptr<CMainFrame> frame;

    // The ports listed: the sensor on COM3.
    virtual void AddPorts()
    {
        devices.push_back(std::make_unique<sim::SimulatedSensor>(workflow_test::AcceptedSensor(222333), loop));
        ports.Add("COM3", "Tessaline USB sensor interface Port", &devices.back()->Port(0));
    }
    void SetUp() override
    {
        ResetConnectionState();
        connection_state::ResetAllForTest();
        AddPorts();
        frame = std::make_unique<CMainFrame>(&ports);
        loop.RunUntilIdle();  // the frame's own pages register first
        // Pages register by posting their address; the frame hands them to the controller.
        // Where no real page of a kind is wired in yet, a recording one stands in.
        if (frame->Registered(kFrameConnectionPage) == nullptr)
            RegisterWithFrame(kFrameConnectionPage, static_cast<workflow::IConnectionPage*>(&connection));
        if (frame->Registered(kFrameMeasureControlPage) == nullptr)
            RegisterWithFrame(kFrameMeasureControlPage, static_cast<workflow::IMeasureControlPage*>(&control));
        loop.RunUntilIdle();
    }
    void TearDown() override
    {
        if (frame) {
            frame->Com().m_pPortMan.reset();
            for (auto& port : frame->Com().m_pPortManOfPort) port.reset();
        }
        frame.reset();
    }
    bool Connect()
    {
        frame->Com().COM_SearchComPorts(0);
        return loop.RunUntil([this] { return frame->m_bSensorConnected && frame->Com().GetZMCOMConfgFlow() != ZM_START_INIT; }, 20000);
    }
    // Connected with `ports` ports active, and the pages' refreshes after it run for `settleMs`.
    bool ConnectPorts(int ports, int boundMs, int settleMs)
    {
        if (!Connect() || !loop.RunUntil([&] { return frame->Com().m_nCountActivePorts == ports; }, boundMs)) return false;
        loop.RunFor(settleMs);
        return true;
    }
};

TEST_F(ConnectedFrame, FrameTimersCarryAWholeConnectionToTheSimulatedSensor)
{
    // The first registration of a kind stays; later ones are ignored.
    workflow::IConnectionPage* page = frame->Com().Peers().connection;
    ASSERT_NE(page, nullptr);
    workflow_test::FakeConnectionPage late;
    RegisterWithFrame(kFrameConnectionPage, static_cast<workflow::IConnectionPage*>(&late));
    loop.RunUntilIdle();
    EXPECT_EQ(frame->Com().Peers().connection, page);
    EXPECT_EQ(frame->Com().Peers().frame, frame.get());
    EXPECT_EQ(frame->m_bStartupPending, 0);
    ASSERT_TRUE(Connect());
    EXPECT_EQ(frame->Com().m_Sensor[0].m_sStatorHeader.nSerialNo, 222333u);
    EXPECT_EQ(frame->Com().m_nSensorPortCount, 1);
    EXPECT_EQ(page->GetItemText(0, 6), CString("aktiv"));
    EXPECT_TRUE(boxes.Boxes().empty());
    // Disconnected there and unplugged, the sensor's port leaves the page when it is shown again.
    frame->show();
    frame->ShowPage(app::kPageConnection);
    FindPage<sensor_admin::SensorConnectionForm>(*frame)->Item<QAbstractButton>(sensor_admin::IDC_CONN_DISCONNECT)->click();
    ports.Unplug("COM3");
    frame->ShowPage(app::kPageLogo);
    frame->ShowPage(app::kPageConnection);
    EXPECT_EQ(frame->SensorAdmin()->connection.GetItemCount(), 0);
    EXPECT_NE(frame->SensorAdmin()->connection.m_strStatusLine.Find("COM3"), -1);
}

// A window kept maximized takes the screen's room itself, for where no window manager acts on
// the request (a bare X display). It keeps the size a window manager gave it (less than the
// screen) when the start-up search applies the placement again, so that its status bar stays on
// the screen, and its normal place for the next start.
struct MaximizedConnectedFrame : ConnectedFrame {
    static constexpr const char* kSection = "AllViewState\\Configs\\WindowPos";
    static constexpr std::pair<const char*, int> kPlace[] = {{"Left", 2}, {"Top", 30}, {"Width", 500}, {"Height", 400}, {"Maximized", 1}};
    void SetUp() override
    {
        for (const auto& [entry, value] : kPlace) platform::WriteProfileInt(kSection, entry, value);
        ConnectedFrame::SetUp();
    }
};

TEST_F(MaximizedConnectedFrame, AMaximizedWindowFillsTheScreenKeepsItsSizeThroughTheSearchAndItsNormalPlace)
{
    EXPECT_EQ(frame->geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    frame->show();
    loop.RunUntilIdle();
    ASSERT_TRUE(frame->isMaximized());
    const QRect given = frame->geometry();
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->geometry(), given);
    frame->close();
    ASSERT_TRUE(loop.RunUntil([this] { return frame->IsClosed(); }, 30000));
    for (const auto& [entry, value] : kPlace) EXPECT_EQ(platform::GetProfileInt(kSection, entry, 0), value) << entry;
}

TEST_F(ConnectedFrame, CloseWithAPendingConfigurationWriteWaitsForTheWriteThenCloses)
{
    ASSERT_TRUE(Connect());
    const std::size_t writesBefore = ports.writes.size();
    const std::int64_t started = loop.NowMs();
    frame->SetConfigWritePending(true);
    frame->RequestClose();  // SIGTERM takes this road too
    EXPECT_FALSE(frame->IsClosed());
    EXPECT_EQ(frame->Com().GetZMCOMConfgFlow(), ZM_WRITE_SEQ_STATOR_OPERATION);
    // Closing again while the write runs changes nothing.
    frame->close();
    EXPECT_FALSE(frame->IsClosed());
    ASSERT_TRUE(loop.RunUntil([this] { return frame->IsClosed(); }, 10000));
    EXPECT_EQ(frame->Com().m_bConfigWriteDone, 1);
    // The blocks were written (each an 'F' frame) before the window went, long before the limit.
    int blockWrites = 0;
    for (std::size_t i = writesBefore; i < ports.writes.size(); ++i)
        if (ports.writes[i].Letter() == 'F') ++blockWrites;
    EXPECT_GE(blockWrites, 1) << ports.Letters().GetString();
    EXPECT_LT(loop.NowMs() - started, 10000);
    EXPECT_FALSE(frame->isVisible());
}

// A write before closing that the sensor refuses, or leaves unanswered, is reported, and the
// window then closes instead of waiting out the write's limit; one that cannot reach its sensor
// any more is reported as not written.
struct CloseWithAFailingWrite : ConnectedFrame {
    // Milliseconds from the close until the window went, with `told` boxes shown on the way.
    std::int64_t CloseAndMeasure(bool pending = true, std::size_t told = 1)
    {
        const std::int64_t started = loop.NowMs();
        frame->SetConfigWritePending(pending);
        frame->RequestClose();
        if (!loop.RunUntil([this] { return frame->IsClosed(); }, 30000)) return -1;
        EXPECT_EQ(boxes.Count(), told);
        return loop.NowMs() - started;
    }
};

TEST_F(CloseWithAFailingWrite, ARefusedBlock)
{
    ASSERT_TRUE(Connect());
    devices[0]->Port(0).Refuse({'F', -1, 4, -1});
    const std::int64_t ms = CloseAndMeasure();
    EXPECT_GE(ms, 0);
    EXPECT_LT(ms, 2000);
    EXPECT_EQ(frame->Com().m_nRefusedWrites, 1);
}

TEST_F(CloseWithAFailingWrite, ASilentSensor)
{
    ASSERT_TRUE(Connect());
    devices[0]->Port(0).Stall(-1);
    const std::int64_t ms = CloseAndMeasure(true, 2);
    EXPECT_GE(ms, 0);
    EXPECT_LT(ms, 3000);
    // The connection dropped as unstable, the set-up never reached the sensor: that is said too.
    EXPECT_EQ(boxes.Boxes().back().text, LoadLangString(5697));
}

// A rate chosen just before the sensor lost its power waits for it: closed before it is back,
// the window says the sensor was not given it.
TEST_F(CloseWithAFailingWrite, ARateHeldForASensorGone)
{
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    auto* rates = FindPage<measurement::MeasureSetupWidget>(*frame)->Item<QComboBox>(measurement::IDC_RATE_COMBO);
    rates->setCurrentIndex(rates->currentIndex() == 0 ? 1 : 0);
    Q_EMIT rates->activated(rates->currentIndex());
    devices[0]->Port(0).HangUp();
    loop.RunFor(50);
    ASSERT_GE(CloseAndMeasure(false, 2), 0);
    EXPECT_EQ(boxes.Boxes().back().text, LoadLangString(5697));
}

TEST_F(ConnectedFrame, AStatusRequestLeftUnansweredIsReportedWhileTheDiagnosticRefreshKeepsTheStartUpFlag)
{
    ASSERT_TRUE(Connect());
    CComPort& com = frame->Com();
    ASSERT_NE(dynamic_cast<measurement::CDlgMeasureDiagram*>(com.Peers().measureControl), nullptr)
        << "the real control panel is registered";
    sensor_admin::CDlgDiagnostic& diagnostic = frame->SensorAdmin()->diagnostic;
    int listRefreshes = 0;
    const auto formRefresh = diagnostic.onChanged;
    diagnostic.onChanged = [&] {
        ++listRefreshes;
        if (formRefresh) formRefresh();
    };

    // Answered: the start-up ends with the sensor's version check, which clears the start-up
    // status flag for the view layout; the diagnostic list is refreshed 100 ms after the status
    // answer and leaves the flag as it finds it.
    com.COM_ZMStartInit();
    ASSERT_TRUE(loop.RunUntil([&] { return com.GetZMCOMConfgFlow() == ZM_STOP_MEASURE; }, 2000));
    EXPECT_EQ(com.m_bStartupStatus, 0);
    ASSERT_EQ(listRefreshes, 0);
    com.m_bStartupStatus = 1;
    loop.RunFor(150);
    EXPECT_GE(listRefreshes, 1);
    EXPECT_EQ(com.m_bStartupStatus, 1);
    EXPECT_TRUE(boxes.Boxes().empty());

    // Unanswered: within 100 ms the connection is reported unstable, the port closed, the wait
    // cursor ended and the workflow at rest, so that a start is taken and a search connects again.
    devices[0]->Port(0).Stall(-1);
    com.COM_ZMStartInit();
    EXPECT_EQ(frame->m_bWaitCursorShown, 1);
    loop.RunFor(110);
    EXPECT_EQ(com.GetZMCOMConfgFlow(), ZM_STOP_MEASURE);
    EXPECT_TRUE(com.IsSensorReady());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, LoadLangString(5292));
    EXPECT_EQ(com.m_pPortMan->GetStateText(), CString("OffLine"));
    EXPECT_EQ(frame->m_bWaitCursorShown, 0);
    EXPECT_EQ(com.m_bStartupStatus, 0);
    EXPECT_FALSE(frame->SensorAdmin()->information.IsSensorPresent());
    const std::size_t writes = ports.writes.size();
    loop.RunFor(2000);
    EXPECT_EQ(ports.writes.size(), writes) << "nothing more is asked of the silent sensor";
    EXPECT_EQ(boxes.Count(), 1u);
    diagnostic.onChanged = formRefresh;
}

TEST_F(ConnectedFrame, AWriteThatNeverEndsIsGivenUpAfterItsLimit)
{
    ASSERT_TRUE(Connect());
    devices[0]->Port(0).Stall(-1);
    frame->SetConfigWritePending(true);
    frame->close();
    EXPECT_FALSE(frame->IsClosed());
    ASSERT_TRUE(loop.RunUntil([this] { return frame->IsClosed(); }, 60000));
}

// A port that cannot be opened stands before the sensor's in the port table.
struct FrameBehindUnopenablePort : ConnectedFrame {
    void AddPorts() override
    {
        ports.Add("COM1", "Communications Port", nullptr);
        ports.Port("COM1").opens = false;
        ConnectedFrame::AddPorts();
    }
};

TEST_F(FrameBehindUnopenablePort, ActivationCheckLooksAtTheConnectedSensorsRowAndRefreshesTheLists)
{
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);  // the activation check's 876 ms
    const std::vector<sensor_admin::DiagnosticRow>& rows = frame->SensorAdmin()->diagnostic.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].port.Find("[COM3]"), -1) << rows[0].port.GetString();
    EXPECT_EQ(rows[0].serial, 222333u);
}

// A sensor the version check refuses (its stator revision below 6), alone on its port: the
// search ends with its row saying so, with its type.
struct FrameWithRefusedSensor : ConnectedFrame {
    void AddPorts() override
    {
        sim::SensorConfig old = workflow_test::AcceptedSensor(222333);
        old.identity.statorRevision = 5;
        devices.push_back(std::make_unique<sim::SimulatedSensor>(old, loop));
        ports.Add("COM3", "Tessaline USB sensor interface Port", &devices.back()->Port(0));
        sim::SensorConfig other = workflow_test::AcceptedSensor(222334);
        other.identity.rangeACode = *sim::DecimalCode(200);
        devices.push_back(std::make_unique<sim::SimulatedSensor>(other, loop));
        ports.Add("COM4", "Tessaline USB sensor interface Port", &devices.back()->Port(0));
    }
};

TEST_F(FrameWithRefusedSensor, TheConnectionPageNamesTheRefusedSensorNotSupported)
{
    sensor_admin::CDlgSensorConnection& page = frame->SensorAdmin()->connection;
    page.OnSearch();
    ASSERT_TRUE(loop.RunUntil([&] { return !page.IsBusy() && frame->m_bSensorConnected; }, 20000));
    loop.RunFor(1000);
    EXPECT_EQ(page.GetItemText(0, sensor_admin::kColumnStatus) + " " + page.GetItemText(0, sensor_admin::kColumnSensorType),
              LoadLangString(sensor_admin::kTextStateNotSupported) + " RX-RS485");
    // Probed after COM4: none of its serial number and range.
    EXPECT_EQ(page.GetItemText(0, sensor_admin::kColumnSerial) + page.GetItemText(0, sensor_admin::kColumnRangeEnd),
              LoadLangString(sensor_admin::kTextNotAvailableShort));
    // Chosen and Connect clicked, it is named unsupported; the user is not asked to choose.
    page.List().SetMark(0, true);
    page.OnConnect();
    EXPECT_EQ(boxes.Boxes().back().text, LoadLangString(sensor_admin::kTextSensorNotSupported));
}

TEST_F(ConnectedFrame, TwoSensorsAnsweringOnOnePortAreReportedWithThePortsName)
{
    ASSERT_TRUE(Connect());
    // The start-up of a port on which sensors 0 and 1 both answered the probe.
    CComPort& com = frame->Com();
    CPortRecord& row = com.m_PortRec[static_cast<std::size_t>(com.m_nActivePortRec)];
    row.m_bSlotFilled = {1, 1};
    com.SetZMCOMConfgFlow(ZM_START_INIT);
    boxes.Clear();
    com.COM_FinishStartup();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const CString text = boxes.Boxes()[0].text;
    EXPECT_NE(text.Find("\"COM3\""), -1) << text.GetString();
    EXPECT_EQ(text.Find(com.m_strPortState), -1) << text.GetString();
}

// The panel's angle zero reaches the one sensor, whether or not a power channel selects it.
TEST_F(ConnectedFrame, AngleZeroOfThePanelIsSentToTheSensorAndAFailedWriteIsReported)
{
    ASSERT_TRUE(Connect());
    auto* panel = FindPage<measurement::MeasureControlWidget>(*frame);
    ASSERT_NE(panel, nullptr);
    // Nothing is sent before the search has looked at the further ports: Start shows when.
    ASSERT_TRUE(loop.RunUntil([&] { return panel->Logic().Controls().IsEnabled(measurement::IDC_MC_START); }, 3000));
    const int before = ports.Count('M');
    panel->Logic().OnAngleZero();
    EXPECT_EQ(ports.Count('M'), before + 1);
    EXPECT_EQ(frame->Com().GetZMCOMConfgFlow(), ZM_ANGLE_ZERO);
    loop.RunFor(1000);
    EXPECT_TRUE(boxes.Boxes().empty());
    ports.Port("COM3").writes = false;
    panel->Logic().OnAngleZero();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, CString("Write port error ( 235)"));
}

// Two sensors, each on a port of its own, each with a user calibration of its own in force.
struct FrameWithTwoSensors : ConnectedFrame {
    void AddPorts() override
    {
        platform::WriteProfileInt("Settings", "WriteLogFile", 0);  // the per-sensor logs on
        for (int k : {3, 4}) {
            sim::SensorConfig config = workflow_test::AcceptedSensor(222330 + k);
            config.identity.userCalibration = {true, 1'500'000'000, static_cast<std::uint16_t>(30000 + k)};
            devices.push_back(std::make_unique<sim::SimulatedSensor>(config, loop));
            ports.Add(CString::Formatted("COM%d", k), "Tessaline USB sensor interface Port", &devices.back()->Port(0));
        }
    }
};

// Two sensors on ports of their own: the information page reads the one the user chooses on
// its port; Disconnect and Connect take both away and bring both back. The search after a
// baud-rate change looks at every port; the user's choice of USB ports only is back when it
// has ended. The calibration page works on the sensor the user chooses, alone, switching off
// its own user calibration, not the other's; left, it connects both again, and the panel's
// Start waits for both. Each sensor's log records each of these connections and
// disconnections once, and the end once, in the program's own words though the user reads
// English by then.
TEST_F(FrameWithTwoSensors, EachSensorIsReadAgainBothComeBackAndASearchAfterABaudRateChangeTakesEveryPort)
{
    ASSERT_TRUE(ConnectPorts(2, 5000, 1000));
    frame->show();
    frame->ShowPage(app::kPageInformation);
    auto* information = FindPage<sensor_admin::SensorInformationForm>(*frame);
    auto* sensorChoice = information->Item<QComboBox>(sensor_admin::IDC_INFO_SENSOR);
    ASSERT_EQ(sensorChoice->count(), 2);
    sensorChoice->setCurrentIndex(1);
    Q_EMIT sensorChoice->activated(1);
    const std::size_t before = ports.writes.size();
    information->Item<QAbstractButton>(sensor_admin::IDC_INFO_READ)->click();
    loop.RunFor(1000);
    ASSERT_GT(ports.writes.size(), before);
    EXPECT_EQ(ports.writes[before].port, CString("COM4"));
    const auto& rows = frame->SensorAdmin()->information.Rows();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const auto& row) { return row.value == CString("222334"); }));
    EXPECT_EQ(information->GetDlgItemText(sensor_admin::IDC_INFO_STATUS), CString());
    EXPECT_EQ(frame->Com().m_nCountActivePorts, 2);
    // The first read again, the second's channel keeps its scale (its view showed raw counts).
    const double secondScale = frame->Com().m_adScaleFactor[1];
    sensorChoice->setCurrentIndex(0);
    Q_EMIT sensorChoice->activated(0);
    information->Item<QAbstractButton>(sensor_admin::IDC_INFO_READ)->click();
    loop.RunFor(1000);
    EXPECT_TRUE(secondScale != 1.0 && frame->Com().m_adScaleFactor[1] == secondScale) << secondScale;

    frame->ShowPage(app::kPageConnection);
    auto* connection = FindPage<sensor_admin::SensorConnectionForm>(*frame);
    sensor_admin::CDlgSensorConnection& page = frame->SensorAdmin()->connection;
    connection->Item<QAbstractButton>(sensor_admin::IDC_CONN_DISCONNECT)->click();
    EXPECT_FALSE(frame->m_bSensorConnected);
    connection->Item<QAbstractButton>(sensor_admin::IDC_CONN_CONNECT)->click();
    // The rate is the device's: not changed while its second sensor is still being connected.
    auto* changeBaud = connection->Item<QAbstractButton>(sensor_admin::IDC_CONN_CHANGE_BAUD);
    ASSERT_TRUE(loop.RunUntil([&] { return frame->Com().m_bFurtherPortsPending != 0; }, 5000));
    EXPECT_FALSE(changeBaud->isEnabled() || page.OnChangeBaudRate(230400));
    ASSERT_TRUE(loop.RunUntil([&] { return frame->m_bSensorConnected && frame->Com().m_nCountActivePorts == 2; }, 5000));
    loop.RunFor(1000);
    EXPECT_TRUE(changeBaud->isEnabled());
    for (int row = 0; row < 2; ++row) EXPECT_EQ(page.GetItemText(row, sensor_admin::kColumnStatus), CString("aktiv"));
    page.OnUsbPortsOnly(true);
    ASSERT_TRUE(page.OnChangeBaudRate(230400));
    EXPECT_TRUE(loop.RunUntil([&] { return !page.IsUsbPortsOnly(); }, 10000));
    ASSERT_TRUE(loop.RunUntil([&] { return !page.IsBusy() && page.IsUsbPortsOnly(); }, 20000));
    EXPECT_EQ(page.GetItemText(0, sensor_admin::kColumnStatus), CString("aktiv"));

    ASSERT_TRUE(loop.RunUntil([&] { return frame->Com().m_nCountActivePorts == 2 && !frame->Com().m_bFurtherPortsPending; }, 10000));
    frame->ShowPage(app::kPageCalibration);
    auto* calibration = FindPage<sensor_admin::SensorCalibrationForm>(*frame);
    auto* choice = calibration->Item<QComboBox>(sensor_admin::IDC_CAL_SENSOR);
    loop.RunFor(1000);
    ASSERT_EQ(choice->count(), 2);
    EXPECT_EQ(frame->Com().m_Sensor[0].m_sStatorHeader.nSerialNo, 222333u);
    // A delete allowed for the first sensor is not carried over to the second.
    for (int id : {sensor_admin::IDC_CAL_MODE_DELETE_A, sensor_admin::IDC_CAL_WRITE_ALLOWED}) calibration->Item<QAbstractButton>(id)->click();
    choice->setCurrentIndex(1);
    Q_EMIT choice->activated(1);
    loop.RunFor(1000);
    ASSERT_EQ(frame->Com().m_Sensor[0].m_sStatorHeader.nSerialNo, 222334u);
    for (int id : {sensor_admin::IDC_CAL_MODE_DELETE_A, sensor_admin::IDC_CAL_WRITE_ALLOWED})
        EXPECT_FALSE(calibration->Item<QAbstractButton>(id)->isChecked()) << id;
    const sim::BlockStore& blocks = devices[1]->Port(0).sensor().Blocks();
    const sim::BlockStore::Block kept = blocks.Get(6);
    calibration->Item<QAbstractButton>(sensor_admin::IDC_CAL_DEACTIVATE)->click();
    loop.RunFor(2000);
    EXPECT_FALSE(blocks.IsValid(6));
    EXPECT_TRUE(std::equal(kept.begin(), kept.begin() + 28, blocks.Get(6).begin()));
    // Left, both come back; shown again while the second is still being connected, the page
    // waits for it, then takes the sensor chosen, as it is now, alone again.
    frame->ShowPage(app::kPageLogo);
    ASSERT_TRUE(loop.RunUntil([&] { return frame->Com().m_bFurtherPortsPending != 0; }, 5000));
    frame->ShowPage(app::kPageCalibration);
    EXPECT_TRUE(loop.RunUntil([&] { return frame->SensorAdmin()->calibration.IsSensorPresent() && frame->Com().m_nCountActivePorts == 1; }, 5000));
    EXPECT_EQ(frame->SensorAdmin()->calibration.SensorCalibrationState(), 2);
    // Left for the panel, whose Start waits until both are connected; pressed at once then, the
    // measurement shows as running, and a second Start leaves it as it is.
    frame->ShowPage(app::kPageMeasureControl);
    auto* panel = FindPage<measurement::MeasureControlWidget>(*frame);
    auto* start = panel->Item<QAbstractButton>(measurement::IDC_MC_START);
    ASSERT_TRUE(loop.RunUntil([&] { return start->isEnabled(); }, 10000));
    EXPECT_TRUE(frame->Com().m_nCountActivePorts == 2 && !frame->Com().m_bFurtherPortsPending);
    start->click();
    loop.RunFor(3000);
    EXPECT_TRUE(panel->Logic().IsRunning() && panel->Item<QAbstractButton>(measurement::IDC_MC_STOP)->isEnabled() && !start->isEnabled());
    const CDataManager& curves = frame->Views()->Diagram()->Display().Data();
    const int points = curves.GetPointCount(0);
    panel->Logic().OnBnClickedStart();
    loop.RunFor(500);
    EXPECT_GT(curves.GetPointCount(0), points);

    MenuEntry(*frame, "English")->trigger();
    frame->close();
    for (const char* serial : {"222333", "222334"}) {
        QFile file(platform::ToQString(platform::LocalAppDataFolder()) + "Sensor_" + serial + ".log");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << serial;
        QStringList titles;  // the line after each entry's date line
        const QStringList lines = QString::fromLatin1(file.readAll()).split("\r\n");
        for (int i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].startsWith("==== ")) titles << lines[i + 1];
        QStringList expected;
        for (int k = 0; k < 4; ++k) expected << "Verbindung hergestellt" << "Sensor getrennt";
        expected << "Verbindung hergestellt" << "Programmende";
        EXPECT_EQ(titles.join(", ").toStdString(), expected.join(", ").toStdString()) << serial;
    }
}

// Four sensors, each on a port of its own, whose stored blocks are alike.
struct FrameWithFourSensors : FrameWithTwoSensors {
    void AddPorts() override
    {
        FrameWithTwoSensors::AddPorts();
        for (int k = 5; k <= 6; ++k) {
            devices.push_back(std::make_unique<sim::SimulatedSensor>(workflow_test::AcceptedSensor(222330 + k), loop));
            ports.Add(CString::Formatted("COM%d", k), "Tessaline USB sensor interface Port", &devices.back()->Port(0));
        }
    }
};

// Each sensor's channel stored as on is on in the set-up page, which the panel's sensor boxes
// follow, as it is on in the diagram that draws its curve.
TEST_F(FrameWithFourSensors, EverySensorsStoredChannelIsOnInTheSetUpAsInTheDiagram)
{
    ASSERT_TRUE(ConnectPorts(4, 10000, 3000));
    auto* setup = FindPage<measurement::MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);
    const views::DiagramSetup diagram = frame->Views()->GetDiagramSetup();
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(setup->Logic().Setup().channel[r].active, 1) << r;
        EXPECT_TRUE(diagram.channelShown[r]) << r;
    }
}

// One sensor's baud rate changed on the connection page: the code is written into the sensor,
// which restarts at the new rate (taking seconds to greet, the status bar saying so meanwhile),
// and the program finds and connects it there, asking at the new rate first.
TEST_F(ConnectedFrame, ASingleSensorsBaudRateChangeReconnectsAtTheNewRate)
{
    ports.Port("COM3").baudRate = 115200;
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    sensor_admin::CDlgSensorConnection& page = frame->SensorAdmin()->connection;
    const std::size_t before = ports.writes.size();
    ASSERT_TRUE(page.OnChangeBaudRate(230400)) << (boxes.Boxes().empty() ? "" : boxes.Boxes()[0].text.GetString());
    auto restarted = [&] {
        for (std::size_t i = before; i < ports.writes.size(); ++i)
            if (ports.writes[i].Letter() == 'K') return true;
        return false;
    };
    ASSERT_TRUE(loop.RunUntil(restarted, 5000));
    EXPECT_EQ(devices[0]->Port(0).sensor().Blocks().ContentByte(2, 16), 2);
    devices[0]->Port(0).Stall(4000);
    loop.RunFor(3000);
    EXPECT_EQ(frame->StatusPane(0).text(), platform::ToQString(LoadLangString(workflow::kTextSensorRestarting)));
    // The control signal waits with Start: a frame sent now would cost the change its sensor.
    measurement::CDlgMeasureDiagram& panel = FindPage<measurement::MeasureControlWidget>(*frame)->Logic();
    EXPECT_FALSE(panel.Controls().IsEnabled(measurement::IDC_MC_CONTROL));
    panel.OnBnClickedControl();
    ports.Port("COM3").baudRate = 230400;  // the sensor comes back at its new rate
    ASSERT_TRUE(loop.RunUntil([&] { return !page.IsBusy() && frame->m_bSensorConnected &&
                                           frame->Com().GetZMCOMConfgFlow() == ZM_STOP_MEASURE; }, 30000));
    EXPECT_EQ(page.GetItemText(0, sensor_admin::kColumnStatus), CString("aktiv"));
    EXPECT_EQ(page.GetItemText(0, sensor_admin::kColumnBaudRate), CString("230400"));
    EXPECT_EQ(page.m_bBaudRateChange, 0);
    // The search after the change asked at the new rate first.
    const auto letter = [](char l) { return [l](const workflow_test::WrittenFrame& w) { return w.Letter() == l; }; };
    const auto restart = std::find_if(ports.writes.begin() + static_cast<long>(before), ports.writes.end(), letter('K'));
    EXPECT_EQ(std::find_if(restart, ports.writes.end(), letter('B'))->baud, 230400);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Closed by the controller (a calibration that could not be computed), the scale-value prompt
// leaves the views shown anew.
TEST_F(ConnectedFrame, ClosingTheScaleValuePromptRefreshesTheViews)
{
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    frame->SensorAdmin()->calibration.EndPrompt().Open();
    const int repaints = frame->Views()->Refresher().RepaintCount();
    frame->Com().Peers().calibration->CloseScaleValuePromptIfVisible();
    loop.RunFor(500);
    EXPECT_FALSE(frame->SensorAdmin()->calibration.EndPrompt().IsVisible());
    EXPECT_GT(frame->Views()->Refresher().RepaintCount(), repaints);
}

// The curve store is made for the duration the panel offers when a measurement starts; choosing
// another duration afterwards keeps the curves of the measurement shown.
TEST_F(ConnectedFrame, TheCurveStoreTakesThePanelsDurationAtTheStartAndKeepsTheCurvesShown)
{
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    auto* panel = FindPage<measurement::MeasureControlWidget>(*frame);
    ASSERT_NE(panel, nullptr);
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);
    loop.RunFor(500);
    const int valueSets = std::atoi(panel->Logic().Controls().Text(measurement::IDC_MC_VALUE_SETS).GetString());
    ASSERT_GT(valueSets, 0);
    frame->Fields().measureRateIndex = 6;
    panel->Logic().OnBnClickedStart();
    loop.RunFor(1000);
    CGraphicDisplayWnd& display = frame->Views()->Diagram()->Display();
    EXPECT_EQ(display.Data().GetCapacity(0), std::min(valueSets, CDataManager::kHardLimitPoints));
    panel->Logic().OnBnClickedStop();
    loop.RunFor(2000);
    const int points = display.GetMaxChannelSetting();
    ASSERT_GT(points, 50);
    panel->Logic().OnDurationSelected();
    EXPECT_EQ(display.GetMaxChannelSetting(), points);
}

// A right click on the diagram offers its chart files: saved and loaded through the file dialog,
// filtered by their extension, which a name typed without it gets (asking before that replaces a
// file); a file that cannot be read said so.
TEST_F(FrameFixture, TheDiagramsContextMenuSavesAndLoadsTheChart)
{
    CMainFrame frame;
    CGraphicDisplayWnd& display = frame.Views()->Diagram()->Display();
    QTemporaryDir dir;
    chart::Hooks& hooks = chart::GetHooks();
    const chart::Hooks saved = hooks;
    int command = 0;
    CString fileName = (dir.path() + "/chart").toUtf8().constData(), filter;
    std::vector<CString> offered;
    hooks.popupMenu = [&](QWidget*, QPoint, const std::vector<chart::MenuItem>& items) {
        offered.clear();
        for (const chart::MenuItem& item : items) offered.push_back(item.text);
        return command;
    };
    hooks.fileName = [&](QWidget*, bool, const CString&, const CString& asked) { return filter = asked, fileName; };
    auto rightClick = [&](int choice) {
        command = choice;
        display.PostMessage(chart::XG_RBUTTONUP, 0, 0);
        loop.RunUntilIdle();
    };
    display.Graph().SetBackColor(RGB(10, 20, 30));
    rightClick(1);
    EXPECT_EQ(offered[15], CString("Diagramm speichern..."));
    EXPECT_TRUE(QFile::exists(dir.path() + "/chart.xgr"));
    display.Graph().SetBackColor(RGB(200, 200, 200));
    boxes.PresetAnswers({platform::IDNO});
    rightClick(1);
    fileName += ".xgr";
    rightClick(2);
    EXPECT_NE(filter.Find("(*.xgr)"), -1);
    EXPECT_EQ(display.Graph().GetBackColor(), RGB(10, 20, 30));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    boxes.Clear();
    fileName = (dir.path() + "/missing.xgr").toUtf8().constData();
    rightClick(2);
    hooks = saved;
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.Find("missing.xgr"), -1);
}

// Enter and Escape end no page of the window and no view: each stays shown, and an edit on a
// page gets Enter as a value typed and confirmed. The control panel offers its keys to the frame
// first, which keeps them.
TEST_F(FrameFixture, EnterAndEscapeEndNoPageOrViewOfTheWindow)
{
    CMainFrame frame;
    frame.show();
    loop.RunUntilIdle();
    int confirmedEdits = 0;
    for (const app::PageSlot& slot : app::PageTable()) {
        frame.ShowPage(slot.index);
        QWidget& page = *PagesOf(frame).Page(slot.index);
        for (QLineEdit* edit : page.findChildren<QLineEdit*>()) {
            if (!edit->isVisible() || !edit->isEnabled()) continue;
            QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++confirmedEdits; });
            PressKey(*edit, Qt::Key_Return);
            PressKey(*edit, Qt::Key_Escape);
            break;
        }
        PressKey(page, Qt::Key_Return);
        PressKey(page, Qt::Key_Escape);
        EXPECT_TRUE(page.isVisible()) << slot.captionId;
    }
    EXPECT_GT(confirmedEdits, 0);
    QWidget* views[] = {frame.Views()->ChannelView(0), frame.Views()->Diagram()};
    for (QWidget* view : views) {
        ASSERT_NE(view, nullptr);
        const bool shown = view->isVisible();
        PressKey(*view, Qt::Key_Return);
        PressKey(*view, Qt::Key_Escape);
        EXPECT_EQ(view->isVisible(), shown);
    }
}

// With the panel shown, a sensor's set-up puts the diagram beside it, once the start-up has
// settled.
TEST_F(ConnectedFrame, TheDiagramIsLaidOutBesideThePanel)
{
    frame->show();
    frame->ShowPage(app::kPageMeasureControl);

    QDockWidget& diagram = *frame->Views()->DiagramBar();
    diagram.hide();
    frame->Com().m_bStartupStatus = 1;
    frame->SetDisplayMode(3);
    EXPECT_TRUE(diagram.isHidden());
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    EXPECT_FALSE(diagram.isHidden());
    EXPECT_EQ(frame->Fields().displayMode, 3);
    ASSERT_NE(frame->NavigationTree().currentItem(), nullptr);
    EXPECT_EQ(frame->NavigationTree().currentItem()->text(0), platform::ToQString(LoadLangString(5726)));
}

// The set-up page's trigger modes reach the frame's trigger fields with their armed bytes: a
// channel source waits for a value on the far side of its level, a stop by duration does not.
TEST_F(ConnectedFrame, TheSetUpPagesTriggerModesAreStoredInTheFrame)
{
    auto* setup = FindPage<measurement::MeasureSetupWidget>(*frame);
    ASSERT_NE(setup, nullptr);
    measurement::CMeasureSetup& record = setup->Logic().Setup();
    record.startSource = 1;
    record.startValue = 12.5;
    record.stopSource = measurement::kTriggerTime;
    frame->StoreTriggerModes();
    const measurement::TriggerState& t = frame->Fields().triggers;
    EXPECT_EQ(t.startSource, 1);
    EXPECT_DOUBLE_EQ(t.startValue, 12.5);
    EXPECT_EQ(t.stopSource, measurement::kTriggerTime);
    EXPECT_EQ(t.startArmed, 0);
    EXPECT_EQ(t.stopArmed, 1);
}

// A sensor behind the RS-485 interface, answering 20 ms late, that stops answering a polled
// measurement: the message says, once, that the measurement will be stopped, and the scan of the
// views stops it. Two ticks back to back before an answer (a late timer) stop nothing.
struct FrameWithRs485Sensor : ConnectedFrame {
    void AddPorts() override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor(222335);
        config.identity.statorId = 5;
        config.identity.hmbUsb = false;
        config.faults.latencyMs = 20;
        devices.push_back(std::make_unique<sim::SimulatedSensor>(config, loop));
        ports.Add("COM3", "USB Serial Port", &devices.back()->Port(0));
    }
};

TEST_F(FrameWithRs485Sensor, APolledSensorThatStopsAnsweringEndsTheMeasurement)
{
    ASSERT_TRUE(Connect());
    loop.RunFor(1000);
    auto* panel = FindPage<measurement::MeasureControlWidget>(*frame);
    ASSERT_NE(panel, nullptr);
    frame->Fields().measureRateIndex = 13;  // ten value sets a second, polled
    panel->Logic().OnBnClickedStart();
    loop.RunFor(3500);
    const int asked = devices[0]->Port(0).sensor().RequestCount('A');
    ASSERT_TRUE(loop.RunUntil([&] { return devices[0]->Port(0).sensor().RequestCount('A') > asked; }, 200));
    measurement::CDlgMeasureDiagram::PollCallback(1, 0, reinterpret_cast<std::uintptr_t>(&panel->Logic()), 0, 0);
    loop.RunFor(1000);
    ASSERT_EQ(panel->Logic().Settings()->bRunning, 1);
    devices[0]->Port(0).Stall(-1);
    ASSERT_TRUE(loop.RunUntil([&] { return !boxes.Boxes().empty(); }, 5000));
    EXPECT_EQ(boxes.Boxes()[0].text, LoadLangString(5376));
    EXPECT_TRUE(loop.RunUntil([&] { return panel->Logic().Settings()->bRunning == 0; }, 5000));
    EXPECT_EQ(frame->Fields().endRequest, 0);
    loop.RunFor(1000);
    EXPECT_EQ(boxes.Count(), 1u);
}

// A multiport device of two sensors that stream, on a line that carries both channels.
struct FrameWithMultiportDevice : ConnectedFrame {
    void AddPorts() override
    {
        sim::SensorConfig config = workflow_test::AcceptedSensor(777);
        config.identity.statorId = 5;
        config.identity.hmbUsb = false;
        devices.push_back(std::make_unique<sim::MultiportDevice>(sim::MultiportConfigs(2, config), loop));
        for (int i = 0; i < 2; ++i)
            ports.Add(CString::Formatted("COM%d", 3 + i), "Tessaline USB sensor interface Port", &devices.back()->Port(i));
    }
};

// Shown with a multiport device connected, the calibration page has its ports reopened for one
// sensor; the frame's step after that reconnection completes it, the wait cursor ends.
TEST_F(FrameWithMultiportDevice, TheCalibrationPageReopensAMultiportDeviceForOneSensor)
{
    ASSERT_TRUE(ConnectPorts(2, 5000, 1000));
    sensor_admin::CDlgSensorCalibration& calibration = frame->SensorAdmin()->calibration;
    ASSERT_FALSE(calibration.IsSensorPresent());
    // Shown while a measurement runs, it leaves the streaming sensors together until its end.
    measurement::CDlgMeasureDiagram& control = FindPage<measurement::MeasureControlWidget>(*frame)->Logic();
    control.OnBnClickedStart();
    loop.RunFor(500);
    ASSERT_TRUE(control.IsRunning());
    calibration.OnShowPage(true);
    EXPECT_EQ(frame->Com().m_nMultiportReconnect, 2);
    loop.RunFor(1000);
    EXPECT_TRUE(control.IsRunning() && frame->Com().m_nCountActivePorts == 2);
    control.OnBnClickedStop();
    loop.RunFor(1000);
    EXPECT_EQ(frame->Com().m_nCountActivePorts, 1);
    EXPECT_TRUE(calibration.IsSensorPresent());
    EXPECT_EQ(frame->m_bWaitCursorShown, 0);
    EXPECT_EQ(frame->Com().m_Sensor[0].m_sStatorHeader.nSerialNo, 777u);
    EXPECT_TRUE(boxes.Boxes().empty());
    // The other sensor is apart: nothing is started on the device until it is given back.
    const auto startEnabled = [this] {
        return FindPage<measurement::MeasureControlWidget>(*frame)->Logic().Controls().IsEnabled(measurement::IDC_MC_START);
    };
    EXPECT_FALSE(startEnabled());
    // A rate chosen meanwhile waits; the page left for a search at once, the sensor found again takes it.
    auto* rates = FindPage<measurement::MeasureSetupWidget>(*frame)->Item<QComboBox>(measurement::IDC_RATE_COMBO);
    rates->setCurrentIndex(1);
    Q_EMIT rates->activated(1);
    calibration.OnShowPage(false);
    frame->SensorAdmin()->connection.OnSearch();
    const auto rateTaken = [&] {
        return devices[0]->Port(0).sensor().Blocks().ContentByte(3, 32) == rates->currentData().toInt() && !frame->m_bWaitCursorShown;
    };
    EXPECT_TRUE(loop.RunUntil(rateTaken, 5000));
    EXPECT_EQ(frame->Com().m_nMultiportReconnect, 0);
    // Shown while a search runs, it is given the first sensor alone, and Start waits from the
    // moment the search opens it; left, it gives the other back, also when left before it
    // took them.
    const auto whole = [this] { return frame->Com().m_nCountActivePorts == 2 && !frame->Com().m_bFurtherPortsPending; };
    // The fastest rate the device streams, which its first sensor alone does not: the sensor the
    // page shows meanwhile is not the device the user chose it for.
    ASSERT_TRUE(loop.RunUntil(whole, 5000));
    rates->setCurrentIndex(0);
    Q_EMIT rates->activated(0);
    const int deviceRate = frame->Fields().measureRateIndex;
    loop.RunFor(1000);
    for (const bool leftAtOnce : {false, true}) {
        ASSERT_TRUE(loop.RunUntil(whole, 5000));
        frame->SensorAdmin()->connection.OnSearch();
        calibration.OnShowPage(true);
        ASSERT_TRUE(loop.RunUntil([&] { return frame->Com().m_bOpenedAloneBySearch != 0; }, 10000));
        EXPECT_FALSE(startEnabled());
        if (!leftAtOnce) {
            ASSERT_TRUE(loop.RunUntil([&] { return calibration.IsSensorPresent() && calibration.SensorCount() == 2; }, 10000));
        }
        calibration.OnShowPage(false);
        EXPECT_TRUE(loop.RunUntil(whole, 10000));
        EXPECT_TRUE(loop.RunUntil(startEnabled, 5000));
        EXPECT_EQ(frame->Fields().measureRateIndex, deviceRate);
        EXPECT_EQ(rates->currentData().toInt(), deviceRate);
    }
    // A condition set on the device and not yet stored survives the page's round trip: the
    // first sensor back alone lists its own channels A and B, none of the device's conditions,
    // also when the user acts as the device is whole again before the set-up page is.
    auto* setup = FindPage<measurement::MeasureSetupWidget>(*frame);
    auto* second = setup->Item<QComboBox>(measurement::kConditionCombo[1]);
    ASSERT_TRUE(loop.RunUntil(whole, 5000));
    second->setCurrentIndex(second->findData(0));
    Q_EMIT second->activated(second->currentIndex());
    setup->Item<QLineEdit>(measurement::kLimitEdit[2])->setText("-49");
    setup->Item<QLineEdit>(measurement::kLimitEdit[3])->setText("37");
    calibration.OnShowPage(true);
    ASSERT_TRUE(loop.RunUntil([&] { return calibration.IsSensorPresent() && frame->Com().m_nCountActivePorts == 1; }, 10000));
    calibration.OnShowPage(false);
    ASSERT_TRUE(loop.RunUntil(whole, 10000));
    ASSERT_TRUE(setup->Logic().IsTimerArmed(measurement::kTimerRefresh));
    rates->setCurrentIndex(1);
    Q_EMIT rates->activated(1);
    loop.RunFor(1000);
    EXPECT_EQ(setup->Logic().Controls().SelectedDatum(measurement::kConditionCombo[1], -1), 0);
    EXPECT_EQ(setup->Item<QLineEdit>(measurement::kLimitEdit[2])->text() + setup->Item<QLineEdit>(measurement::kLimitEdit[3])->text(),
              QString("-4937"));
    // Stored by a search, it is the first sensor's second condition. That sensor back alone, the
    // other still to come, lends the page no condition of its own: read as a lone sensor's
    // channels A and B, its blocks name a first condition on channel B nobody set.
    bool lent = false;
    const auto lends = [&] { return lent = lent || setup->Logic().Controls().SelectedDatum(measurement::kConditionCombo[0], -1) >= 0; };
    frame->SensorAdmin()->connection.OnSearch();
    ASSERT_TRUE(loop.RunUntil([&] { return lends(), frame->Com().m_bFurtherPortsPending; }, 20000) &&
                loop.RunUntil([&] { return lends(), whole() && !setup->Logic().IsTimerArmed(measurement::kTimerRefresh); }, 20000));
    EXPECT_FALSE(lent);
    EXPECT_EQ(setup->Logic().Controls().SelectedDatum(measurement::kConditionCombo[1], -1), 0);
    // Start stays off while the device's single shot awaits its answers, also when the panel is
    // shown again meanwhile (no set-up of the slaves can be written then).
    ASSERT_TRUE(loop.RunUntil(startEnabled, 5000));
    control.OnShowWindow(true, 0);
    loop.RunFor(500);
    control.OnBnClickedSingleShot();
    control.OnShowWindow(true, 0);
    EXPECT_FALSE(startEnabled());
    EXPECT_TRUE(loop.RunUntil(startEnabled, 5000));
}

// Why the controller stopped the stream of a multiport device shows on the panel's Process
// Monitor until the next start.
TEST_F(FrameWithMultiportDevice, TheReasonAStreamWasStoppedShowsOnThePanel)
{
    ASSERT_TRUE(ConnectPorts(2, 5000, 1000));
    auto* panel = FindPage<measurement::MeasureControlWidget>(*frame);
    ASSERT_NE(panel, nullptr);
    auto* line = panel->Item<QLabel>(measurement::IDC_MC_STOP_REASON);
    ASSERT_NE(line, nullptr);
    const QString caption = line->text();
    frame->Com().Peers().measureControl->ShowStatusLine("master signal from the slave");
    EXPECT_EQ(line->text(), QString("master signal from the slave"));
    panel->Logic().OnBnClickedStart();
    loop.RunFor(500);
    EXPECT_EQ(line->text(), caption);
    panel->Logic().OnBnClickedStop();
    loop.RunFor(1000);
}

// Not a check: with KM3_RENDER_DIR set, the main window and the about window of each language
// are written there as PNG files to be looked at.
TEST_F(FrameFixture, RenderForALookInFourLanguages)
{
    const char* folder = std::getenv("KM3_RENDER_DIR");
    if (folder == nullptr) GTEST_SKIP() << "KM3_RENDER_DIR not set";
    CMainFrame frame;
    frame.resize(1100, 760);
    frame.show();
    const char* names[] = {"de", "en", "fr", "es"};
    for (int language = 0; language < 4; ++language) {
        frame.SwitchLanguage(language * 1000);
        for (int page : {app::kPageLogo, app::kPageMeasureControl}) {
            frame.ShowPage(page);
            QApplication::processEvents();
            frame.grab().save(QString("%1/km3-%2-page%3.png").arg(folder).arg(names[language]).arg(page));
        }
        frame.ShowAbout();
        QApplication::processEvents();
        QWidget* about = frame.findChild<QWidget*>("AboutWindow");
        ASSERT_NE(about, nullptr);
        about->grab().save(QString("%1/km3-%2-about.png").arg(folder).arg(names[language]));
        about->close();
    }
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
