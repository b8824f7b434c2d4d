#pragma once
// What a channel shows: its latest value, minimum and maximum, kept in the channel's base
// quantity (raw counts for A to D, watts for the power channels) together with the tare, so
// that a change of unit, sign or decimals never makes a kept value wrong. The shown numbers are
// (base - tare) x factor x sign, worked out when they are shown.

#include <limits>

#include "views/display_tables.h"

namespace views {

struct ChannelValues {
    bool hasValue = false;       // a value arrived since the last reset
    double base = 0.0;           // latest value (smoothed), in the base quantity
    double shownBase = 0.0;      // the value the views show (the last one not decimated away)
    double minBase = std::numeric_limits<double>::infinity();
    double maxBase = -std::numeric_limits<double>::infinity();
    double tare = 0.0;
    bool tared = false;
    bool firstValue = true;      // no value shown since the views were reset

    void Add(double value);
    void ResetMinMax();
    void ResetMinimum();         // the minimum starts again from the current value
    void ResetMaximum();
    void Tare();                 // the current value becomes zero
    void ClearTare();
    void Reset();
    // What was measured is gone (its sensor left): the tare the user set stays.
    void ForgetMeasured();
};

// How a channel turns its base quantity into the number shown.
struct ChannelScale {
    bool usable = false;  // a finite, non-zero factor and a channel that is on
    double factor = 0.0;  // unit factor, sign included
};

// The number shown for a base value; NaN when the scale is not usable or the value is not
// finite.
double ShownValue(double base, const ChannelValues& values, const ChannelScale& scale);
// The shown minimum and maximum (swapped when the factor is negative); NaN without values.
double ShownMinimum(const ChannelValues& values, const ChannelScale& scale);
double ShownMaximum(const ChannelValues& values, const ChannelScale& scale);

}  // namespace views
