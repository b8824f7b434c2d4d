#pragma once
// What the documentation needs from the windows above it, each seen through the few operations
// it calls: the main frame (the measurement's description, the steps of its end, the last
// pass/fail evaluation, progress and messages), the measurement control panel (its
// end-of-measurement operations and its timers) and the diagram (its bitmap). The main frame
// implements them; tests use fakes.

#include <cstdint>

#include "documentation/measurement_description.h"
#include "documentation/pass_fail_file.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

namespace documentation {

class IMeasurementFrame {
public:
    virtual ~IMeasurementFrame() = default;
    // Channels, sensors and rates of the measurement that starts.
    virtual MeasurementDescription DescribeMeasurement() const = 0;
    // The steps of FinishMeasurement that belong to the frame and the views, in their order.
    virtual void CollectLastSample() = 0;
    virtual void UpdateValueTexts() = 0;
    virtual void RedrawDiagram() = 0;
    virtual void CheckDiagramAutoStorage() = 0;
    // The set measuring time is reached: the frame ends the measurement.
    virtual void OnMeasuringTimeReached() = 0;
    // Whether the measurement ended with the trigger armed (the panel's record).
    virtual bool TriggerWasActiveLastTime() const = 0;
    // The last pass/fail evaluation; false when none was made.
    virtual bool IoNioLastEvaluation(IoNioEvaluation& evaluation) const = 0;
    // Progress of writing the files of a finished measurement, 0 to 1000; -1 hides it.
    virtual void ShowWriteProgress(int permille) = 0;
    // A message for the user (a file that cannot be written, say).
    virtual void ShowDocumentationMessage(const CString& text) = 0;
};

class IControlPanelEnd {
public:
    virtual ~IControlPanelEnd() = default;
    virtual void RunStopAddProgram() = 0;
    virtual void ResetButtonsAfterMeasurement() = 0;
    virtual void AfterMeasurement(int flag) = 0;
    virtual void SetTimer(UINT_PTR id, UINT ms) = 0;
};

class IDiagramBitmapSource {
public:
    virtual ~IDiagramBitmapSource() = default;
    // Writes the diagram as a bitmap file; false when it could not be written, with errno
    // telling why where a file function failed (0 otherwise).
    virtual bool SaveBitmap(const CString& fileName) = 0;
};

}  // namespace documentation
