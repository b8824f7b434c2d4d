#include "app/main_frame_documentation.h"

#include "app/main_frame.h"
#include "documentation/dlg_documentation.h"
#include "documentation/documentation_texts.h"
#include "platform/message_box.h"
#include "platform/quit_on_signal.h"
#include "res/string_table.h"

namespace app {

namespace {

constexpr const char* kChannelNames[6] = {"A", "B", "C", "D", "P1", "P2"};

}  // namespace

documentation::CDlgDocumentation* DocumentationPageOf(const CMainFrame& frame)
{
    return dynamic_cast<documentation::CDlgDocumentation*>(
        frame.RegisteredAs<workflow::IDocumentationPage>(kFrameDocumentationPage));
}

DocumentationWiring::DocumentationWiring(CMainFrame& frame) : m_frame(frame)
{
    m_ownSettings.Load();
}

DocumentationWiring::~DocumentationWiring() { EndWithoutClose(); }

void DocumentationWiring::EndWithoutClose()
{
    if (!m_recorder) return;
    for (const documentation::RecoveredSets& sets : m_recorder->EndWriting()) documentation::KeepRecoveryNotice(sets);
    m_recorder.reset();
}

documentation::CMeasurementRecorder& DocumentationWiring::Recorder()
{
    if (!m_recorder) {
        documentation::CDlgDocumentation* page = DocumentationPageOf(m_frame);
        // On a loop with virtual time the writing is paced by that loop's timer, so that what is
        // written when follows the loop's time alone, as everything else the program does.
        const auto pacing = platform::MessageLoop::Current().IsVirtual() ? documentation::CMeasurementRecorder::Pacing::LoopTimer
                                                                          : documentation::CMeasurementRecorder::Pacing::Thread;
        if (page != nullptr)
            m_recorder = std::make_unique<documentation::CMeasurementRecorder>(page->Settings(), page->Times(), pacing);
        else
            m_recorder = std::make_unique<documentation::CMeasurementRecorder>(m_ownSettings, m_ownTimes, pacing);
        m_recorder->SetPeers(this, this);
    }
    return *m_recorder;
}

void DocumentationWiring::StopPacing()
{
    if (!m_recorder) return;
    const std::vector<documentation::RecoveredSets> recovered = m_recorder->EndWriting();
    m_recorder.reset();
    if (recovered.empty()) return;
    // Kept first, so that the next start tells when the program is ended before the box is read.
    for (const documentation::RecoveredSets& sets : recovered) documentation::KeepRecoveryNotice(sets);
    // Ended by a signal, the program may have no one in front of it: the next start tells.
    if (platform::TerminationRequested()) return;
    for (const documentation::RecoveredSets& sets : recovered)
        AfxMessageBox(documentation::RecoveredSetsText(sets), platform::MB_OK | platform::MB_ICONWARNING);
    // A signal that came while a box was open closed it unread.
    if (!platform::TerminationRequested()) documentation::TakeRecoveryNotices();
}

void DocumentationWiring::TellOfRecoveryAtLastEnd()
{
    for (const documentation::RecoveredSets& sets : documentation::TakeRecoveryNotices())
        ShowDocumentationMessage(LoadLangString(documentation::kTextSetsRecoveredAtLastEnd) + "\n\n" +
                                 documentation::RecoveredSetsText(sets));
}

documentation::MeasurementDescription DocumentationWiring::DescribeMeasurement() const
{
    if (hooks.describeMeasurement) return hooks.describeMeasurement();
    documentation::MeasurementDescription description;
    CComPort& com = m_frame.Com();
    for (int port = 0; port < com.m_nSensorPortCount && port < kMaxSensorPorts; ++port) {
        const CSensorRecord& sensor = com.m_Sensor[static_cast<std::size_t>(port)];
        description.sensorIdentity.push_back(CString::Formatted("%u", static_cast<unsigned>(sensor.m_sStatorHeader.nSerialNo)));
    }
    const FrameMeasureFields& fields = m_frame.Fields();
    for (int channel = 0; channel < 6; ++channel) {
        if (!fields.channelFlag[static_cast<std::size_t>(channel)]) continue;
        documentation::ChannelDescription column;
        column.name = kChannelNames[channel];
        if (const workflow::DisplayChannelEntry* entry = m_frame.DisplayEntry(channel);
            entry != nullptr && entry->selectedUnit >= 0 && entry->selectedUnit < static_cast<int>(entry->unitIds.size()))
            column.unit = LoadLangString(entry->unitIds[static_cast<std::size_t>(entry->selectedUnit)]);
        description.channels.push_back(column);
    }
    description.intervalSeconds = 1.0;
    description.durationSeconds = fields.measuringSeconds;
    return description;
}

void DocumentationWiring::CollectLastSample()
{
    if (hooks.collectLastSample) hooks.collectLastSample();
}

void DocumentationWiring::UpdateValueTexts()
{
    if (hooks.updateValueTexts) hooks.updateValueTexts();
}

void DocumentationWiring::RedrawDiagram()
{
    if (hooks.redrawDiagram) hooks.redrawDiagram();
}

void DocumentationWiring::CheckDiagramAutoStorage()
{
    if (hooks.checkDiagramAutoStorage) hooks.checkDiagramAutoStorage();
}

void DocumentationWiring::OnMeasuringTimeReached()
{
    m_frame.Fields().measurementEnded = 1;
    if (m_frame.Hooks().stopMeasurement) m_frame.Hooks().stopMeasurement();
}

bool DocumentationWiring::TriggerWasActiveLastTime() const
{
    return hooks.triggerWasActiveLastTime && hooks.triggerWasActiveLastTime();
}

bool DocumentationWiring::IoNioLastEvaluation(documentation::IoNioEvaluation& evaluation) const
{
    return hooks.ioNioLastEvaluation && hooks.ioNioLastEvaluation(evaluation);
}

void DocumentationWiring::ShowWriteProgress(int permille)
{
    if (permille < 0) {
        m_frame.SetStatusMessage(CString());
        return;
    }
    m_frame.SetStatusMessage(CString::Formatted("%s ... %d %%", LoadLangString(documentation::kTextMeasValues).GetString(), permille / 10));
}

void DocumentationWiring::ShowDocumentationMessage(const CString& text)
{
    // A file that cannot be written stops no measurement, so the box stops nothing either:
    // the values keep arriving and being shown while it is open.
    platform::ShowNotice(text, platform::MB_ICONWARNING);
}

documentation::IControlPanelEnd* DocumentationWiring::Panel() const
{
    return dynamic_cast<documentation::IControlPanelEnd*>(
        m_frame.RegisteredAs<workflow::IMeasureControlPage>(kFrameMeasureControlPage));
}

void DocumentationWiring::RunStopAddProgram()
{
    if (auto* panel = Panel()) panel->RunStopAddProgram();
}

void DocumentationWiring::ResetButtonsAfterMeasurement()
{
    if (auto* panel = Panel()) panel->ResetButtonsAfterMeasurement();
}

void DocumentationWiring::AfterMeasurement(int flag)
{
    if (auto* panel = Panel()) panel->AfterMeasurement(flag);
}

void DocumentationWiring::SetTimer(UINT_PTR id, UINT ms)
{
    if (auto* panel = Panel()) panel->SetTimer(id, ms);
}

}  // namespace app

