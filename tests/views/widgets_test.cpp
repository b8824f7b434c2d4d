// The views as widgets: the diagram fed by the simulated sensor's stream through the controller
// (the chart's picture shows the curve), the curve store growing while the chart holds its
// arrays, chart files with flags 5 and a print to PDF, the diagram's context menu, the channel
// view's buttons, the status light's states.

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "chart/chart_hooks.h"
#include "chart/chart_page.h"
#include "chart/nice_slider.h"
#include "chart/property_page_logic.h"
#include "chart/property_pages.h"
#include "chart/range_slider.h"
#include "chart/recording_device.h"
#include "chart/xgraph.h"
#include "tests/views/views_test_support.h"
#include "tests/workflow/workflow_bench.h"
#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "views/display_update.h"

using namespace views_test;

namespace {

// The controller's frame for these tests: the new-values entry and the display tables are the
// views' own, everything else is the workflow tests' fake.
class ViewsWorkflowFrame : public workflow_test::FakeFrame {
public:
    ViewsWorkflowFrame(CWnd& window, TestFrame& views, views::ChannelRefresher& refresher)
        : FakeFrame(window), m_views(views), m_refresher(refresher)
    {
    }
    void RefreshChannelViews(int reason) override { m_refresher.RefreshChannelViews(reason); }
    workflow::DisplayChannelEntry* DisplayEntry(int channel) override { return m_views.tables.Entry(channel); }
    workflow::DisplaySlotRecord* DisplaySlot(int slot) override { return m_views.tables.Slot(slot); }

private:
    TestFrame& m_views;
    views::ChannelRefresher& m_refresher;
};

sim::SensorConfig TorqueSensor()
{
    sim::SensorConfig config = workflow_test::AcceptedSensor();
    config.identity.rotorTypeClass = 'D';
    config.identity.hmbUsb = false;  // channels A and B
    config.signalA = {sim::SignalSpec::Kind::Sine, 0.0, 20000.0};
    config.signalB = {sim::SignalSpec::Kind::Ramp, 0.0, 0.0, 4000.0};
    config.loadA = 250;  // put on between measurements: the next one differs a little
    return config;
}

// A connected torque sensor streaming into the views.
struct StreamBench : workflow_test::Bench {
    explicit StreamBench(const sim::SensorConfig& sensor = TorqueSensor())
    {
        connected = ConnectSensor(sensor);
        views.com = &com;
        WirePeers(viewsFrame);
        views::UpdateDisplayValues(views.tables, com, 0, 1, &com.m_Sensor[0], 1000);
        views.tables.Entry(0)->divisor = 25000;
        com.COM_CalcScaleFactors(0);
        viewsFrame.rateIndex = 6;  // 200 sets a second
        com.COM_SetMeasureRate();
        views.setup.channelShown = {true, true, false, false, false, false};
        views.setup.samplePeriod = 0.005;
        views.settings.bRunning = 1;
    }
    void Measure(std::int64_t ms)
    {
        com.COM_StartMeasure(-1, false);
        loop.RunFor(ms);
    }
    bool connected = false;
    TestFrame views;
    views::ChannelRefresher refresher{views, loop};
    ViewsWorkflowFrame viewsFrame{window, views, refresher};
};

int CountPixels(const QImage& image, COLORREF colour)
{
    const QRgb wanted = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF) ? 1 : 0;
    return n;
}

