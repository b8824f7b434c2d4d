#include "measurement/pass_fail_evaluation.h"

#include <cmath>
#include <cstdlib>

#include "platform/message_box.h"

namespace measurement {

IoNioLastEvaluationRecord& IoNioLastEvaluation()
{
    static IoNioLastEvaluationRecord record;
    return record;
}

UINT MeasurandCaptionId(int measurand)
{
    if (measurand >= 0 && measurand <= 3) return 5321u + static_cast<UINT>(measurand);
    if (measurand == 4 || measurand == 5) return 5033;
    return 0;
}

double ReadLimitText(const CString& text)
{
    CString copy = text;
    copy.Replace(',', '.');
    return std::atof(copy.GetString());
}

ParsedLimits ParseLimits(const CString& lower1, const CString& upper1, const CString& lower2, const CString& upper2)
{
    ParsedLimits limits;
    const CString* texts[4] = {&lower1, &upper1, &lower2, &upper2};
    for (int k = 0; k < 4; ++k) {
        CString trimmed = *texts[k];
        trimmed.Trim();
        limits.has[static_cast<std::size_t>(k)] = !trimmed.IsEmpty();
        limits.value[static_cast<std::size_t>(k)] = limits.has[static_cast<std::size_t>(k)] ? ReadLimitText(trimmed) : 0.0;
    }
    return limits;
}

namespace {

// One condition: the limits are inclusive; a value that is no number passes only where there
// is nothing to compare it with.
inline BYTE Judge(double value, bool hasLower, double lower, bool hasUpper, double upper)
{
    const bool nan = value != value;
    const bool lowerOk = !hasLower || (!nan && !(value < lower));
    const bool upperOk = !hasUpper || (!nan && !(value > upper));
    return static_cast<BYTE>(lowerOk && upperOk);
}

}  // namespace

IoNioVerdict JudgeConditions(const double* values, int measurand1, int measurand2, const ParsedLimits& l)
{
    IoNioVerdict verdict;
    if (measurand1 >= 0 && measurand1 < kMeasurandCount)
        verdict.condition1 = Judge(values[measurand1], l.has[0], l.value[0], l.has[1], l.value[1]);
    if (measurand2 >= 0 && measurand2 < kMeasurandCount)
        verdict.condition2 = Judge(values[measurand2], l.has[2], l.value[2], l.has[3], l.value[3]);
    return verdict;
}

IoNioVerdict CValidation_IO_NIO::Execute(const MeasuredValueRecord& record, std::int32_t measurand1,
                                         std::int32_t measurand2, CString lower1, CString upper1, CString lower2,
                                         CString upper2, std::int32_t callCheck)
{
    IoNioLastEvaluationRecord& last = IoNioLastEvaluation();
    last.measurand1 = measurand1;
    last.measurand2 = measurand2;
    const std::int32_t measurands[2] = {measurand1, measurand2};
    for (int c = 0; c < 2; ++c) {
        const int m = measurands[c];
        if (m < 0) continue;
        if (callCheck != 0) {
            AfxMessageBox("improper call of CValidation_IO_NIO.Execute()");
            return IoNioVerdict{0, 0};
        }
        if (m >= kMeasurandCount) {
            // Once for the lower and once for the upper limit of the condition.
            AfxMessageBox("one of measurands for IO/NIO Control cannot be defined");
            AfxMessageBox("one of measurands for IO/NIO Control cannot be defined");
            continue;
        }
        if (c == 0) {
            last.value1 = record.value[static_cast<std::size_t>(m)];
            last.captionId1 = MeasurandCaptionId(m);
        } else {
            last.value2 = record.value[static_cast<std::size_t>(m)];
            last.captionId2 = MeasurandCaptionId(m);
        }
    }
    const ParsedLimits limits = ParseLimits(lower1, upper1, lower2, upper2);
    return JudgeConditions(record.value.data(), measurand1, measurand2, limits);
}

}  // namespace measurement
