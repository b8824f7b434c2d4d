#pragma once
// The pass/fail (IO/NIO) result file: a header like the measured-value file's, then one line
// per evaluated measurement with each defined condition's measurand, limits, value and result,
// and the overall result. With an indexed name every measurement gets its own file; with the
// constant name the results of all measurements collect in one file: under one header while
// they have its columns, a measurement with other ones starting a block with its own header.

#include <array>
#include <cstdint>

#include "documentation/documentation_settings.h"
#include "documentation/measurement_description.h"
#include "platform/cstring.h"

namespace documentation {

struct IoNioCondition {
    bool defined = false;
    CString measurand;  // channel name
    CString unit;
    int decimals = 3;
    double lower = 0.0;
    double upper = 0.0;
    double value = 0.0;  // the value the condition was judged by
    bool passed = false;
    // An empty limit was no limit: its field stays empty.
    bool hasLower = true;
    bool hasUpper = true;
};

// The last evaluation of a measurement.
struct IoNioEvaluation {
    std::int64_t time = 0;  // seconds since 1970
    std::array<IoNioCondition, 2> conditions;
    bool Passed() const;
};

// Writes one evaluation under the storage mode (indexed or constant); false with a message
// that names the file when it cannot be written. Off: nothing, true.
bool WriteIoNioResult(const CDocumentationSettings& settings, int mode, const MeasurementDescription& description,
                      const FileLabels& labels, const IoNioEvaluation& evaluation, CString& fileName, CString& error);

}  // namespace documentation