// One second of a sine on channel A and a ramp on B (or of the sensor given, with the channel
// given on the x axis, for the time given); the menu answers with the entry named.
struct MenuBench : StreamBench {
    explicit MenuBench(const sim::SensorConfig& sensor = TorqueSensor(), int xChannel = views::kXAxisTime, int ms = 1000)
        : StreamBench(sensor)
    {
        views.setup.xChannel = xChannel;
        if (xChannel >= 0) views.setup.channelShown[static_cast<std::size_t>(xChannel)] = false;
        diagram.resize(720, 480);
        diagram.show();
        diagram.LoadChannelSetup();
        diagram.StartGraph(true);
        Measure(ms);
        com.COM_StopMeasure();
        diagram.RepaintSamples();
        graph.OnPaint();
        hooks.popupMenu = [this](QWidget*, QPoint, const std::vector<chart::MenuItem>& items) {
            for (const chart::MenuItem& item : items)
                if (item.text == wanted && item.enabled) return item.command;
            return 0;
        };
    }
    ~MenuBench() { hooks = saved; }
    // A right click at the point (the plot's top left corner, where no curve runs), then the entry.
    void Choose(const char* entry, QPoint at = {70, 10})
    {
        wanted = entry;
        QTest::mouseClick(&graph, Qt::RightButton, {}, at);
        loop.RunUntilIdle();
    }
    QPoint PixelOf(int index)
    {
        const ChartPoint p = graph.GetCurve(0).GetPoints()[index];
        return {graph.GetXAxis(0).GetPointForValue(p).x, graph.GetYAxis(0).GetPointForValue(p).y};
    }
    // Pressed, moved (the window painting after each move) and released.
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&graph, Qt::LeftButton, {}, from);
        for (QPoint p : {from, to}) {
            QMouseEvent move(QEvent::MouseMove, p, graph.mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&graph, &move);
            graph.OnPaint();
        }
        QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
        loop.RunUntilIdle();
    }

    // The texts of the stored measurements' differences as the window draws them, or as the
    // diagram prints them on the paper given.
    std::vector<CString> MeasuredTexts(std::shared_ptr<chart::RecordingDevice> paper = nullptr)
    {
        auto device = paper ? paper : std::make_shared<chart::RecordingDevice>(graph.width(), graph.height());
        CDC dc(device);
        if (paper) diagram.PrintGraph(&dc);
        else graph.PaintToDC(&dc);
        std::vector<CString> texts;
        for (const chart::DrawRecord& r : device->Of(chart::DrawRecord::Op::DrawText))
            if ((r.format & DT_NOCLIP) && (r.format & DT_SINGLELINE)) texts.push_back(r.text);
        return texts;
    }

    chart::Hooks& hooks = chart::GetHooks();
    const chart::Hooks saved = hooks;
    CAFormDiagram diagram{views, refresher};
    CXGraph& graph = diagram.Display().Graph();
    CString wanted;
};

}  // namespace

TEST(DiagramView, TheStreamOfTheSimulatedSensorBecomesTheChartsCurve)
{
    StreamBench b;
    ASSERT_TRUE(b.connected);
    CAFormDiagram diagram(b.views, b.refresher);
    diagram.resize(720, 480);
    diagram.LoadChannelSetup();
    diagram.StartGraph(true);
    CXGraph& chart = diagram.Display().Graph();
    const QImage empty = chart.grab().toImage();
    b.Measure(1000);
    ASSERT_GE(b.refresher.ValueSetCount(), 190);
    // Every set is in the store; the chart was repainted at the bounded rate only.
    EXPECT_EQ(b.refresher.ValueSetCount(), diagram.GetMaxChannelSetting());
    EXPECT_LE(diagram.Display().RepaintCount(), 26);
    b.refresher.FlushRepaint();
    diagram.RepaintSamples();
    ASSERT_EQ(2, chart.GetCurveCount());
    EXPECT_EQ(diagram.GetMaxChannelSetting(), chart.GetCurve(0).GetCount());
    EXPECT_EQ(diagram.Display().Data().LentArray(0), chart.GetCurve(0).GetPoints());
    // The torque sine swings through the whole plot: the curve's colour covers many pixels.
    const QImage picture = chart.grab().toImage();
    const COLORREF colour = chart.GetCurve(0).m_crColor;
    EXPECT_EQ(0, CountPixels(empty, colour));
    EXPECT_GT(CountPixels(picture, colour), 300);
    EXPECT_EQ(6, b.views.registered.back());
}

