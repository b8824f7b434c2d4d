#pragma once
// The main frame's documentation: the per-sensor logs and the documenting of measurements
// (OpenMeasValueFiles, CollectSample, FinishMeasurement, FreeConvertList), which the frame
// delegates to the documentation folder's recorder. The steps of a measurement's end that
// belong to the views and the measurement pages are hooks they fill; an empty hook does
// nothing. The control panel's end-of-measurement operations are reached through the
// registered panel when it offers documentation::IControlPanelEnd.

#include <functional>
#include <memory>

#include "documentation/documentation_peers.h"
#include "documentation/measurement_recorder.h"
#include "documentation/recovered_sets.h"
#include "documentation/sensor_log.h"

class CMainFrame;

namespace documentation {
class CDlgDocumentation;
}

namespace app {

// The documentation page registered with the frame; null before it has registered.
documentation::CDlgDocumentation* DocumentationPageOf(const CMainFrame& frame);

struct DocumentationHooks {
    // Channels, sensors and rates of the measurement that starts (the set-up page knows them);
    // empty: the frame's own fields.
    std::function<documentation::MeasurementDescription()> describeMeasurement;
    std::function<void()> collectLastSample;
    std::function<void()> updateValueTexts;
    std::function<void()> redrawDiagram;
    std::function<void()> checkDiagramAutoStorage;
    std::function<bool()> triggerWasActiveLastTime;
    std::function<bool(documentation::IoNioEvaluation& evaluation)> ioNioLastEvaluation;
};

class DocumentationWiring : public documentation::IMeasurementFrame, public documentation::IControlPanelEnd {
public:
    explicit DocumentationWiring(CMainFrame& frame);
    ~DocumentationWiring() override;

    DocumentationHooks hooks;
    // Made at first use, over the registered documentation page's settings and times.
    documentation::CMeasurementRecorder& Recorder();
    documentation::CSensorLog& Log() { return m_log; }
    // At the close: writes what still waits and ends the pacing thread. Sets their file refused
    // are saved elsewhere, and the user is told where in a box, or at the next start when a
    // signal ended the program.
    void StopPacing();
    // At the start: tells of the sets saved elsewhere when the program last ended unattended.
    void TellOfRecoveryAtLastEnd();
    // A frame that goes without its close: what still waits is written or saved elsewhere, while
    // the documentation page whose settings the files follow is still there. No one is told now;
    // the next start tells.
    void EndWithoutClose();

    // IMeasurementFrame
    documentation::MeasurementDescription DescribeMeasurement() const override;
    void CollectLastSample() override;
    void UpdateValueTexts() override;
    void RedrawDiagram() override;
    void CheckDiagramAutoStorage() override;
    void OnMeasuringTimeReached() override;
    bool TriggerWasActiveLastTime() const override;
    bool IoNioLastEvaluation(documentation::IoNioEvaluation& evaluation) const override;
    void ShowWriteProgress(int permille) override;
    void ShowDocumentationMessage(const CString& text) override;

    // IControlPanelEnd: forwarded to the registered control panel.
    void RunStopAddProgram() override;
    void ResetButtonsAfterMeasurement() override;
    void AfterMeasurement(int flag) override;
    void SetTimer(UINT_PTR id, UINT ms) override;

private:
    documentation::IControlPanelEnd* Panel() const;

    CMainFrame& m_frame;
    documentation::CDocumentationSettings m_ownSettings;
    documentation::MeasurementTimes m_ownTimes;
    std::unique_ptr<documentation::CMeasurementRecorder> m_recorder;
    documentation::CSensorLog m_log;
};

}  // namespace app
