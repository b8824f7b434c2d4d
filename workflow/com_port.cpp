// The controller object: construction, wiring, the port tables and their numbering.

#include "workflow/com_port.h"

#include <algorithm>

#include "platform/wnd.h"
#include "workflow/workflow_peers.h"

CComPort::CComPort(workflow::ISensorPortFactory* portFactory) : m_pPortFactory(portFactory)
{
    m_strBlockStatorSwConfig =
        "EmptyBlockAndMakeSureThatThisAreMoreThanFourtyCharactersSoNeverCrashesBecauseTheStringIsTooShort";
    COM_InitSensorRecords();
    COM_ResetMeasureStatistics();
    COM_InitCalibRecords();
    for (CPortRecord& row : m_PortRec) {
        row.m_nEnabled = -2;
        row.m_strPortName = "Konstruktor ComPort  AKT";
        row.m_nBaudRate = -1;
    }
    for (CPortRecord& row : m_PortRecPrev) {
        row.m_nEnabled = -6;
        row.m_strPortName = "Construktor ComPort PREV";
    }
    m_nPortMark.fill(-3);
    COM_ResetRealSensorIndex();
}

// The managers are shared pointers: a manager held in both places is closed once.
CComPort::~CComPort() = default;

void CComPort::SetPeers(const workflow::WorkflowPeers& peers)
{
    m_peers = peers;
    m_pMainFrame = nullptr;
    COM_AttachMainFrame();
}

void CComPort::COM_AttachMainFrame()
{
    if (m_pMainFrame) return;
    m_pMainFrame = m_peers.frame;
    if (m_pMainFrame && m_peers.measureControl) m_pMeasureCtrlSettings = m_peers.measureControl->Settings();
}

void CComPort::COM_CopyPortTableToPrevious() { m_PortRecPrev = m_PortRec; }

bool CComPort::COM_IsAcceptedDeviceVersion(BYTE a, BYTE b, BYTE c)
{
    return (a == 4 || a == 5 || a == 9) && b >= 6 && c == 0;
}

void CComPort::COM_ResetRealSensorIndex()
{
    for (auto& table : m_nRealSensorIndex)
        for (int i = 0; i < 6; ++i) table[i] = i;
}

void CComPort::COM_NumberPorts(int count, int force)
{
    if (force == 1) m_bNumberingPending = true;
    if (!m_bNumberingPending) return;
    if (count > kPortTableRows) count = kPortTableRows;
    // Each row takes the enable mark of the row whose description names its port; the marks
    // are read before any is handed on.
    std::array<int, kPortTableRows> values{};
    for (int k = count - 1; k >= 0; --k) {
        for (int j = 0; j < kPortTableRows; ++j) {
            if (m_PortRec[j].m_strDescription == m_PortRec[k].m_strPortName) {
                if (m_PortRec[j].m_nDescEnabled >= 0) values[k] = m_PortRec[j].m_nDescEnabled;
                break;
            }
        }
    }
    for (int k = 0; k < count; ++k) {
        m_PortRec[k].m_nEnabled = values[k];
        m_PortRecPrev[k].m_nEnabled = values[k];
    }
    m_bNumberingPending = false;
}

// ---- Helpers shared by the workflow files ----------------------------------------------------

bool CComPort::WriteOn(const std::shared_ptr<workflow::ISensorPort>& port, const CString& bytes)
{
    return port && port->WriteString(bytes);
}

CWnd* CComPort::StepWindow() const { return m_pMainFrame ? &m_pMainFrame->StepWindow() : nullptr; }

void CComPort::SetFrameTimer(UINT_PTR id, UINT ms)
{
    if (CWnd* window = StepWindow()) window->SetTimer(id, ms);
}

void CComPort::KillFrameTimer(UINT_PTR id)
{
    if (CWnd* window = StepWindow()) window->KillTimer(id);
}

void CComPort::PauseThen(UINT_PTR id, UINT ms, std::function<void()> step)
{
    CWnd* window = StepWindow();
    if (!window) {
        // Without a frame there is no loop to wait on (a controller driven step by step).
        step();
        return;
    }
    std::deque<PausedStep>& waiting = m_pausedSteps[id];
    waiting.push_back({window->loop().NowMs() + ms, std::move(step)});
    // The timer counts down to the first of them.
    if (waiting.size() == 1) window->SetTimer(id, ms);
}

std::int64_t CComPort::ControlSwitchRemainingMs() const
{
    CWnd* window = StepWindow();
    return window ? std::max<std::int64_t>(m_nControlSwitchEndsMs - window->loop().NowMs(), 0) : 0;
}

void CComPort::WatchStopTail()
{
    // The page's watch and the slaves' wait end together: one length for both.
    const UINT ms = m_nReceiveTimeoutMs + 50;
    m_peers.measureControl->SetTimer(workflow::kCtrlPageTimerMultiportStop, ms);
    if (CWnd* window = StepWindow()) m_nStopTailEndsMs = window->loop().NowMs() + ms;
}

bool CComPort::IsStopTailComing() const
{
    CWnd* window = StepWindow();
    return window != nullptr && window->loop().NowMs() < m_nStopTailEndsMs;
}

bool CComPort::RunPausedSteps(UINT_PTR id)
{
    CWnd* window = StepWindow();
    auto waiting = m_pausedSteps.find(id);
    if (!window || waiting == m_pausedSteps.end() || waiting->second.empty()) return false;
    const std::int64_t now = window->loop().NowMs();
    while (waiting != m_pausedSteps.end() && !waiting->second.empty() && waiting->second.front().dueMs <= now) {
        const std::function<void()> step = std::move(waiting->second.front().step);
        waiting->second.pop_front();
        // The step may pause again, under this id too.
        step();
        waiting = m_pausedSteps.find(id);
    }
    if (waiting != m_pausedSteps.end() && !waiting->second.empty())
        window->SetTimer(id, static_cast<UINT>(std::max<std::int64_t>(waiting->second.front().dueMs - now, 0)));
    return true;
}

CSensorRecord& CComPort::CurrentSensor()
{
    const int index = m_nCurSensor >= 0 && m_nCurSensor < kMaxSensorPorts ? m_nCurSensor : 0;
    return m_Sensor[static_cast<std::size_t>(index)];
}

CPortRecord* CComPort::CurrentPortRecord()
{
    return ValidRow(m_nActivePortRec) ? &m_PortRec[static_cast<std::size_t>(m_nActivePortRec)] : nullptr;
}

std::unique_ptr<workflow::ISensorPort> CComPort::MakePort(CWnd& window, UINT eventMessage, UINT dataMessage)
{
    if (!m_pPortFactory) return nullptr;
    return m_pPortFactory->Create(window, eventMessage, dataMessage);
}

void CComPort::EmptyRecvBuffer(int port)
{
    if (port < 0 || port >= kMaxSensorPorts) return;
    m_RecvBuf[static_cast<std::size_t>(port)][0] = 0;
    m_nRecvCount[static_cast<std::size_t>(port)] = 0;
}
