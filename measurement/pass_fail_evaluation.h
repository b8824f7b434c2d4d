#pragma once
// The pass/fail (IO/NIO) evaluation of a measurement: two conditions, each a measurand (channel
// A to D, power 1 or 2) with an optional lower and upper limit typed by the user. An empty limit
// is no comparison at all; a value that is no number fails every condition that has a limit.
// The last evaluation is kept process-wide for the writer of the pass/fail result file.

#include <array>
#include <cstdint>

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace measurement {

constexpr int kMeasurandCount = 6;  // A, B, C, D, P1, P2

// The six evaluated values of a value record, in the order A, B, C, D, P1, P2.
struct MeasuredValueRecord {
    std::array<double, kMeasurandCount> value{};
};

struct IoNioVerdict {
    BYTE condition1 = 1;
    BYTE condition2 = 1;
};

// What the last evaluation left for the result file.
struct IoNioLastEvaluationRecord {
    std::int32_t measurand1 = -1, measurand2 = -1;
    double value1 = 0.0, value2 = 0.0;
    std::uint32_t captionId1 = 0, captionId2 = 0;
};

// Written only on the GUI thread.
IoNioLastEvaluationRecord& IoNioLastEvaluation();

// The caption text id of a measurand: 5321..5324 channel A..D, 5033 power; 0 for others.
UINT MeasurandCaptionId(int measurand);

// Reads a limit text as the user typed it: "," stands for ".", leading blanks are skipped and
// the longest numeric prefix is read (0 when there is none).
double ReadLimitText(const CString& text);

class CValidation_IO_NIO {
public:
    // limits: lower 1, upper 1, lower 2, upper 2. The call check must be 0.
    IoNioVerdict Execute(const MeasuredValueRecord& record, std::int32_t measurand1, std::int32_t measurand2,
                         CString lower1, CString upper1, CString lower2, CString upper2, std::int32_t callCheck = 0);
};

// The core of Execute without messages or the process-wide record: limits already read (has =
// false: no limit). Constant work per call.
struct ParsedLimits {
    std::array<double, 4> value{};
    std::array<bool, 4> has{};
};
ParsedLimits ParseLimits(const CString& lower1, const CString& upper1, const CString& lower2, const CString& upper2);
IoNioVerdict JudgeConditions(const double* values, int measurand1, int measurand2, const ParsedLimits& limits);

}  // namespace measurement
