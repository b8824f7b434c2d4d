#pragma once
// The main frame's side of documenting a measurement, as one object the frame delegates to:
//   OpenMeasValueFiles  opens the automatic storage files when a measurement starts;
//   CollectSample       takes each value set (and reports the end of the set measuring time or count);
//   FinishMeasurement   runs the end of a measurement in its fixed order;
//   FreeConvertList     drops the value sets still waiting to be written.
// Value sets are written in bounded steps, paced by CWritePacer's thread (or by a loop timer
// under virtual time), and at least once a second while a measurement runs, so a crash loses
// at most the last second. A file that cannot be written gets a message that names it, while
// the measurement runs; the measurement goes on and the sets are kept for the next attempt, a
// second later (not at the next set). Sets that a file refuses for good (when the program
// ends, or a finished measurement's file keeps refusing) go into a recovery file
// (recovered_sets.h): none is dropped without a word. A finished measurement
// whose file is still being written shows its progress, and the control panel's
// AfterMeasurement waits for the end of that writing.

#include <cstdint>
#include <memory>
#include <vector>

#include "documentation/documentation_peers.h"
#include "documentation/documentation_settings.h"
#include "documentation/meas_value_writer.h"
#include "documentation/recovered_sets.h"
#include "documentation/write_pacer.h"
#include "platform/wnd.h"

namespace documentation {

// The panel's timer that reports the end of the set measuring time.
constexpr UINT_PTR kPanelTimerTimeExpired = 64;
constexpr UINT kPanelTimerTimeExpiredMs = 1000;

class CMeasurementRecorder {
public:
    enum class Pacing { Thread, LoopTimer };
    // Period of the write steps, the real time one step may take, and how often at least the
    // waiting sets reach the file while a measurement runs.
    static constexpr unsigned kStepPeriodMs = 50;
    static constexpr std::int64_t kStepBudgetUs = 10000;
    static constexpr std::int64_t kFlushPeriodMs = 1000;
    // A finished measurement's file that keeps refusing is given up after this many attempts,
    // one a second, and its sets go into a recovery file.
    static constexpr int kFinishAttempts = 60;

    CMeasurementRecorder(const CDocumentationSettings& settings, MeasurementTimes& times,
                         Pacing pacing = Pacing::Thread,
                         platform::MessageLoop& loop = platform::MessageLoop::Current());
    ~CMeasurementRecorder();

    // The files' dates and times come from the loop's calendar, their labels from the string
    // table in the language of the moment; refused sets are saved in the local application-data
    // folder.
    void SetPeers(IMeasurementFrame* frame, IControlPanelEnd* panel);

    void OpenMeasValueFiles(int reserved);
    void CollectSample(const double* values, int count);
    // The user (or an event) stopped the measurement; its last sets may still arrive before
    // FinishMeasurement. A file that refuses them from now on is told as a finished measurement's.
    void MeasurementStopping() { m_stopping = true; }
    void FinishMeasurement();
    void FreeConvertList();
    // At the end of the program: every set still waiting is written now, without a time limit;
    // what its file refuses goes into a recovery file. Returns what went there (or was lost),
    // for the caller to tell the user. The destructor does the same, telling no one.
    std::vector<RecoveredSets> EndWriting();

    // One write step (the pacer's message, or a timer under virtual time).
    void OnWriteStep();

private:
    class StepWindow;
    struct Finishing {
        std::unique_ptr<CMeasValueWriter> writer;
        std::int64_t nextAttemptMs = 0;
        int failedAttempts = 0;
    };

    std::int64_t Now() const;
    std::int64_t NowMs() const;
    void EnsurePacing();
    void StopPacingWhenIdle();
    // Writes a step of the running file; reports a refusal once until it writes again.
    void WriteCurrent();
    void WriteFinishing();
    void WriteIoNio();
    // Ends the writing of every finished measurement into fileName before a new one opens it.
    void ReleaseFile(const CString& fileName);
    // Saves the sets the writer's file refused (reason) into a recovery file.
    RecoveredSets Recover(CMeasValueWriter& writer, const CString& reason);
    void Report(const CString& text);
    void ShowQueuedMessages();
    CString FaultText(UINT textId, const CString& fileName, const CString& reason) const;

    const CDocumentationSettings& m_settings;
    MeasurementTimes& m_times;
    Pacing m_pacing;
    platform::MessageLoop& m_loop;
    IMeasurementFrame* m_frame = nullptr;
    IControlPanelEnd* m_panel = nullptr;

    std::unique_ptr<StepWindow> m_window;
    std::unique_ptr<CWritePacer> m_pacer;
    UINT m_stepMessage = 0;

    // The running measurement.
    MeasurementDescription m_description;
    FileLabels m_labels;
    std::unique_ptr<CMeasValueWriter> m_current;
    int m_ioNioMode = kStorageOff;
    bool m_sampling = false;
    std::uint64_t m_samples = 0;
    std::uint64_t m_sampleLimit = 0;  // sets of the measuring time or count; 0: none
    bool m_timeReachedReported = false;
    std::int64_t m_lastWriteMs = 0;
    std::int64_t m_nextAttemptMs = 0;
    bool m_faultShown = false;
    bool m_stopping = false;
    // The file whose refusal the user was told of while measuring, not written since.
    CString m_toldRefused;

    // Finished measurements still being written, oldest first.
    std::vector<Finishing> m_finishing;
    std::uint64_t m_finishTotal = 0;
    bool m_afterMeasurementPending = false;
    bool m_progressShown = false;

    bool m_inStep = false;
    std::vector<CString> m_messages;
};

}  // namespace documentation
