#include "documentation/measurement_recorder.h"

#include <cmath>

#include "documentation/documentation_texts.h"
#include "documentation/file_naming.h"
#include "platform/profile.h"
#include "res/string_table.h"

namespace documentation {

// The window that receives the pacer's step messages (or carries the step timer).
class CMeasurementRecorder::StepWindow : public CWnd {
public:
    StepWindow(CMeasurementRecorder& owner, platform::MessageLoop& loop) : CWnd(loop), m_owner(owner) {}

protected:
    void OnTimer(UINT_PTR) override { m_owner.OnWriteStep(); }
    LRESULT OnMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == m_owner.m_stepMessage) {
            if (m_owner.m_pacer) m_owner.m_pacer->StepTaken();
            m_owner.OnWriteStep();
        }
        return 0;
    }

private:
    CMeasurementRecorder& m_owner;
};

namespace {
constexpr UINT_PTR kStepTimer = 1;
}  // namespace

CMeasurementRecorder::CMeasurementRecorder(const CDocumentationSettings& settings, MeasurementTimes& times,
                                           Pacing pacing, platform::MessageLoop& loop)
    : m_settings(settings), m_times(times), m_pacing(pacing), m_loop(loop)
{
    m_window = std::make_unique<StepWindow>(*this, loop);
    m_stepMessage = platform::RegisterWindowMessage("KM3_DOCUMENTATION_WRITE_STEP");
}

CMeasurementRecorder::~CMeasurementRecorder()
{
    EndWriting();
}

std::vector<RecoveredSets> CMeasurementRecorder::EndWriting()
{
    if (m_pacer) m_pacer->Stop();
    m_window->KillTimer(kStepTimer);
    m_inStep = true;
    m_sampling = false;
    if (m_current) m_finishing.push_back({std::move(m_current), 0, 0});
    std::vector<RecoveredSets> recovered;
    for (Finishing& finishing : m_finishing) {
        CString error, notice;
        if (finishing.writer->WriteStep(m_times.firstRecord ? m_times.firstRecord : Now(), true, INT64_MAX, error, notice))
            finishing.writer->Close();
        else
            recovered.push_back(Recover(*finishing.writer, error));
    }
    m_finishing.clear();
    m_inStep = false;
    return recovered;
}

void CMeasurementRecorder::SetPeers(IMeasurementFrame* frame, IControlPanelEnd* panel)
{
    m_frame = frame;
    m_panel = panel;
}

std::int64_t CMeasurementRecorder::Now() const
{
    return m_loop.CalendarSeconds();
}

std::int64_t CMeasurementRecorder::NowMs() const
{
    return m_loop.NowMs();
}

void CMeasurementRecorder::OpenMeasValueFiles(int)
{
    if (m_current) {
        // A new measurement while the last one still writes: the old file finishes behind.
        m_finishing.push_back({std::move(m_current), m_nextAttemptMs, m_faultShown ? 1 : 0});
        m_finishTotal += m_finishing.back().writer->List().Size();
    }
    const int mode = EffectiveStorageMode(m_settings, kMeasValues);
    if (mode == kStorageConstant)
        ReleaseFile(ConstantFileName(m_settings.directory[kMeasValues], m_settings.prefix[kMeasValues], kTableExtension));
    m_times.firstRecord = 0;
    m_times.end = 0;
    m_description = m_frame ? m_frame->DescribeMeasurement() : MeasurementDescription{};
    m_labels = FileLabelsFromStringTable();
    m_ioNioMode = EffectiveStorageMode(m_settings, kIoNioResults);
    m_sampling = true;
    m_samples = 0;
    m_timeReachedReported = false;
    m_faultShown = false;
    m_stopping = false;
    m_sampleLimit = m_description.setCount;
    if (m_sampleLimit == 0 && m_description.durationSeconds > 0.0 && m_description.intervalSeconds > 0.0)
        m_sampleLimit = static_cast<std::uint64_t>(std::floor(m_description.durationSeconds / m_description.intervalSeconds + 1e-9)) + 1;
    m_lastWriteMs = NowMs();
    m_nextAttemptMs = m_lastWriteMs;

    if (mode != kStorageOff) {
        auto writer = std::make_unique<CMeasValueWriter>();
        CString error;
        if (writer->Open(m_settings, mode, m_description, m_labels, error)) {
            m_current = std::move(writer);
            // Measurement after measurement into the same file (a trigger's auto repeat) on a
            // disk that stays full: the user was told, and is told again only once the file
            // has been written meanwhile.
            m_faultShown = !m_toldRefused.IsEmpty() && m_current->Writes(m_toldRefused);
        } else {
            Report(FaultText(kTextFileNotCreated, NextStorageFileName(m_settings, kMeasValues, mode, kTableExtension), error));
        }
    }
    EnsurePacing();
    ShowQueuedMessages();
}

