#pragma once
// The string ids of the texts the views show, and the one way they read them.

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace views {

constexpr UINT kTextPowerMW = 5105;
constexpr UINT kTextPowerKW = 5106;
constexpr UINT kTextPowerW = 5107;
constexpr UINT kTextPowerHp = 5108;
constexpr UINT kTextUnitAdu = 5319;
constexpr UINT kTextUnitCelsius = 5539;
constexpr UINT kTextChannelA = 5321;   // 5321..5324 "Channel A".."Channel D"
constexpr UINT kTextPower = 5033;      // "Power"
constexpr UINT kTextSensor = 5111;     // "Sensor"

// Unit names of the sensors' measurands (the same in every language).
constexpr UINT kTextUnitNm = 5560;
constexpr UINT kTextUnitKNm = 5561;
constexpr UINT kTextUnitMNm = 5562;
constexpr UINT kTextUnitCNm = 5563;
constexpr UINT kTextUnitLbfFt = 5564;
constexpr UINT kTextUnitLbfIn = 5565;
constexpr UINT kTextUnitOzfIn = 5566;
constexpr UINT kTextUnitKgfM = 5567;
constexpr UINT kTextUnitN = 5568;
constexpr UINT kTextUnitKN = 5569;
constexpr UINT kTextUnitMilliN = 5570;
constexpr UINT kTextUnitLbf = 5571;
constexpr UINT kTextUnitKgf = 5572;
constexpr UINT kTextUnitG = 5573;
constexpr UINT kTextUnitKg = 5574;
constexpr UINT kTextUnitT = 5575;
constexpr UINT kTextUnitMg = 5576;
constexpr UINT kTextUnitLb = 5577;
constexpr UINT kTextUnitMVV = 5578;
constexpr UINT kTextUnitV = 5579;
constexpr UINT kTextUnitMilliV = 5580;
constexpr UINT kTextUnitMilliA = 5581;
constexpr UINT kTextUnitA = 5582;
constexpr UINT kTextUnitRpm = 5583;
constexpr UINT kTextUnitPerSecond = 5584;
constexpr UINT kTextUnitRadPerSecond = 5585;
constexpr UINT kTextUnitDegree = 5586;
constexpr UINT kTextUnitRad = 5587;

// Texts of the views themselves.
constexpr UINT kTextTare = 5588;        // "Tara"
constexpr UINT kTextMinimum = 5589;     // "Min."
constexpr UINT kTextMaximum = 5590;     // "Max."
constexpr UINT kTextDiagram = 5140;     // "Diagramm"
constexpr UINT kTextLightNeutral = 5591;
constexpr UINT kTextLightPassed = 5592;
constexpr UINT kTextLightFailed = 5593;
constexpr UINT kTextLightWarning = 5594;
constexpr UINT kTextBackground = 5595;  // "Hintergrund", the chart page's background caption
constexpr UINT kTextTareActive = 5596;  // "tariert"
constexpr UINT kTextProperties = 5597;  // the diagram's property button
constexpr UINT kTextDiagramPoints = 5598;  // "Punkte:"
// The diagram's context menu: its chart files.
constexpr UINT kTextSaveChart = 5646;
constexpr UINT kTextLoadChart = 5647;
constexpr UINT kTextChartNotSaved = 5648;
constexpr UINT kTextChartNotLoaded = 5649;
constexpr UINT kTextChartFilter = 5650;
constexpr UINT kTextChartExists = 5660;  // "%s already exists. Replace it?"
// Its operation modes and the chart's commands.
constexpr UINT kTextSelectMode = 5642;
constexpr UINT kTextZoomMode = 5643;
constexpr UINT kTextPanMode = 5644;
constexpr UINT kTextCursorMode = 5645;
constexpr UINT kTextMeasureMode = 5651;
constexpr UINT kTextUndoZoom = 5663;
constexpr UINT kTextResetZoom = 5664;
constexpr UINT kTextInsertLabel = 5652;
constexpr UINT kTextLinearTrend = 5654;
constexpr UINT kTextCubicTrend = 5655;
// Printing.
constexpr UINT kTextPrint = 5656;
constexpr UINT kTextPrintPreview = 5657;
constexpr UINT kTextNoPrinter = 5658;
constexpr UINT kTextChartNotPrinted = 5659;

// The text of a German id in the current language ("@" when the table lacks it).
CString ViewText(UINT germanId);
// The current language offset (0, 1000, 2000, 3000).
int ViewLanguage();

}  // namespace views
