#pragma once
// The measure rates: an index 0 (5000 per second) to 19 (1 per hour) that the main frame keeps,
// the rate combo carries as item datum and the sensor's software configuration receives.

namespace measurement {

constexpr int kRateCount = 20;
constexpr int kRate10PerSecond = 13;
constexpr int kRate1PerSecond = 14;
constexpr int kRate20PerSecond = 12;
constexpr int kRate1PerMinute = 18;
constexpr int kRate1PerHour = 19;

// Text id of the rate ("5000/sec" ... "1/h"); 0 outside the table.
unsigned GetMeasureRateTextId(int index);
// Seconds between two samples; 1.0 outside the table.
double GetSamplePeriod(int index);
// Seconds between two value sets as they reach the program: the sensor streams the fast rates,
// one set for every reduction samples it averages; the slow rates are polled, one set a poll.
double GetSetPeriod(int index, int reduction);
// Rates above 1/sec are counted per minute on the x axis.
bool IsMinuteRate(int index);
// x-axis unit text id of a rate: 5190 "s" to 1/sec, 5191 "min" to 1/min, 5192 "h" for 1/h.
int XAxisUnitTextIdOfRate(int index);
// Seconds per x-axis unit: 5190 1, 5191 60, 5192 3600, anything else 1.
double GetXAxisUnitFactor(int unitTextId);
// The page's table of rate codes, which must equal their positions; returns the positions
// that do not (each gets a message at start-up).
int CountInconsistentRateCodes();

}  // namespace measurement
