#include "port/port_usb_base.h"

#include <poll.h>

#include <vector>

#include "platform/wait.h"

namespace {
// How long one read of a device without a descriptor waits before the loop looks at its
// stop and reconfigure requests again.
constexpr DWORD kReadSliceMs = 50;
}  // namespace

CPortUsbBase::CPortUsbBase(CPortMan* owner, BYTE flag) : CPort(owner, flag), m_pRing(std::make_unique<CRxRingBuffer>(10240)) {}

CPortUsbBase::~CPortUsbBase() = default;

DWORD CPortUsbBase::Read(void* buffer, DWORD count)
{
    return m_pRing->ReadWait(static_cast<BYTE*>(buffer), count);
}

DWORD CPortUsbBase::ReadAvailable(void* buffer, DWORD count)
{
    return m_pRing->Get(static_cast<BYTE*>(buffer), count);
}

bool CPortUsbBase::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    m_timeouts = timeouts;
    m_pRing->SetTimeouts(timeouts);
    return TimeoutsChanged();
}

void CPortUsbBase::OnReadError(DWORD error)
{
    ReportEvent(EV_ERR, error);
}

void CPortUsbBase::OnIntervalTimeout()
{
    if (m_nWaitPeriodMs < 0) return;
    if (m_pRing->IntervalElapsed(static_cast<DWORD>(m_nWaitPeriodMs))) m_nWaitPeriodMs = -1;
}

void CPortUsbBase::DeliverOrStore(const BYTE* bytes, DWORD count)
{
    if (count == 0) return;
    if (!Deliver(bytes, count)) m_pRing->Put(bytes, count);
}

DWORD CPortUsbBase::ThreadLoop()
{
    const DWORD size = std::max<DWORD>(m_dwBufferSize, 1);
    std::vector<BYTE> block(size + 4);
    const int fd = InputPollFd();
    DWORD sliceElapsed = 0;
    for (;;) {
        // Tested on every turn, so a device that keeps sending cannot hold the loop.
        if (m_stop.TestRequest()) return 0;
        if (m_reconfigure.TestRequest()) m_reconfigure.Acknowledge();
        const long n = ReadInput(block.data(), size, fd < 0 ? kReadSliceMs : 0);
        if (n > 0) {
            OnInputReport(block.data(), static_cast<DWORD>(n));
            continue;
        }
        if (n < 0) {
            OnReadError(LastInputError());
            return 0;
        }
        if (fd < 0) {
            sliceElapsed += kReadSliceMs;
            if (m_nWaitPeriodMs >= 0 && sliceElapsed >= static_cast<DWORD>(m_nWaitPeriodMs)) {
                sliceElapsed = 0;
                OnIntervalTimeout();
            }
            continue;
        }
        const platform::Waitable items[] = {m_stop.request(), platform::Waitable::Readable(fd), m_reconfigure.request()};
        const DWORD woken =
            platform::WaitForMultipleObjects(items, m_nWaitPeriodMs < 0 ? INFINITE : static_cast<DWORD>(m_nWaitPeriodMs));
        if (woken == WAIT_OBJECT_0) return 0;
        if (woken == WAIT_OBJECT_0 + 2) m_reconfigure.Acknowledge();
        if (woken == WAIT_TIMEOUT) OnIntervalTimeout();
        if (woken == WAIT_FAILED) {
            OnReadError(ERROR_INVALID_HANDLE);
            return 0;
        }
    }
}