TEST(DiagramView, TheStoreGrowsUnderTheChartWithoutMovingWhatItLent)
{
    TestFrame frame;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher(frame, loop);
    CAFormDiagram diagram(frame, refresher);
    diagram.resize(600, 400);
    // Room for 8 points of channel A at the start.
    frame.setup.channelShown = {true, false, false, false, false, false};
    diagram.LoadChannelSetup();
    diagram.SetStorageBusy(8, {1, 0, 0, 0, 0, 0});
    EXPECT_TRUE(diagram.Display().IsStorageBusy());
    diagram.StartGraph(true);
    EXPECT_EQ(8, diagram.Display().Data().GetCapacity(0));
    CXGraph& chart = diagram.Display().Graph();
    views::ValueSet set;
    set.valid[0] = true;
    for (int i = 0; i < 1000; ++i) {
        set.value[0] = i % 50;
        diagram.AddValueSet(set);
        // The chart paints between the sets: each paint reads the array it was lent.
        if (i % 7 == 0) {
            diagram.RepaintSamples();
            chart.grab();
        }
    }
    diagram.RepaintSamples();
    EXPECT_EQ(1000, chart.GetCurve(0).GetCount());
    EXPECT_EQ(diagram.Display().Data().LentArray(0), chart.GetCurve(0).GetPoints());
    EXPECT_EQ(0, diagram.Display().Data().RetiredArrayCount());
    EXPECT_DOUBLE_EQ(49.0, chart.GetCurve(0).GetY(999));
    // The store sized anew for the next start leaves the curves shown until then.
    diagram.SetStorageBusy(8, {1, 1, 0, 0, 0, 0});
    EXPECT_EQ(1000, chart.GetCurve(0).GetCount());
    // A channel without values holds back no curve after it.
    frame.setup.channelShown = {true, true, false, false, false, false};
    diagram.LoadChannelSetup();
    diagram.StartGraph(true);
    set.valid = {false, true, false, false, false, false};
    set.value[1] = 3.0;
    for (int i = 0; i < 5; ++i) diagram.AddValueSet(set);
    diagram.RepaintSamples();
    ASSERT_EQ(1, chart.GetCurveCount());
    EXPECT_EQ(5, chart.GetCurve(0).GetCount());
    EXPECT_EQ(0, diagram.Display().ChartCurveOfChannel(1));
    EXPECT_EQ(-1, diagram.Display().ChartCurveOfChannel(0));
    set.valid[0] = true;
    diagram.AddValueSet(set);
    diagram.RepaintSamples();
    EXPECT_EQ(1, diagram.Display().ChartCurveOfChannel(0));
    // A point limit stops the recording there; drawing A alone (B measured still), no axis of B.
    frame.setup.channelShown = {true, false, false, false, false, false};
    frame.setup.channelMeasured = {true, true, false, false, false, false};
    diagram.LoadChannelSetup();
    diagram.StartGraph(false);
    EXPECT_EQ(1, chart.GetYAxisCount());
    diagram.SetRunState(CGraphicDisplayWnd::kRunLimited, 5);
    for (int i = 0; i < 20; ++i) diagram.AddValueSet(set);
    EXPECT_EQ(5, diagram.GetMaxChannelSetting());
}

TEST(DiagramView, ChartFilesWithFlags5ABitmapAndAPrintToPdf)
{
    TestFrame frame;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher(frame, loop);
    CAFormDiagram diagram(frame, refresher);
    diagram.resize(600, 400);
    QTemporaryDir dir;
    const CString chartFile = (dir.path() + "/diagram.xgr").toUtf8().constData();
    diagram.Display().Graph().SetBackColor(RGB(10, 20, 30));
    ASSERT_TRUE(diagram.SaveChart(chartFile));
    diagram.Display().Graph().SetBackColor(RGB(200, 200, 200));
    ASSERT_TRUE(diagram.LoadChart(chartFile));
    EXPECT_EQ(RGB(10, 20, 30), diagram.Display().Graph().GetBackColor());
    // A damaged file is refused and changes nothing.
    QFile damaged(dir.path() + "/damaged.xgr");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a chart");
    damaged.close();
    EXPECT_FALSE(diagram.LoadChart((dir.path() + "/damaged.xgr").toUtf8().constData()));
    EXPECT_EQ(RGB(10, 20, 30), diagram.Display().Graph().GetBackColor());

    // The documentation asks for the picture at the end: the diagram as shown, with the values
    // that came after its last paint.
    EXPECT_FALSE(diagram.StoreDiagramAtEnd());
    diagram.Display().Graph().grab();
    diagram.SetStorageBusy(8, {1, 0, 0, 0, 0, 0});
    diagram.SetRunState(CGraphicDisplayWnd::kRunFree, 0);
    views::ValueSet set;
    set.valid[0] = true;
    for (int i = 0; i < 8; ++i) {
        set.value[0] = i % 2;
        diagram.AddValueSet(set);
    }
    frame.diagramFile = (dir.path() + "/end.bmp").toUtf8().constData();
    EXPECT_TRUE(diagram.StoreDiagramAtEnd());
    const QImage stored(dir.path() + "/end.bmp");
    EXPECT_EQ(diagram.Display().Graph().size(), stored.size());
    EXPECT_GT(CountPixels(stored, diagram.Display().Graph().GetCurve(0).m_crColor), 50);
    EXPECT_FALSE(diagram.GetBitmap().empty());

    chart::Hooks& hooks = chart::GetHooks();
    const chart::Hooks saved = hooks;
    const QString pdf = dir.filePath("diagram.pdf");
    hooks.printerPresent = [] { return true; };
    hooks.printDialog = [](QPrinter&) { return false; };
    EXPECT_FALSE(diagram.Print());
    hooks.printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    EXPECT_TRUE(diagram.Print());
    hooks = saved;
    EXPECT_GT(QFile(pdf).size(), 1000);
}