void CMeasurementRecorder::ReleaseFile(const CString& fileName)
{
    // The new measurement starts its file from the beginning: an earlier one that still writes
    // the same file, each at its own offset, would leave the two runs interleaved with holes of
    // NUL bytes. The earlier one is finished first, whatever it takes; what its file still
    // refuses goes into a recovery file, and the user is told where.
    bool released = false;
    const bool wasInStep = m_inStep;
    m_inStep = true;
    for (std::size_t i = 0; i < m_finishing.size();) {
        CMeasValueWriter& writer = *m_finishing[i].writer;
        if (!writer.Writes(fileName)) {
            ++i;
            continue;
        }
        CString error, notice;
        const std::int64_t first = m_times.firstRecord ? m_times.firstRecord : Now();
        if (writer.WriteStep(first, true, INT64_MAX, error, notice)) writer.Close();
        else Report(RecoveredSetsText(Recover(writer, error)));
        m_finishing.erase(m_finishing.begin() + static_cast<std::ptrdiff_t>(i));
        released = true;
    }
    m_inStep = wasInStep;
    if (released && m_finishing.empty()) {
        m_finishTotal = 0;
        if (m_progressShown && m_frame) m_frame->ShowWriteProgress(-1);
        m_progressShown = false;
    }
}

void CMeasurementRecorder::CollectSample(const double* values, int count)
{
    if (!m_sampling) return;
    if (m_sampleLimit != 0 && m_samples >= m_sampleLimit) return;  // past the set measuring time
    if (m_times.firstRecord == 0) m_times.firstRecord = Now();
    ++m_samples;
    if (m_current) m_current->List().Push(values, count);
    if (m_sampleLimit != 0 && m_samples == m_sampleLimit && !m_timeReachedReported) {
        m_timeReachedReported = true;
        // A measuring time tells that it has run out; a count just ends with its last set.
        if (m_panel && m_description.setCount == 0) m_panel->SetTimer(kPanelTimerTimeExpired, kPanelTimerTimeExpiredMs);
        if (m_frame) m_frame->OnMeasuringTimeReached();
    }
    // A file that refused waits its back-off here too: an attempt at every set would format a
    // batch and fail again thousands of times a second, holding the GUI thread.
    if (m_current && !m_inStep && NowMs() - m_lastWriteMs >= kFlushPeriodMs && NowMs() >= m_nextAttemptMs) {
        m_inStep = true;
        WriteCurrent();
        m_inStep = false;
        ShowQueuedMessages();
    }
}

