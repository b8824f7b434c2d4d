#pragma once
// CMultimediaTimer: the periodic callback of the measured-value poll (the measurement control
// page owns one; the controller starts it with the rate's poll interval, and with 25 ms for the
// raw acquisition of a user calibration).
//
// The platform's timer services sit behind MultimediaTimerDevice. The loop's device delivers
// each tick as a message on the GUI thread, so the callback never runs beside the workflow.

#include <cstdint>
#include <map>
#include <memory>

#include "platform/win_types.h"

using MultimediaTimerCallback = void (*)(UINT timerId, UINT message, std::uintptr_t user, std::uintptr_t dw1,
                                         std::uintptr_t dw2);

constexpr UINT TIME_ONESHOT = 0;
constexpr UINT TIME_PERIODIC = 1;

class MultimediaTimerDevice {
public:
    virtual ~MultimediaTimerDevice() = default;
    // The smallest and largest period; false when the device cannot tell.
    virtual bool GetDevCaps(UINT& periodMin, UINT& periodMax) = 0;
    virtual bool BeginPeriod(UINT resolution) = 0;
    virtual void EndPeriod(UINT resolution) = 0;
    // The id of the new timer event, 0 when refused.
    virtual UINT SetEvent(UINT periodMs, UINT resolution, MultimediaTimerCallback callback, std::uintptr_t user,
                          UINT kind) = 0;
    virtual void KillEvent(UINT id) = 0;
};

// Ticks through the message loop of the GUI thread (the loop's clock; virtual in tests).
MultimediaTimerDevice& LoopMultimediaTimerDevice();

class CMultimediaTimer {
public:
    explicit CMultimediaTimer(UINT resolution, MultimediaTimerDevice& device = LoopMultimediaTimerDevice());
    ~CMultimediaTimer();
    CMultimediaTimer(const CMultimediaTimer&) = delete;
    CMultimediaTimer& operator=(const CMultimediaTimer&) = delete;

    // False when a timer already runs (it keeps running) or the device refuses.
    bool Start(UINT periodMs, MultimediaTimerCallback callback, std::uintptr_t user, UINT kind = TIME_PERIODIC);
    void Stop();
    bool IsRunning() const { return m_nTimerId != 0; }

    UINT m_nResolution;
    UINT m_nTimerId = 0;
    BYTE m_bPeriodSet = 0;
    UINT m_nPeriodMin = 0;
    UINT m_nPeriodMax = 0;

private:
    MultimediaTimerDevice& m_device;
};
