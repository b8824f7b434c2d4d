// Printing at printer resolution and the bitmaps of the chart.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include "chart/chart_hooks.h"
#include "chart/dib.h"
#include "chart/painter_device.h"
#include "chart/recording_device.h"
#include "chart_test_support.h"

using chart::DrawRecord;
using chart::RecordingDevice;
using chart_test::Line;
using chart_test::MakeChart;

namespace {

std::uint32_t Le32(const std::vector<BYTE>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

class PrintAndBitmap : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart = MakeChart(200, 100);
        points = Line();
        chart->SetCurveData(points.data(), 11, 0, 0, 0, true, false, false);
    }
    std::unique_ptr<CXGraph> chart;
    std::vector<ChartPoint> points;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(PrintAndBitmap, BitmapFileHasItsHeaderAndBottomUpRows)
{
    EXPECT_FALSE(chart->SaveBitmap(CString(dir.filePath("none.bmp").toStdString())));
    chart->SetBackColor(RGB(10, 20, 30));
    chart->OnPaint();
    const CString file(dir.filePath("chart.bmp").toStdString());
    ASSERT_TRUE(chart->SaveBitmap(file));
    QFile f(dir.filePath("chart.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    const std::vector<BYTE> b(raw.begin(), raw.end());
    ASSERT_EQ(58u + 200 * 100 * 4, b.size());
    EXPECT_EQ('B', b[0]);
    EXPECT_EQ('M', b[1]);
    EXPECT_EQ(b.size(), Le32(b, 2));
    EXPECT_EQ(58u, Le32(b, 10));
    EXPECT_EQ(40u, Le32(b, 14));
    EXPECT_EQ(200u, Le32(b, 18));
    EXPECT_EQ(100u, Le32(b, 22));
    EXPECT_EQ(32, b[28]);
    EXPECT_EQ(200u * 100 * 4, Le32(b, 34));
    // The first row of the file is the bottom row of the picture: the back colour.
    EXPECT_EQ(30, b[58]);
    EXPECT_EQ(20, b[59]);
    EXPECT_EQ(10, b[60]);
    EXPECT_EQ(0, b[61]);
    const QRgb top = chart->grab().toImage().pixel(100, 50);
    const std::size_t at = 58 + (49 * 200 + 100) * 4;
    EXPECT_EQ(qBlue(top), b[at]);
    EXPECT_EQ(qRed(top), b[at + 2]);
}

TEST_F(PrintAndBitmap, DibOfWhatTheWindowShows)
{
    const std::vector<BYTE> dib = chart->GetBitmap();
    ASSERT_EQ(44u + 200 * 100 * 4, dib.size());
    EXPECT_TRUE(chart::DDBToDIB(chart->grab().toImage(), chart::BI_BITFIELDS).empty());
    EXPECT_FALSE(chart::WriteDIB(CString(dir.filePath("x.bmp").toStdString()), {}));
}

// The page holds the window's layout enlarged as a whole: 24 dots a pixel fill its width.
TEST_F(PrintAndBitmap, PrintingAt600DpiEnlargesTheWindowsLayoutToThePage)
{
    auto printer = std::make_shared<RecordingDevice>(4800, 6600, 600, 600);
    printer->SetPrinting(true);
    CDC dc(printer);
    chart->OnPaint();
    const CRect screenPlot = chart->GetPlotRect();
    const std::vector<BYTE> before = chart->GetBitmap();
    chart->PrintGraph(&dc);
    EXPECT_EQ(nullptr, chart->m_pPrintDC);
    EXPECT_EQ(CRect(0, 0, 200, 100), chart->m_rcPrint);
    EXPECT_EQ(screenPlot, chart->GetPlotRect());
    // The chart's area is filled with the back colour, in printer units.
    const auto fills = printer->Of(DrawRecord::Op::FillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(CRect(0, 0, 4800, 2400), fills[0].rect);
    // The print pass leaves the window's picture alone.
    EXPECT_EQ(before, chart->GetBitmap());
    chart->OnPaint();
    EXPECT_EQ(screenPlot, chart->GetPlotRect());
}

TEST_F(PrintAndBitmap, PrintRectangleMapsVerticalEdgesWithTheVerticalFactor)
{
    auto printer = std::make_shared<RecordingDevice>(4800, 6600, 600, 300);
    printer->SetPrinting(true);
    CDC dc(printer);
    // 2400 x 1200 dots hold the 200 x 100 window at 12 x 6 dots a pixel.
    chart->PrintGraphRect(&dc, 600, 300, 3000, 1500);
    EXPECT_EQ(CRect(50, 50, 250, 150), chart->m_rcPrint);
}

TEST_F(PrintAndBitmap, MonochromePrinterDrawsInBlackAndWhite)
{
    auto printer = std::make_shared<RecordingDevice>(4800, 6600, 600, 600);
    printer->SetPrinting(true);
    printer->SetNumColors(2);
    CDC dc(printer);
    chart->PrintGraph(&dc);
    for (const DrawRecord& r : printer->Of(DrawRecord::Op::FillRect)) {
        EXPECT_TRUE(r.brush.color() == RGB(255, 255, 255) || r.brush.color() == 0) << std::hex << r.brush.color();
    }
}

TEST_F(PrintAndBitmap, PrintCommandWritesAPdfAndACancelPrintsNothing)
{
    chart::Hooks& hooks = chart::GetHooks();
    const auto saved = hooks.printDialog;
    const QString pdf = dir.filePath("chart.pdf");
    hooks.printDialog = [](QPrinter&) { return false; };
    chart->OnPrint();
    EXPECT_FALSE(QFile::exists(pdf));
    hooks.printDialog = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(600);
        return true;
    };
    chart->OnPrint();
    hooks.printDialog = saved;
    EXPECT_EQ(nullptr, chart->m_pPrintDC);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    EXPECT_GT(f.size(), 1000);
}

TEST_F(PrintAndBitmap, PdfPrinterAt600DpiLaysTheChartOutAsTheWindowDoes)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    printer.setResolution(600);
    CDC dc(std::make_shared<chart::PrinterDevice>(printer));
    ASSERT_EQ(600, dc.GetDeviceCaps(LOGPIXELSX));
    ASSERT_TRUE(dc.StartDoc("Graph"));
    chart->PrintGraph(&dc);
    EXPECT_EQ(CRect(0, 0, 200, 100), chart->m_rcPrint);
    EXPECT_GT(QFile(dir.filePath("page.pdf")).size(), 1000);
}

TEST_F(PrintAndBitmap, PreviewContextsAreDrawnWithoutEndingTheDocument)
{
    auto printer = std::make_shared<RecordingDevice>(4800, 6600, 600, 600);
    printer->SetPrinting(true);
    CDC dc(printer);
    dc.SetPreviewAttribute(true);
    chart->PrintGraph(&dc);
    EXPECT_FALSE(printer->records().empty());
}
