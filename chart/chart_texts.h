#pragma once
// The texts that the chart's own windows show (list entries, button captions, the colour
// picker's cells, the standard captions of the property pages). They live in the program's
// string table (res/strings/chart.tsv) under these ids, in the current language.

namespace chart {

enum class ChartText : unsigned {
    Ok = 5970,
    Cancel = 5971,
    Apply = 5972,
    Automatic = 5973,
    MoreColors = 5974,
    Left = 5975,
    Right = 5976,
    Centered = 5977,
    Line = 5978,
    Scatter = 5979,
    Seconds = 5980,
    Minutes = 5981,
    Hours = 5982,
    Days = 5983,
    Properties = 5984,
    SheetTitle = 5985,
    ChartPageTitle = 5986,
    AxisPageTitle = 5987,
    CurvePageTitle = 5988,
    BackgroundColour = 5989,
    Border = 5990,
    Alignment = 5991,
    ConnectToCurve = 5992,
    Transparent = 5993,
    Font = 5994,
    // The name a trend curve adds to its curve's name.
    LinearTrend = 5995,
    CubicTrend = 5996,
};

// The text in the current language of the program ("@" for an id the table lacks).
const char* ChartTextOf(ChartText id);

}  // namespace chart
