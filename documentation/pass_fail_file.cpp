#include "documentation/pass_fail_file.h"

#include "documentation/append_file.h"
#include "documentation/file_naming.h"

namespace documentation {

bool IoNioEvaluation::Passed() const
{
    bool any = false;
    for (const IoNioCondition& condition : conditions) {
        if (!condition.defined) continue;
        any = true;
        if (!condition.passed) return false;
    }
    return any;
}

namespace {

// How far back a file with the constant name is searched for the header its last rows stand
// under. Where it lies further back the header is written again: a repeated header costs a
// line, a row under another measurement's columns would cost the table.
constexpr std::size_t kHeaderSearchBytes = 1 << 20;

// The header of a block of results: the report lines (header texts and sensor identity), an
// empty line, then the column line of the evaluation's conditions.
struct Header {
    std::string reportLines;
    std::string columnLine;
};

Header MakeHeader(const CDocumentationSettings& settings, const MeasurementDescription& description,
                  const FileLabels& labels, const IoNioEvaluation& evaluation)
{
    CDelimitedTableWriter report(settings.separators);
    WriteReportHeaderLines(report, settings, description, labels);
    CDelimitedTableWriter columns(settings.separators);
    columns.AppendText(labels.date.view());
    columns.AppendText(labels.time.view());
    for (const IoNioCondition& condition : evaluation.conditions) {
        if (!condition.defined) continue;
        const CString unit = condition.unit.IsEmpty() ? CString() : " [" + condition.unit + "]";
        columns.AppendText((condition.measurand + " " + labels.lowerLimit + unit).view());
        columns.AppendText((condition.measurand + " " + labels.upperLimit + unit).view());
        columns.AppendText((condition.measurand + " " + labels.value + unit).view());
        columns.AppendText((condition.measurand + " " + labels.result).view());
    }
    columns.AppendText(labels.result.view());
    columns.EndLine();
    return {report.Buffer(), columns.Buffer()};
}

void WriteHeader(CDelimitedTableWriter& writer, const Header& header)
{
    writer.Buffer() += header.reportLines;
    writer.EndLine();
    writer.Buffer() += header.columnLine;
}

// True when the rows at the end of the file stand under this header. Result rows are never
// empty, so the header they stand under is the one whose empty line is the file's last; tail
// is the file's end, whole says whether it is the whole file.
bool EndsUnderHeader(std::string_view tail, bool whole, const Header& header)
{
    constexpr std::string_view kLineEnd = "\r\n";
    std::size_t emptyLine = std::string_view::npos;
    if (const std::size_t pair = tail.rfind("\r\n\r\n"); pair != std::string_view::npos) emptyLine = pair + kLineEnd.size();
    else if (whole && tail.substr(0, kLineEnd.size()) == kLineEnd) emptyLine = 0;
    if (emptyLine == std::string_view::npos) return false;
    const std::string_view before = tail.substr(0, emptyLine);
    const std::string_view after = tail.substr(emptyLine + kLineEnd.size());
    if (after.substr(0, header.columnLine.size()) != header.columnLine) return false;
    if (before.size() < header.reportLines.size() ||
        before.substr(before.size() - header.reportLines.size()) != header.reportLines)
        return false;
    // The report lines begin a line of their own.
    const std::size_t begin = before.size() - header.reportLines.size();
    return begin > 0 ? before[begin - 1] == '\n' : whole;
}

void WriteLine(CDelimitedTableWriter& writer, const FileLabels& labels, const IoNioEvaluation& evaluation)
{
    writer.AppendText(DateText(evaluation.time).view());
    writer.AppendText(TimeText(evaluation.time).view());
    for (const IoNioCondition& condition : evaluation.conditions) {
        if (!condition.defined) continue;
        if (condition.hasLower) writer.AppendNumber(condition.lower, condition.decimals);
        else writer.AppendText("");
        if (condition.hasUpper) writer.AppendNumber(condition.upper, condition.decimals);
        else writer.AppendText("");
        writer.AppendNumber(condition.value, condition.decimals);
        writer.AppendText((condition.passed ? labels.passed : labels.failed).view());
    }
    writer.AppendText((evaluation.Passed() ? labels.passed : labels.failed).view());
    writer.EndLine();
}

}  // namespace

bool WriteIoNioResult(const CDocumentationSettings& settings, int mode, const MeasurementDescription& description,
                      const FileLabels& labels, const IoNioEvaluation& evaluation, CString& fileName, CString& error)
{
    if (mode == kStorageOff) return true;
    const CString& folder = settings.directory[kIoNioResults];
    const CString& prefix = settings.prefix[kIoNioResults];
    CAppendFile file;
    if (mode == kStorageIndexed) {
        if (!ClaimIndexedFile(folder, prefix, kTableExtension, file, error)) return false;
    } else {
        if (!file.Open(ConstantFileName(folder, prefix, kTableExtension), CAppendFile::Create::Append, error)) return false;
    }
    fileName = file.FileName();
    const Header header = MakeHeader(settings, description, labels, evaluation);
    CDelimitedTableWriter writer(settings.separators);
    if (file.Size() > 0) {
        // Results collect under one header as long as they have its columns; a measurement
        // judged by other ones (other conditions, units, sensors or language) starts a block
        // of its own after an empty line.
        std::string tail;
        if (!file.ReadTail(kHeaderSearchBytes, tail, error)) return false;
        if (!EndsUnderHeader(tail, tail.size() == file.Size(), header)) {
            // A last line without its end (the file edited by hand) is ended first.
            if (!tail.empty() && tail.back() != '\n') writer.EndLine();
            writer.EndLine();
            WriteHeader(writer, header);
        }
    } else {
        WriteHeader(writer, header);
    }
    WriteLine(writer, labels, evaluation);
    return file.Append(writer.Buffer(), error);
}

}  // namespace documentation
