#include "documentation/measurement_description.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace documentation {

CString DateText(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return CString::Formatted("%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

CString TimeText(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return CString::Formatted("%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
}

int TimeDecimals(double intervalSeconds)
{
    if (!(intervalSeconds > 0.0) || !std::isfinite(intervalSeconds)) return 3;
    for (int decimals = 0; decimals < 6; ++decimals) {
        const double scaled = intervalSeconds * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, scaled)) return decimals;
    }
    return 6;
}

void WriteReportHeaderLines(CDelimitedTableWriter& writer, const CDocumentationSettings& settings,
                            const MeasurementDescription& description, const FileLabels& labels)
{
    for (const CString& text : settings.headerText) {
        if (text.IsEmpty()) continue;
        writer.AppendText(text.view());
        writer.EndLine();
    }
    for (const CString& identity : description.sensorIdentity) {
        writer.AppendText(labels.sensor.view());
        writer.AppendText(identity.view());
        writer.EndLine();
    }
}

void WriteMeasValueHeader(CDelimitedTableWriter& writer, const CDocumentationSettings& settings,
                          const MeasurementDescription& description, const FileLabels& labels,
                          std::int64_t firstRecordSeconds)
{
    WriteReportHeaderLines(writer, settings, description, labels);
    writer.AppendText(labels.date.view());
    writer.AppendText(DateText(firstRecordSeconds).view());
    writer.AppendText(labels.time.view());
    writer.AppendText(TimeText(firstRecordSeconds).view());
    writer.EndLine();
    writer.AppendText(labels.measureRate.view());
    writer.AppendText(description.measureRateText.view());
    writer.EndLine();
    writer.EndLine();
    writer.AppendText(labels.timeColumn.view());
    for (const ChannelDescription& channel : description.channels) {
        CString column = channel.name;
        if (!channel.unit.IsEmpty()) column += " [" + channel.unit + "]";
        writer.AppendText(column.view());
    }
    writer.EndLine();
}

}  // namespace documentation
