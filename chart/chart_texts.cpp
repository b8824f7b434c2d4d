#include "chart/chart_texts.h"

#include <iterator>

namespace chart {

namespace {

struct TextRow {
    ChartText id;
    const char* german;
    const char* english;
};

// Sources are UTF-8 and compiled to Windows-1252, so "ä" here is one byte in the program.
constexpr TextRow kTexts[] = {
    {ChartText::Ok, "OK", "OK"},
    {ChartText::Cancel, "Abbrechen", "Cancel"},
    {ChartText::Apply, "Übernehmen", "Apply"},
    {ChartText::Automatic, "Automatisch", "Automatic"},
    {ChartText::MoreColors, "Weitere Farben...", "More Colors..."},
    {ChartText::Left, "Links", "Left"},
    {ChartText::Right, "Rechts", "Right"},
    {ChartText::Centered, "Zentriert", "Centered"},
    {ChartText::Line, "Linie", "Line"},
    {ChartText::Scatter, "Punkte", "Scatter"},
    {ChartText::Seconds, "Sekunden", "Seconds"},
    {ChartText::Minutes, "Minuten", "Minutes"},
    {ChartText::Hours, "Stunden", "Hours"},
    {ChartText::Days, "Tage", "Days"},
    {ChartText::Properties, "Eigenschaften", "Properties"},
    {ChartText::SheetTitle, "XGraph-Eigenschaften", "XGraph-Properties"},
    {ChartText::ChartPageTitle, "Diagramm", "Chart"},
    {ChartText::AxisPageTitle, "Achse", "Axis"},
    {ChartText::CurvePageTitle, "Kurve", "Curve"},
    {ChartText::BackgroundColour, "Hintergrundfarbe", "Backgroundcolor"},
    {ChartText::Border, "Rahmen", "Border"},
    {ChartText::Alignment, "Ausrichtung", "Alignment"},
    {ChartText::ConnectToCurve, "Mit Kurve verbinden", "Connect to curve"},
    {ChartText::Transparent, "Transparent", "Transparent"},
    {ChartText::Font, "Schrift", "Font"},
};

ChartLanguage g_language = ChartLanguage::English;

}  // namespace

const char* ChartTextOf(ChartText id)
{
    for (const TextRow& row : kTexts)
        if (row.id == id) return g_language == ChartLanguage::German ? row.german : row.english;
    return "@";
}

void SetChartLanguage(ChartLanguage language)
{
    g_language = language;
}

ChartLanguage GetChartLanguage()
{
    return g_language;
}

}  // namespace chart
