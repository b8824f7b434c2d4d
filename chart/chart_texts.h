#pragma once
// The texts that the chart's own windows show (list entries, button captions, the colour
// picker's cells, the standard captions of the property pages), in German and English.
// They stay here until the program's string table carries them.

namespace chart {

enum class ChartText {
    Ok,
    Cancel,
    Apply,
    Automatic,
    MoreColors,
    Left,
    Right,
    Centered,
    Line,
    Scatter,
    Seconds,
    Minutes,
    Hours,
    Days,
    Properties,
    SheetTitle,
    ChartPageTitle,
    AxisPageTitle,
    CurvePageTitle,
    BackgroundColour,
    Border,
    Alignment,
    ConnectToCurve,
    Transparent,
    Font,
};

enum class ChartLanguage { German, English };

// The text in the current language (English until the client chooses).
const char* ChartTextOf(ChartText id);
void SetChartLanguage(ChartLanguage language);
ChartLanguage GetChartLanguage();

}  // namespace chart