TEST(DiagramView, TheChartsMessagesAndTheSlidersReachTheDiagramWindow)
{
    TestFrame frame;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher(frame, loop);
    CAFormDiagram diagram(frame, refresher);
    diagram.StartGraph(true);
    views::ValueSet set;
    set.valid[0] = true;
    for (int i = 0; i < 100; ++i) {
        set.value[0] = i;
        diagram.AddValueSet(set);
    }
    diagram.RepaintSamples();
    CGraphicDisplayWnd& display = diagram.Display();
    EXPECT_TRUE(display.ChartPage().isHidden());
    display.PostMessage(chart::XG_PROPERTIES, 0, 0);
    loop.RunUntilIdle();
    EXPECT_FALSE(display.ChartPage().isHidden());
    EXPECT_EQ(CString("Hintergrund"), display.ChartPage().GetChartDlg()->GetDlgItemText(1001));
    display.ChartPage().hide();
    // The range slider narrows the time axis; the click slider moves the window across it.
    const double last = 99 * 0.001;
    display.RangeSlider().SetInterval(0.0, last / 2);
    display.SendMessage(CRangeSlider::ChangedMessage(), 1, 0);
    double min, max, step;
    display.Graph().GetXAxis(0).GetRangeAndStep(min, max, step);
    EXPECT_NEAR(0.0, min, 1e-9);
    EXPECT_NEAR(last / 2, max, 1e-9);
    display.SendMessage(WM_HSCROLL, (1000u << 16) | TB_THUMBPOSITION, 0);
    display.Graph().GetXAxis(0).GetRangeAndStep(min, max, step);
    EXPECT_NEAR(last / 2, min, 1e-9);
    EXPECT_NEAR(last, max, 1e-9);
}

TEST(ChannelView, ButtonsTareAndResetAndAnAbsentChannelShowsNotAvailable)
{
    CComPort com;
    TestFrame frame;
    frame.com = &com;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher(frame, loop);
    MakeTorqueChannel(*frame.tables.Entry(1), com, 1);
    SetLanguage(1000);
    CAFormChannelX view(1, frame, refresher);
    EXPECT_EQ(1, frame.registered.back());
    for (LONG v : {5000, 10000}) {
        com.m_aiValue[1] = v;
        refresher.RefreshChannelViews(0);
    }
    loop.RunFor(100);
    EXPECT_EQ(CString("2.00"), view.GetDlgItemText(CAFormChannelX::IDC_VALUE));
    EXPECT_EQ(CString("1.00"), view.GetDlgItemText(CAFormChannelX::IDC_MINIMUM));
    EXPECT_EQ(CString("Channel B [N·m]"), view.GetDlgItemText(CAFormChannelX::IDC_CAPTION));
    view.Item<QPushButton>(CAFormChannelX::IDC_TARE)->click();
    EXPECT_EQ(CString("0.00"), view.GetDlgItemText(CAFormChannelX::IDC_VALUE));
    EXPECT_EQ(CString("tared"), view.GetDlgItemText(CAFormChannelX::IDC_TARE_STATE));
    view.Item<QPushButton>(CAFormChannelX::IDC_MINIMUM)->click();
    EXPECT_EQ(CString("0.00"), view.GetDlgItemText(CAFormChannelX::IDC_MINIMUM));
    view.Item<QPushButton>(CAFormChannelX::IDC_TARE)->click();
    EXPECT_EQ(CString("2.00"), view.GetDlgItemText(CAFormChannelX::IDC_VALUE));
    frame.tables.Entry(1)->state = views::kChannelAbsent;
    refresher.RefreshChannelViews(3);
    loop.RunFor(100);
    for (int id : {CAFormChannelX::IDC_VALUE, CAFormChannelX::IDC_MINIMUM, CAFormChannelX::IDC_MAXIMUM})
        EXPECT_EQ(CString("n.a."), view.GetDlgItemText(id)) << id;
    EXPECT_FALSE(view.IsDlgItemEnabled(CAFormChannelX::IDC_TARE));
    SetLanguage(0);
}

TEST(StatusLight, NeutralPassedFailedAndTheThirdPicture)
{
    CAFormLight light;
    auto centre = [&] {
        const QImage& picture = light.LampPicture();
        const QRgb p = picture.pixel(picture.width() / 2 + 10, picture.height() / 2 + 10);
        return std::tuple<int, int, int>(qRed(p), qGreen(p), qBlue(p));
    };
    auto [r0, g0, b0] = centre();
    EXPECT_EQ(r0, g0);  // grey
    EXPECT_EQ(g0, b0);
    light.SetLight(0);
    auto [r1, g1, b1] = centre();
    EXPECT_GT(g1, r1 + 80);
    light.SetLight(2);
    auto [r2, g2, b2] = centre();
    EXPECT_GT(r2, g2 + 80);
    EXPECT_EQ(CString("NIO"), light.GetDlgItemText(CAFormLight::IDC_VERDICT));
    light.SetLight(1);
    auto [r3, g3, b3] = centre();
    EXPECT_GT(r3, b3 + 80);
    EXPECT_GT(g3, b3 + 80);
    light.SetLight(7);
    EXPECT_EQ(-1, light.GetLight());
}

