#include "documentation/documentation_texts.h"

#include <cerrno>

#include "res/string_table.h"

namespace documentation {

CString FileFaultText(UINT textId, const CString& fileName, const CString& reason)
{
    CString text = LoadLangString(textId);
    text.Replace("<file>", fileName);
    if (reason.IsEmpty()) {
        text.Replace(" (<reason>)", "");
        text.Replace("\n(<reason>)", "");
    }
    text.Replace("<reason>", reason);
    return text;
}

CString ErrnoText(int error)
{
    switch (error) {
    case ENOENT: return LoadLangString(kTextReasonMissing);
    case EACCES:
    case EPERM: return LoadLangString(kTextReasonNoPermission);
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return LoadLangString(kTextReasonDiskFull);
    case EROFS: return LoadLangString(kTextReasonReadOnly);
    case ENOTDIR: return LoadLangString(kTextReasonNotAFolder);
    case EISDIR: return LoadLangString(kTextReasonIsAFolder);
    case ENAMETOOLONG: return LoadLangString(kTextReasonNameTooLong);
    case EIO: return LoadLangString(kTextReasonInputOutput);
    case EMFILE:
    case ENFILE: return LoadLangString(kTextReasonTooManyFiles);
    default: return CString::Formatted(LoadLangString(kTextReasonSystemError).GetString(), error);
    }
}

CString SeparatorProblemText(SeparatorProblem problem)
{
    switch (problem) {
    case SeparatorProblem::None: return CString();
    case SeparatorProblem::Equal: return LoadLangString(kTextSeparatorsEqual);
    case SeparatorProblem::FieldInNumbers: return LoadLangString(kTextFieldInNumbers);
    case SeparatorProblem::DecimalInNumbers: return LoadLangString(kTextDecimalInNumbers);
    case SeparatorProblem::Unusable: return LoadLangString(kTextSeparatorUnusable);
    }
    return CString();
}

FileLabels FileLabelsFromStringTable()
{
    FileLabels labels;
    labels.sensor = LoadLangString(kTextLabelSensor);
    labels.date = LoadLangString(kTextLabelDate);
    labels.time = LoadLangString(kTextLabelTime);
    labels.measureRate = LoadLangString(kTextLabelMeasureRate);
    labels.timeColumn = LoadLangString(kTextLabelTimeColumn);
    labels.lowerLimit = LoadLangString(kTextLabelLower);
    labels.upperLimit = LoadLangString(kTextLabelUpper);
    labels.value = LoadLangString(kTextLabelValue);
    labels.result = LoadLangString(kTextLabelResult);
    labels.passed = LoadLangString(kTextLabelPassed);
    labels.failed = LoadLangString(kTextLabelFailed);
    return labels;
}

}  // namespace documentation