// ---- The frame's entries ------------------------------------------------------------------

void CMainFrame::InstallDocumentation()
{
    m_documentation = std::make_unique<app::DocumentationWiring>(*this);
    m_hooks.writeLogFile = [this](const CSensorRecord& sensor, const CString& title, const CString& body) {
        documentation::CSensorLog& log = m_documentation->Log();
        log.SetSwitch(m_nWriteLogFile);
        log.WriteLogFile(sensor, title, body);
    };
    m_hooks.stopPacingThread = [this] { m_documentation->StopPacing(); };
}

app::DocumentationWiring& CMainFrame::Documentation()
{
    return *m_documentation;
}

void CMainFrame::OpenMeasValueFiles(int reserved)
{
    m_documentation->Recorder().OpenMeasValueFiles(reserved);
}

void CMainFrame::CollectSample(const double* values, int count)
{
    m_documentation->Recorder().CollectSample(values, count);
}

void CMainFrame::FinishMeasurement()
{
    // A finished measurement has nothing more to wait for, polled or streamed (the stream's
    // records have stopped arriving): the stop's wait cursor ends first, so that the next Start
    // or Trigger is taken, also the Trigger that the end itself runs for the auto repeat.
    EndWaitCursorOnce();
    m_documentation->Recorder().FinishMeasurement();
}

void CMainFrame::FreeConvertList()
{
    m_documentation->Recorder().FreeConvertList();
}