void CMeasurementRecorder::FinishMeasurement()
{
    if (m_frame) {
        m_frame->CollectLastSample();
        m_frame->UpdateValueTexts();
        m_frame->RedrawDiagram();
    }
    const bool wasSampling = m_sampling;
    m_sampling = false;
    m_stopping = false;
    if (wasSampling && m_times.firstRecord == 0) m_times.firstRecord = Now();

    // The file flush: what fits into one step is written now, the rest behind, with progress.
    if (m_current) {
        m_finishTotal += m_current->List().Size();
        // A refusal the user was told of already is not reported a second time.
        m_finishing.push_back({std::move(m_current), m_nextAttemptMs, m_faultShown ? 1 : 0});
    }
    if (!m_finishing.empty() && !m_inStep) {
        m_inStep = true;
        WriteFinishing();
        m_inStep = false;
    }
    // A diagram is stored for a measurement that recorded values; an armed trigger switched
    // off before its start event recorded none, and its empty diagram is no document.
    if (m_frame && wasSampling && m_samples > 0) m_frame->CheckDiagramAutoStorage();
    // The panel judges the measurement in its stop step; the result file takes that verdict.
    if (m_panel) m_panel->RunStopAddProgram();
    if (wasSampling) WriteIoNio();
    if (m_panel) m_panel->ResetButtonsAfterMeasurement();
    const bool afterMeasurement = m_frame && m_frame->TriggerWasActiveLastTime();
    if (afterMeasurement) {
        if (m_finishing.empty()) {
            if (m_panel) m_panel->AfterMeasurement(0);
        } else {
            m_afterMeasurementPending = true;
        }
    }
    if (!m_finishing.empty() && m_frame && !m_progressShown) {
        m_progressShown = true;
        m_frame->ShowWriteProgress(0);
    }
    StopPacingWhenIdle();
    ShowQueuedMessages();
}

void CMeasurementRecorder::FreeConvertList()
{
    if (m_current) m_current->List().Free();
}

void CMeasurementRecorder::OnWriteStep()
{
    if (m_inStep) return;
    m_inStep = true;
    if (m_current && NowMs() >= m_nextAttemptMs) WriteCurrent();
    if (!m_finishing.empty()) WriteFinishing();
    m_inStep = false;
    StopPacingWhenIdle();
    ShowQueuedMessages();
}

void CMeasurementRecorder::WriteCurrent()
{
    CString error, notice;
    const std::int64_t first = m_times.firstRecord ? m_times.firstRecord : Now();
    const bool ok = m_current->WriteStep(first, false, kStepBudgetUs, error, notice);
    if (!notice.IsEmpty()) Report(FaultText(kTextFileRecreated, notice, CString()));
    if (ok) {
        m_lastWriteMs = NowMs();
        m_faultShown = false;
        m_toldRefused.Empty();
        return;
    }
    m_nextAttemptMs = NowMs() + kFlushPeriodMs;
    // Once stopped, the measurement does not go on: the finish's first attempt tells of the
    // refusal in the words for a finished measurement.
    if (!m_faultShown && !m_stopping) {
        m_faultShown = true;
        m_toldRefused = m_current->FileName();
        Report(FaultText(kTextFileNotWritten, m_current->FileName(), error));
    }
}

