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

void WriteHeader(CDelimitedTableWriter& writer, const CDocumentationSettings& settings,
                 const MeasurementDescription& description, const FileLabels& labels, const IoNioEvaluation& evaluation)
{
    WriteReportHeaderLines(writer, settings, description, labels);
    writer.EndLine();
    writer.AppendText(labels.date.view());
    writer.AppendText(labels.time.view());
    for (const IoNioCondition& condition : evaluation.conditions) {
        if (!condition.defined) continue;
        const CString unit = condition.unit.IsEmpty() ? CString() : " [" + condition.unit + "]";
        writer.AppendText((condition.measurand + " " + labels.lowerLimit + unit).view());
        writer.AppendText((condition.measurand + " " + labels.upperLimit + unit).view());
        writer.AppendText((condition.measurand + " " + labels.value + unit).view());
        writer.AppendText((condition.measurand + " " + labels.result).view());
    }
    writer.AppendText(labels.result.view());
    writer.EndLine();
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
    bool newFile = true;
    if (mode == kStorageIndexed) {
        if (!ClaimIndexedFile(folder, prefix, kTableExtension, file, error)) return false;
    } else {
        if (!file.Open(ConstantFileName(folder, prefix, kTableExtension), CAppendFile::Create::Append, error)) return false;
        newFile = file.Size() == 0;
    }
    fileName = file.FileName();
    CDelimitedTableWriter writer(settings.separators);
    if (newFile) WriteHeader(writer, settings, description, labels, evaluation);
    WriteLine(writer, labels, evaluation);
    return file.Append(writer.Buffer(), error);
}

}  // namespace documentation
