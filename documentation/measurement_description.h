#pragma once
// What a measured-value or pass/fail file says about its measurement, and the texts of the
// header's labels in the current language.

#include <array>
#include <cstdint>
#include <vector>

#include "documentation/delimited_table.h"
#include "documentation/documentation_settings.h"
#include "platform/cstring.h"

namespace documentation {

struct ChannelDescription {
    CString name;      // "A", "B", ..., "P1"
    CString unit;      // "N·m", "1/min", ...
    int decimals = 3;  // decimals of the written values
};

struct MeasurementDescription {
    std::vector<CString> sensorIdentity;  // one text per sensor (type, serial number)
    std::vector<ChannelDescription> channels;
    CString measureRateText;              // as the set-up page shows it
    double intervalSeconds = 0.001;       // time between two value sets
    double durationSeconds = 0.0;         // set measuring time; 0: none
    std::uint64_t setCount = 0;           // a stop by count: the sets that end it, not the time; 0: none
};

// The labels of the file headers, in the language of the moment (FileLabelsFromStringTable).
struct FileLabels {
    CString sensor = "Sensor";
    CString date = "Datum";
    CString time = "Uhrzeit";
    CString measureRate = "Messrate";
    CString timeColumn = "Zeit [s]";
    CString lowerLimit = "Untergrenze";
    CString upperLimit = "Obergrenze";
    CString value = "Wert";
    CString result = "Ergebnis";
    CString passed = "IO";
    CString failed = "NIO";
};

// The labels from the string table in the current language.
FileLabels FileLabelsFromStringTable();

// "YYYY-MM-DD" and "hh:mm:ss" of a time in seconds since 1970, local time.
CString DateText(std::int64_t seconds);
CString TimeText(std::int64_t seconds);

// Decimals that the time column needs for this interval (0 to 6).
int TimeDecimals(double intervalSeconds);

// The lines every documentation file begins with: the report header texts that are filled, then
// one line of sensor identity per sensor.
void WriteReportHeaderLines(CDelimitedTableWriter& writer, const CDocumentationSettings& settings,
                            const MeasurementDescription& description, const FileLabels& labels);

// The header of a measured-value file: report header texts, sensor identity, date and time of
// the first record, measure rate, an empty line, then the column line (time and each channel
// with its unit).
void WriteMeasValueHeader(CDelimitedTableWriter& writer, const CDocumentationSettings& settings,
                          const MeasurementDescription& description, const FileLabels& labels,
                          std::int64_t firstRecordSeconds);

}  // namespace documentation