void CMeasurementRecorder::WriteFinishing()
{
    const std::int64_t now = NowMs();
    for (std::size_t i = 0; i < m_finishing.size();) {
        Finishing& finishing = m_finishing[i];
        if (now < finishing.nextAttemptMs) {
            ++i;
            continue;
        }
        CString error, notice;
        const std::int64_t first = m_times.firstRecord ? m_times.firstRecord : Now();
        const bool ok = finishing.writer->WriteStep(first, true, kStepBudgetUs, error, notice);
        if (!notice.IsEmpty()) Report(FaultText(kTextFileRecreated, notice, CString()));
        if (!ok) {
            // The measurement has ended: the message does not say that it goes on.
            if (finishing.failedAttempts++ == 0)
                Report(FaultText(kTextEndedFileNotWritten, finishing.writer->FileName(), error));
            finishing.nextAttemptMs = now + kFlushPeriodMs;
            if (finishing.failedAttempts >= kFinishAttempts) {
                Report(RecoveredSetsText(Recover(*finishing.writer, error)));
                m_finishing.erase(m_finishing.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            ++i;
            continue;
        }
        if (!m_toldRefused.IsEmpty() && finishing.writer->Writes(m_toldRefused)) m_toldRefused.Empty();
        if (finishing.writer->List().IsEmpty()) {
            finishing.writer->Close();
            m_finishing.erase(m_finishing.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        break;  // the step's budget went to this file
    }
    if (m_finishing.empty()) {
        m_finishTotal = 0;
        if (m_progressShown && m_frame) m_frame->ShowWriteProgress(-1);
        m_progressShown = false;
        if (m_afterMeasurementPending) {
            m_afterMeasurementPending = false;
            if (m_panel) m_panel->AfterMeasurement(0);
        }
        return;
    }
    std::uint64_t waiting = 0;
    for (const Finishing& finishing : m_finishing) waiting += finishing.writer->List().Size();
    if (m_progressShown && m_frame && m_finishTotal > 0) {
        const std::uint64_t done = m_finishTotal > waiting ? m_finishTotal - waiting : 0;
        m_frame->ShowWriteProgress(static_cast<int>(done * 1000 / m_finishTotal));
    }
}

void CMeasurementRecorder::WriteIoNio()
{
    if (m_ioNioMode == kStorageOff || !m_frame) return;
    IoNioEvaluation evaluation;
    if (!m_frame->IoNioLastEvaluation(evaluation)) return;
    if (evaluation.time == 0) evaluation.time = Now();
    // The conditions name their channels in the language of this moment; the captions around
    // them are taken now too, not at the start, so that a language switch during the run does
    // not leave one header in two languages.
    const FileLabels labels = FileLabelsFromStringTable();
    CString fileName, error;
    if (!WriteIoNioResult(m_settings, m_ioNioMode, m_description, labels, evaluation, fileName, error)) {
        if (fileName.IsEmpty()) fileName = NextStorageFileName(m_settings, kIoNioResults, m_ioNioMode, kTableExtension);
        Report(FaultText(kTextResultFileNotWritten, fileName, error));
    }
}

RecoveredSets CMeasurementRecorder::Recover(CMeasValueWriter& writer, const CString& reason)
{
    RecoveredSets sets;
    sets.valueFile = writer.FileName();
    sets.reason = reason;
    platform::CreateLocalAppDataFolder();
    const CString folder = platform::LocalAppDataFolder();
    const std::size_t waiting = writer.List().Size();
    CString error;
    if (!writer.WriteRestInto(folder, m_times.firstRecord ? m_times.firstRecord : Now(), sets.recoveryFile, error)) {
        sets.recoveryReason = error;
        sets.count = writer.List().Size();
    } else {
        sets.count = waiting;
    }
    writer.List().Free();
    return sets;
}

void CMeasurementRecorder::EnsurePacing()
{
    if (m_pacing == Pacing::LoopTimer) {
        if (!m_window->IsTimerArmed(kStepTimer)) m_window->SetTimer(kStepTimer, kStepPeriodMs);
        return;
    }
    if (!m_pacer) m_pacer = std::make_unique<CWritePacer>(m_loop, m_window->GetSafeHwnd(), m_stepMessage, kStepPeriodMs);
    if (!m_pacer->IsRunning()) m_pacer->Start();
}

void CMeasurementRecorder::StopPacingWhenIdle()
{
    if (m_sampling || !m_finishing.empty()) {
        if (!m_finishing.empty()) EnsurePacing();
        return;
    }
    if (m_pacing == Pacing::LoopTimer) m_window->KillTimer(kStepTimer);
    else if (m_pacer) m_pacer->Stop();
}

void CMeasurementRecorder::Report(const CString& text)
{
    m_messages.push_back(text);
}

void CMeasurementRecorder::ShowQueuedMessages()
{
    // Shown only when the recorder's state is whole again: a message box runs the loop, and
    // with it further steps.
    if (m_inStep) return;
    std::vector<CString> messages;
    messages.swap(m_messages);
    for (const CString& text : messages) {
        if (m_frame) m_frame->ShowDocumentationMessage(text);
    }
}

CString CMeasurementRecorder::FaultText(UINT textId, const CString& fileName, const CString& reason) const
{
    return FileFaultText(textId, fileName, reason);
}

}  // namespace documentation