// Pictures of every view in the four languages, for a person to look at: written only when
// KM3_VIEWS_PNG_DIR names a folder.
TEST(ViewPictures, EveryViewInEveryLanguage)
{
    const QByteArray folder = qgetenv("KM3_VIEWS_PNG_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "KM3_VIEWS_PNG_DIR not set";
    CComPort com;
    TestFrame frame;
    frame.com = &com;
    platform::MessageLoop loop{platform::MessageLoop::Time::Virtual};
    views::ChannelRefresher refresher(frame, loop);
    MakeTorqueChannel(*frame.tables.Entry(0), com, 0);
    frame.setup.channelShown = {true, false, false, false, false, false};
    frame.setup.curveNames[0] = "A [N·m]";
    CAFormChannelX channel(0, frame, refresher);
    CAFormChannelX absent(2, frame, refresher);
    CAFormLight light(&frame);
    CAFormDiagram diagram(frame, refresher);
    diagram.resize(720, 480);
    diagram.LoadChannelSetup();
    diagram.StartGraph(true);
    for (int i = 0; i < 400; ++i) {
        com.m_aiValue[0] = static_cast<LONG>(12000 * std::sin(i / 40.0) + 3000);
        refresher.RefreshChannelViews(0);
    }
    channel.Tare();
    com.m_aiValue[0] = 15000;
    refresher.RefreshChannelViews(0);
    loop.RunFor(100);
    for (int language : {0, 1000, 2000, 3000}) {
        SetLanguage(language);
        channel.LoadLanguageTexts();
        absent.LoadLanguageTexts();
        light.SetLight(language / 1000 == 3 ? 1 : language / 1000);
        diagram.LoadLanguageTexts();
        const QString suffix = QString("_%1.png").arg(language);
        channel.grab().save(folder + "/channel" + suffix);
        absent.grab().save(folder + "/channel_absent" + suffix);
        light.grab().save(folder + "/light" + suffix);
        diagram.grab().save(folder + "/diagram" + suffix);
        diagram.Display().ShowProperties();
        for (int tab = 0; tab < 3; ++tab) {
            QTabBar* bar = diagram.Display().ChartPage().findChild<QTabBar*>();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            diagram.Display().ChartPage().grab().save(folder + QString("/chart_page%1").arg(tab) + suffix);
        }
        diagram.Display().ChartPage().hide();
    }
    SetLanguage(0);
}

TEST(DiagramMenu, EachModeChangesWhatTheMouseDoesATrendBecomesACurveAndTheChartPrints)
{
    // Five turns of the sine: several points to a pixel, their heights far apart.
    MenuBench b(TorqueSensor(), views::kXAxisTime, 5000);
    ASSERT_TRUE(b.connected);
    ASSERT_EQ(b.graph.GetCurveCount(), 2);
    // The cursor stops the axes' own scaling: a reset after a zoom shows the round range and
    // steps of before the zoom again.
    const CXGraphAxis& x = b.graph.GetXAxis(0);
    const CXGraphAxis& y = b.graph.GetYAxis(0);
    const double min = x.m_dMin, width = x.m_dMax - x.m_dMin;
    const double yMin = y.m_dMin, yMax = y.m_dMax, yStep = y.m_dStep;
    b.Choose("Cursor");
    b.Choose("Zoomen");
    b.Drag({200, 100}, {450, 300});
    EXPECT_GT(x.m_dMin, min);
    EXPECT_LT(x.m_dMax - x.m_dMin, 0.85 * width);
    b.Choose("Zoom zurücksetzen");
    b.graph.OnPaint();
    EXPECT_TRUE(y.m_dMin == yMin && y.m_dMax == yMax && y.m_dStep == yStep) << y.m_dMin << " " << y.m_dStep;
    b.Choose("Verschieben");
    const double moved = x.GetValueForPos(400) - x.GetValueForPos(300);
    b.Drag({300, 200}, {400, 200});
    EXPECT_NEAR(x.m_dMin, min - moved, 1e-9);
    b.Choose("Cursor");
    b.Drag(b.PixelOf(50), b.PixelOf(50));
    EXPECT_EQ(b.graph.GetObjects().size(), 2u);  // the read-out and the notation pinned
    auto* notation = dynamic_cast<CXGraphDataNotation*>(b.graph.GetObjects().back());
    ASSERT_NE(notation, nullptr);
    b.Choose("Messen");
    b.Drag(b.PixelOf(210), b.PixelOf(660));
    ASSERT_EQ(b.graph.GetMeasurements().size(), 1u);
    EXPECT_NEAR(b.graph.GetMeasurements()[0].end.index, 660, 2);
    // A measurement reads the values of its points: the same after a resize, after a trend
    // narrows the plot, and on paper (below).
    const std::vector<CString> shown = b.MeasuredTexts();
    ASSERT_EQ(shown.size(), 2u);
    b.diagram.resize(560, 480);
    QApplication::processEvents();
    ASSERT_LT(b.graph.width(), 700);
    EXPECT_EQ(b.MeasuredTexts(), shown);
    b.Choose("Auswählen");
    b.Choose("Linearer Trend");  // no curve under the click: not offered
    b.Choose("Kubischer Trend", b.PixelOf(100));
    ASSERT_EQ(b.graph.GetCurveCount(), 3);
    EXPECT_EQ(b.MeasuredTexts(), shown);
    // The trend and a label's menu speak the program's language.
    EXPECT_EQ(b.graph.GetCurve(2).m_sLabel, CString("A kubischer Trend"));
    b.Choose("Beschriftung einfügen");
    CXGraphLabel* edited = nullptr;
    b.hooks.labelProperties = [&](CXGraphLabel& label) { edited = &label; };
    const CPoint centre = b.graph.GetObjects().back()->GetRect().CenterPoint();
    const QPoint label(centre.x, centre.y);
    QTest::mouseClick(&b.graph, Qt::LeftButton, {}, label);
    b.Choose("Eigenschaften", label);
    EXPECT_EQ(edited, b.graph.GetObjects().back());
    // The properties, from the menu and from the view's button: the X-axis list names its axis.
    CChartPage& sheet = b.diagram.Display().ChartPage();
    b.Choose("Eigenschaften");
    EXPECT_TRUE(!sheet.isHidden() && sheet.GetChartDlg()->ComboGetCurSel(6055) == 0);
    sheet.hide();
    b.diagram.Item<QPushButton>(CAFormDiagram::IDC_PROPERTIES)->click();
    EXPECT_TRUE(!sheet.isHidden() && sheet.GetChartDlg()->ComboGetCurSel(6055) == 0);
    // On paper laid out as shown: a label keeps its place over the plot on a page of other
    // proportions.
    b.graph.SetInnerColor(RGB(250, 250, 240));
    b.graph.CreateLabel(300, 60, 370, 90, "peak")->SetBkColor(RGB(4, 5, 6));
    b.graph.OnPaint();
    const CRect shownPlot = b.graph.GetPlotRect();
    auto paper = std::make_shared<chart::RecordingDevice>(1240, 1754, 150, 150);  // A4 at 150 dots an inch
    paper->SetPrinting(true);
    EXPECT_EQ(b.MeasuredTexts(paper), shown);
    CRect plot, box;
    for (const chart::DrawRecord& r : paper->Of(chart::DrawRecord::Op::FillRect)) {
        if (r.brush.color() == RGB(250, 250, 240)) plot = r.rect;
        if (r.brush.color() == RGB(4, 5, 6)) box = r.rect;
    }
    EXPECT_NEAR(double(box.left - plot.left) / plot.Width(), double(300 - shownPlot.left) / shownPlot.Width(), 0.005);
    EXPECT_NEAR(double(box.top - plot.top) / plot.Height(), double(60 - shownPlot.top) / shownPlot.Height(), 0.005);

    // Printed and printed from the preview: one page of the printer's size holding the chart.
    QTemporaryDir dir;
    QString pdf;
    b.hooks.printerPresent = [] { return false; };
    b.hooks.printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    b.hooks.printPreview = [&](QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
        return b.hooks.printDialog(printer) && (paint(printer), true);
    };
    const QSizeF page = QPrinter().pageLayout().fullRect(QPageLayout::Point).size();
    for (const char* entry : {"Drucken...", "Druckvorschau..."}) {
        // The range shown is printed and kept, after a zoom that was reset or that was panned.
        const bool print = QString(entry).startsWith("Drucken");
        b.Choose("Zoomen");
        b.Drag({200, 100}, {450, 300});
        b.Choose(print ? "Zoom zurücksetzen" : "Verschieben");
        if (!print) b.Drag({300, 200}, {380, 200});
        b.graph.OnPaint();
        const double shownMin = x.m_dMin, shownMax = x.m_dMax;
        pdf = dir.filePath(QString(entry).remove('.'));
        b.Choose(entry);
        EXPECT_DOUBLE_EQ(x.m_dMin, shownMin) << entry;
        EXPECT_DOUBLE_EQ(x.m_dMax, shownMax) << entry;
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry;
        const QString text = QString::fromLatin1(file.readAll());
        EXPECT_EQ(text.count(QRegularExpression(R"(/Type /Page\b(?!s))")), 1);
        EXPECT_TRUE(text.contains(QString("/MediaBox [0 0 %1.000000 %2.000000]").arg(page.width()).arg(page.height())));
        EXPECT_GT(file.size(), 10000);  // a page with only a fill takes under 2000 bytes
    }
    // No printer is said before the print dialog, not before the preview; a file that cannot
    // be written too.
    pdf = dir.filePath("missing/x.pdf");
    b.Choose("Drucken...");
    ASSERT_EQ(b.boxes.Count(), 3u);
    EXPECT_NE(b.boxes.Boxes()[0].text.Find("kein Drucker"), -1);
    EXPECT_NE(b.boxes.Boxes()[2].text.Find("missing/x.pdf"), -1);

    // The next measurement, after the pans and the cursor above and a reset: its axes round as
    // the first's, a notation shows its point as it is now.
    b.Choose("Zoom zurücksetzen");
    b.devices[0]->Port(0).SetLoad(true);
    b.diagram.StartGraph(true);
    b.Measure(5000);
    b.diagram.RepaintSamples();
    b.graph.OnPaint();
    const auto onStep = [&](double v) { return std::fabs(v / yStep - std::round(v / yStep)) < 1e-9; };
    EXPECT_TRUE(y.m_dStep == yStep && onStep(y.m_dMin) && onStep(y.m_dMax)) << y.m_dMin << " " << y.m_dMax << " " << y.m_dStep;
    const double value = b.graph.GetCurve(0).GetY(notation->m_nIndex);
    EXPECT_EQ(notation->m_dY, value);
    EXPECT_NE(notation->m_sText.Find(b.graph.GetYAxis(0).FormatTickLabel(value)), -1) << notation->m_sText.GetString();

    // Saved and loaded back (settings, labels and measurements, no curves): the chart draws the
    // measurement the diagram holds again.
    b.hooks.fileName = [&](QWidget*, bool, const CString&, const CString&) { return CString(qPrintable(dir.path() + "/run.xgr")); };
    b.Choose("Diagramm speichern...");
    b.graph.SetInnerColor(RGB(255, 255, 255));
    b.Choose("Diagramm laden...");
    ASSERT_EQ(b.graph.GetCurveCount(), 2);
    EXPECT_EQ(b.graph.GetCurve(0).GetCount(), b.diagram.GetMaxChannelSetting());
    EXPECT_EQ(b.graph.GetInnerColor(), RGB(250, 250, 240));
    EXPECT_GT(CountPixels(b.graph.grab().toImage(), b.graph.GetCurve(0).m_crColor), 300);
    EXPECT_EQ(b.MeasuredTexts().size(), 4u);  // the measurement held and the one loaded
}

// Channel A drawn over channel B, both swinging: a curve that comes back over the same x. A
// click with the cursor and the ends of a measurement snap to the point under them.
TEST(DiagramMenu, OverAChannelTheCursorAndTheMeasurementSnapToThePointUnderTheClick)
{
    sim::SensorConfig sensor = TorqueSensor();
    sensor.signalB = {sim::SignalSpec::Kind::Sine, 0.0, 20000.0, 0.0, 700.0};
    MenuBench b(sensor, 1);
    ASSERT_TRUE(b.connected && b.graph.GetCurveCount() == 1 && !b.graph.GetCurve(0).IsXAscending());
    b.Choose("Cursor");
    b.Drag(b.PixelOf(150), b.PixelOf(150));
    auto* notation = dynamic_cast<CXGraphDataNotation*>(b.graph.GetObjects().back());
    ASSERT_NE(notation, nullptr);
    EXPECT_EQ(b.PixelOf(notation->m_nIndex), b.PixelOf(150));
    b.Choose("Messen");
    b.Drag(b.PixelOf(30), b.PixelOf(150));
    ASSERT_EQ(b.graph.GetMeasurements().size(), 1u);
    const Measurement& m = b.graph.GetMeasurements()[0];
    EXPECT_TRUE(b.PixelOf(m.start.index) == b.PixelOf(30) && b.PixelOf(m.end.index) == b.PixelOf(150));
}

// While it measures and into the next measurement the chart keeps what the user did: a zoom
// (its undo shows the data as they are now), a range set on the property sheet, a curve's label
// and style. Axes the data scale read round steps in cursor mode too; the trends take the curve
// selected in the legend; the units in the chart's texts follow the language.
TEST(DiagramMenu, WhatTheUserDidHoldsWhileMeasuringAndAfterTheNextStart)
{
    sim::SensorConfig speed = TorqueSensor();
    speed.identity.rotorTypeClass = 'Y';  // a speed sensor: its unit reads "tr/min" in French
    speed.identity.statorId = 9;
    MenuBench b(speed);
    ASSERT_TRUE(b.connected);
    CXGraphAxis& x = b.graph.GetXAxis(0);
    const CString rpm = b.views.tables.Entry(1)->SelectedUnitText();
    ASSERT_EQ(rpm, CString("1/min"));
    b.views.setup.curveNames[1] = "B [" + rpm + "]";
    b.diagram.LoadChannelSetup();
    b.graph.GetCurve(0).SetLabel("Moment");
    b.graph.GetCurve(0).SetLineStyle(PS_DOT);
    chart::AxisPageData page;
    chart::FillAxisPage(b.graph.GetYAxis(1), 0.0, page);
    page.autoscale = 0;
    page.minimum = -9000.0;
    page.maximum = 9000.0;
    page.stepWidth = 3000.0;
    chart::ApplyAxisPage(b.graph.GetYAxis(1), page);
    b.diagram.StartGraph(true);
    b.Measure(500);
    b.Choose("Cursor");
    b.loop.RunFor(500);
    b.diagram.RepaintSamples();
    b.graph.OnPaint();
    const CXGraphAxis& y = b.graph.GetYAxis(0);
    const auto roundSteps = [&] {
        const double mantissa = y.m_dStep / std::pow(10.0, std::floor(std::log10(y.m_dStep)));
        return (std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9) &&
               std::fabs(y.m_dMin / y.m_dStep - std::round(y.m_dMin / y.m_dStep)) < 1e-9;
    };
    EXPECT_TRUE(roundSteps()) << y.m_dMin << " " << y.m_dStep;
    b.Choose("Zoomen");
    b.Drag({200, 100}, {450, 300});
    b.graph.OnPaint();
    const double zoomedMin = x.m_dMin, zoomedMax = x.m_dMax, zoomedY = y.m_dMax;
    b.loop.RunFor(2000);
    b.diagram.RepaintSamples();
    b.graph.OnPaint();
    EXPECT_TRUE(x.m_dMin == zoomedMin && x.m_dMax == zoomedMax && b.graph.GetZoomDepth() == 1) << x.m_dMax;
    EXPECT_EQ(y.m_dMax, zoomedY);
    b.com.COM_StopMeasure();
    b.diagram.StartGraph(true);
    b.Measure(500);
    b.com.COM_StopMeasure();
    b.diagram.RepaintSamples();
    b.graph.OnPaint();
    EXPECT_TRUE(x.m_dMin == zoomedMin && x.m_dMax == zoomedMax) << x.m_dMin << " " << x.m_dMax;
    EXPECT_TRUE(b.graph.GetCurve(0).GetLabel() == "Moment" && b.graph.GetCurve(0).GetLineStyle() == PS_DOT);
    b.Choose("Zoom rückgängig");
    EXPECT_TRUE(b.graph.GetZoomDepth() == 0 && x.m_dMax < 0.6) << x.m_dMax;
    EXPECT_TRUE(b.graph.GetYAxis(1).m_dMin == -9000.0 && b.graph.GetYAxis(1).m_dMax == 9000.0);
    // The trend of the curve selected in the legend, from a click beside the curves.
    b.Choose("Auswählen");
    const CPoint row = b.graph.GetLegendEntries().at(1).rect.CenterPoint();
    QTest::mouseClick(&b.graph, Qt::LeftButton, {}, QPoint(row.x, row.y));
    b.Choose("Linearer Trend");
    ASSERT_EQ(b.graph.GetCurveCount(), 3);
    EXPECT_EQ(b.graph.GetCurve(2).GetLabel(), CString("B [1/min] linearer Trend"));
    SetLanguage(2000);
    b.diagram.LoadLanguageTexts();
    SetLanguage(0);
    EXPECT_TRUE(b.graph.GetCurve(1).GetLabel() == "B [tr/min]" && b.graph.GetYAxis(1).GetLabel() == "B [tr/min]");
    EXPECT_EQ(b.graph.GetCurve(0).GetLabel(), CString("Moment"));
    // A zoom after the cursor, the measurement over: round steps too.
    b.Choose("Cursor");
    b.Choose("Zoomen");
    b.Drag({200, 150}, {450, 320});
    b.graph.OnPaint();
    EXPECT_TRUE(roundSteps()) << y.m_dMin << " " << y.m_dStep;
}
