#pragma once
// Helpers shared by the chart core tests: a parent window that records the chart's posted
// messages, and a chart laid out at a known size.

#include <QPixmap>
#include <memory>
#include <vector>

#include "chart/xgraph.h"
#include "platform/wnd.h"

namespace chart_test {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingParent : public CWnd {
public:
    std::vector<Posted> messages;
    // Runs the loop so that posted messages arrive, and returns those of one number.
    std::vector<Posted> Take(UINT message)
    {
        loop().RunUntilIdle();
        std::vector<Posted> out;
        for (const Posted& p : messages) {
            if (p.message == message) out.push_back(p);
        }
        return out;
    }
    void Clear()
    {
        loop().RunUntilIdle();
        messages.clear();
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
};

// 11 points y = x on 0..10.
inline std::vector<ChartPoint> Line(int count = 11, double slope = 1.0)
{
    std::vector<ChartPoint> points;
    for (int i = 0; i < count; ++i) points.push_back({static_cast<double>(i), slope * i});
    return points;
}

// A chart of 400 x 300 pixels, not shown, painted once.
inline std::unique_ptr<CXGraph> MakeChart(int width = 400, int height = 300)
{
    auto chart = std::make_unique<CXGraph>();
    chart->resize(width, height);
    return chart;
}

}  // namespace chart_test
