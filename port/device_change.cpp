#include "port/device_change.h"

#include <vector>

#include "platform/wait.h"
#include "platform/wnd.h"
#include "port/enumeration.h"
#include "port/port_man.h"

CDeviceChangeHandler::CDeviceChangeHandler(CWnd* owner, CPortMan* manager) : m_pManager(manager)
{
    if (owner) {
        m_ownerHandle = owner->GetSafeHwnd();
        m_pOwnerLoop = &owner->loop();
        m_delivery = std::make_unique<platform::DeliverySource>(owner->loop());
    }
    // The sources exist when the constructor returns, so no event after it is missed.
    m_uevents = MakeUeventSource();
    m_endpoint = std::make_unique<LendingEndpoint>();
    m_pManager->Lending().SetWindow(m_endpoint.get());
    m_thread.Start([this] { return ThreadBody(); });
}

CDeviceChangeHandler::~CDeviceChangeHandler()
{
    m_bClosing = true;
    m_quit.Set();
    m_thread.Join();
    if (m_delivery) m_delivery->Withdraw();
    m_pManager->Lending().SetWindow(nullptr);
}

DWORD CDeviceChangeHandler::ThreadBody()
{
    std::vector<platform::Waitable> items{m_quit, m_hangUp};
    constexpr int hangUpIndex = 1;
    const int ueventIndex = m_uevents && m_uevents->Fd() >= 0 ? static_cast<int>(items.size()) : -1;
    if (ueventIndex >= 0) items.push_back(platform::Waitable::Readable(m_uevents->Fd()));
    const int lendingIndex = m_endpoint->IsValid() ? static_cast<int>(items.size()) : -1;
    if (lendingIndex >= 0) items.push_back(platform::Waitable::Readable(m_endpoint->Fd()));
    for (;;) {
        const DWORD woken = platform::WaitForMultipleObjects(items, INFINITE);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
        const int index = static_cast<int>(woken - WAIT_OBJECT_0);
        if (index == hangUpIndex) OnHangUp();
        if (index == ueventIndex) OnUevent();
        if (index == lendingIndex) OnLendingMessage();
    }
    return 0;
}

void CDeviceChangeHandler::OnUevent()
{
    std::string datagram;
    while (m_uevents->Receive(&datagram)) {
        if (m_bClosing) return;
        Uevent event;
        WPARAM code;
        auto header = std::make_shared<DeviceBroadcast>();
        if (!ParseUevent(datagram.data(), datagram.size(), &event) ||
            !DeviceEventFromUevent(event, GetEnumerationRoots().dev, &code, header.get()))
            continue;
        Dispatch(code, std::move(header));
    }
}

void CDeviceChangeHandler::Dispatch(WPARAM code, std::shared_ptr<DeviceBroadcast> header)
{
    if (HasOwnThread()) {
        m_pManager->OnDeviceChange(code, header.get());
    } else {
        platform::MessageLoop* loop = m_pOwnerLoop;
        const platform::WindowHandle owner = m_ownerHandle;
        m_delivery->HandOver([loop, owner, code, header] {
            loop->SendMessage(owner, WM_DEVICECHANGE, code, reinterpret_cast<LPARAM>(header.get()));
        });
    }
}

void CDeviceChangeHandler::ReportHangUp(const CPort* port)
{
    {
        std::lock_guard lock(m_hangUpMutex);
        m_pHungUpPort = port;
    }
    m_hangUp.Set();
}

void CDeviceChangeHandler::OnHangUp()
{
    const CPort* port;
    {
        std::lock_guard lock(m_hangUpMutex);
        port = m_pHungUpPort;
        m_pHungUpPort = nullptr;
    }
    if (m_bClosing || !port || !m_pManager->IsOpenPortHungUp(port)) return;
    auto header = std::make_shared<DeviceBroadcast>();
    header->devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header->name = m_pManager->OpenDeviceName();
    Dispatch(DBT_DEVICEREMOVECOMPLETE, std::move(header));
}

void CDeviceChangeHandler::OnLendingMessage()
{
    LendingDatagram datagram;
    while (m_endpoint->Receive(&datagram)) {
        if (m_bClosing) return;
        // An instance never answers its own broadcast.
        if (datagram.type != LendingMessage::Reply && datagram.sender == m_endpoint->Id()) continue;
        CPortMan* manager = m_pManager;
        auto handle = [manager, datagram] {
            manager->Lending().SetReceivedName(datagram.name);
            const WPARAM sender = static_cast<WPARAM>(datagram.sender);
            switch (datagram.type) {
            case LendingMessage::Query: manager->OnQueryPort(sender, static_cast<LPARAM>(datagram.value)); break;
            case LendingMessage::Return: manager->OnReturnPort(sender, static_cast<LPARAM>(datagram.value)); break;
            case LendingMessage::Reply: manager->OnReplyPort(sender, static_cast<LPARAM>(datagram.value)); break;
            }
        };
        if (HasOwnThread())
            handle();
        else
            m_delivery->HandOver(handle);
    }
}
