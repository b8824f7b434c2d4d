#pragma once
// Port lending between running instances of programs that use this port library. The holder
// of a port answers a query for it by closing it, marking it lent and replying; when the
// borrower announces the port's return, the holder opens it again.
//
// The three messages ("Query_", "Reply_", "Return_" followed by the identifier) travel as Unix
// datagrams between the endpoints of all instances, sockets in a private folder under
// $XDG_RUNTIME_DIR; each datagram carries the port name that the original kept in a shared
// memory block (UTF-16, at most 1024 bytes with its terminating zero).

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/cstring.h"
#include "platform/win_types.h"

constexpr const char* kPortLendingIdentifier = "C3D3BC02-282A-4A98-9BA5-DC1DD196CE22";
constexpr std::size_t kLendingNameBytes = 1024;

enum class LendingMessage : char { Query = 'Q', Reply = 'R', Return = 'T' };

struct LendingDatagram {
    LendingMessage type = LendingMessage::Query;
    std::uint64_t sender = 0;  // the sender's endpoint: its "window"
    std::int64_t value = 0;
    CString name;
};

// The port name as the shared block holds it, and back (cut to 511 characters).
std::string EncodeLendingName(const CString& name);
CString DecodeLendingName(const std::string& bytes);

// One instance's receiving socket (the receiver window of the original).
class LendingEndpoint {
public:
    explicit LendingEndpoint(const std::string& identifier = kPortLendingIdentifier);
    ~LendingEndpoint();
    LendingEndpoint(const LendingEndpoint&) = delete;
    LendingEndpoint& operator=(const LendingEndpoint&) = delete;

    bool IsValid() const { return m_fd >= 0; }
    std::uint64_t Id() const { return m_id; }
    int Fd() const { return m_fd; }
    bool Receive(LendingDatagram* datagram);
    bool SendTo(std::uint64_t endpoint, const LendingDatagram& datagram);
    // To every other endpoint of the folder; returns how many got it. Sockets left behind by
    // ended instances are removed on the way.
    int Broadcast(const LendingDatagram& datagram);

    // The private folder of an identifier (created with mode 0700 when missing).
    static std::string Folder(const std::string& identifier);

private:
    std::string PathOf(std::uint64_t endpoint) const;
    bool SendToPath(const std::string& path, const LendingDatagram& datagram);

    std::string m_folder;
    std::uint64_t m_id = 0;
    int m_fd = -1;
};

class CInterProcMsg {
public:
    explicit CInterProcMsg(const char* identifier);
    virtual ~CInterProcMsg() = default;
    UINT m_nQueryMessage;
    UINT m_nReplyMessage;
    UINT m_nReturnMessage;
};

class CInterProcCommPortBorrow : public CInterProcMsg {
public:
    CInterProcCommPortBorrow();

    // The own endpoint (given when the device-change receiver starts; null when it ends).
    void SetWindow(LendingEndpoint* endpoint);
    // The port name of the message being handled.
    CString ReadName() const;
    void SetReceivedName(const CString& name);
    // Returns a port that this instance had borrowed: announces it to every instance.
    void ReturnBorrowedPort();
    void Reply(std::uint64_t asker, LPARAM value);
    void RecordBorrowed(const CString& name);
    // A reply answers a query of ours; this system sends none, so every reply is unasked for.
    bool IsQueryOutstanding() const { return m_bQueryOutstanding; }

private:
    mutable std::mutex m_mutex;
    LendingEndpoint* m_pEndpoint = nullptr;
    CString m_sSharedName;
    CString m_sBorrowedName;
    bool m_bQueryOutstanding = false;
};
