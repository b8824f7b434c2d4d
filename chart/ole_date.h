#pragma once
// OLE automation dates (days since 30 December 1899, the time of day as the fraction) split
// into calendar parts and joined again, as the date and time pickers of the axis page need.

namespace chart {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// The parts of a date, rounded to whole seconds; false for a value that is not a valid date
// (not a number, or outside the years 100 to 9999).
bool OleDateToParts(double date, DateTimeParts& parts);
// The date of the parts; false when they name no valid date.
bool OleDateFromParts(const DateTimeParts& parts, double& date);

}  // namespace chart
