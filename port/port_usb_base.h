#pragma once
// The ports that are not COM ports: HID and USB bulk devices. CPortUsbBase runs their receive
// loop on the worker (a block per read, handed to the kind's OnInputReport) and keeps a
// receive ring for callers that read instead of taking the data callback.

#include <memory>

#include "port/port.h"
#include "port/rx_ring_buffer.h"

class CPortUsbBase : public CPort {
public:
    CPortUsbBase(CPortMan* owner, BYTE flag);
    ~CPortUsbBase() override;

    DWORD Read(void* buffer, DWORD count) override;
    DWORD ReadAvailable(void* buffer, DWORD count) override;
    bool SetTimeouts(const COMMTIMEOUTS& timeouts) override;
    DWORD ThreadLoop() override;

    virtual bool TimeoutsChanged() { return true; }
    virtual void OnInputReport(const BYTE* block, DWORD count) = 0;
    virtual void OnReadError(DWORD error);
    virtual void OnIntervalTimeout();

protected:
    // The device beneath: a descriptor that becomes readable when input waits, or -1 when the
    // device can only be read with a time-out (then ReadInput waits up to timeoutMs).
    virtual int InputPollFd() const { return -1; }
    // A received block: its length, 0 when none came, -1 on a failure (LastInputError()).
    virtual long ReadInput(BYTE* block, DWORD size, DWORD timeoutMs) = 0;
    virtual DWORD LastInputError() const = 0;
    // Received bytes go to the data callback when one is set, else into the ring.
    void DeliverOrStore(const BYTE* bytes, DWORD count);

    COMMTIMEOUTS m_timeouts{MAXDWORD, 0, 0, 0, 0};
    int m_nWaitPeriodMs = -1;
    std::unique_ptr<CRxRingBuffer> m_pRing;
};
