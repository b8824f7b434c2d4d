#pragma once
// CDeviceChangeHandler: tells its port manager when a serial, HID or bulk device arrives or
// goes away (from the kernel's uevents) and passes on the messages of port lending. With a
// thread of its own (what the workflow controller asks for) it calls the manager on that
// thread; with an owner window it hands everything to the owner's loop: device events as
// WM_DEVICECHANGE to the window, which passes them on to the manager itself, and lending
// messages straight to the manager.

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/event.h"
#include "platform/message_loop.h"
#include "platform/thread.h"
#include "port/interproc_borrow.h"
#include "port/uevent.h"

class CPort;
class CPortMan;
class CWnd;

class CDeviceChangeHandler {
public:
    CDeviceChangeHandler(CWnd* owner, CPortMan* manager);
    virtual ~CDeviceChangeHandler();
    CDeviceChangeHandler(const CDeviceChangeHandler&) = delete;
    CDeviceChangeHandler& operator=(const CDeviceChangeHandler&) = delete;

    bool HasOwnThread() const { return m_ownerHandle == 0; }
    // A port of the manager hung up (called on its worker): reported on this handler's thread
    // as the removal of the manager's device.
    void ReportHangUp(const CPort* port);

private:
    DWORD ThreadBody();
    void OnUevent();
    void OnLendingMessage();
    void OnHangUp();
    void Dispatch(WPARAM code, std::shared_ptr<DeviceBroadcast> header);

    CPortMan* m_pManager;
    platform::WindowHandle m_ownerHandle = 0;
    platform::MessageLoop* m_pOwnerLoop = nullptr;
    std::unique_ptr<platform::DeliverySource> m_delivery;
    std::unique_ptr<UeventSource> m_uevents;
    std::unique_ptr<LendingEndpoint> m_endpoint;
    platform::Event m_quit{platform::Event::Mode::Manual};
    platform::Event m_hangUp{platform::Event::Mode::Auto};
    std::mutex m_hangUpMutex;
    const CPort* m_pHungUpPort = nullptr;
    std::atomic<bool> m_bClosing{false};
    platform::Thread m_thread;
};
