#include "port/interproc_borrow.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/message_loop.h"

namespace {

constexpr char kMagic[4] = {'K', 'M', '3', 'L'};

bool FillAddress(const std::string& path, sockaddr_un* address)
{
    if (path.size() >= sizeof address->sun_path) return false;
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

std::string EncodeLendingName(const CString& name)
{
    std::u16string text = platform::Cp1252ToUtf16(name.view());
    if (text.size() > kLendingNameBytes / 2 - 1) text.resize(kLendingNameBytes / 2 - 1);
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    bytes.append(2, '\0');
    return bytes;
}

CString DecodeLendingName(const std::string& bytes)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size() && i + 1 < kLendingNameBytes; i += 2) {
        const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return CString(platform::Utf16ToCp1252(text));
}

std::string LendingEndpoint::Folder(const std::string& identifier)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base = runtime && *runtime ? runtime : "/tmp";
    std::string folder = base + "/km3-lending-" + std::to_string(::getuid()) + "-" + identifier;
    ::mkdir(folder.c_str(), 0700);
    struct stat info;
    // Only a folder of our own, not a link planted by someone else, carries our messages.
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return std::string();
    return folder;
}

LendingEndpoint::LendingEndpoint(const std::string& identifier) : m_folder(Folder(identifier))
{
    static std::atomic<std::uint32_t> counter{0};
    m_id = (static_cast<std::uint64_t>(::getpid()) << 20) | (++counter & 0xFFFFF);
    if (m_folder.empty()) return;
    m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) return;
    sockaddr_un address;
    const std::string path = PathOf(m_id);
    ::unlink(path.c_str());
    if (!FillAddress(path, &address) || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

LendingEndpoint::~LendingEndpoint()
{
    if (m_fd < 0) return;
    ::close(m_fd);
    ::unlink(PathOf(m_id).c_str());
}

std::string LendingEndpoint::PathOf(std::uint64_t endpoint) const
{
    return m_folder + "/" + std::to_string(endpoint) + ".sock";
}

bool LendingEndpoint::SendToPath(const std::string& path, const LendingDatagram& datagram)
{
    if (m_fd < 0) return false;
    std::string bytes(kMagic, sizeof kMagic);
    bytes.push_back(static_cast<char>(datagram.type));
    bytes.append(reinterpret_cast<const char*>(&datagram.sender), sizeof datagram.sender);
    bytes.append(reinterpret_cast<const char*>(&datagram.value), sizeof datagram.value);
    bytes += EncodeLendingName(datagram.name);
    sockaddr_un address;
    if (!FillAddress(path, &address)) return false;
    if (::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof address) ==
        static_cast<ssize_t>(bytes.size()))
        return true;
    if (errno == ECONNREFUSED) ::unlink(path.c_str());  // its instance has ended
    return false;
}

bool LendingEndpoint::SendTo(std::uint64_t endpoint, const LendingDatagram& datagram)
{
    return SendToPath(PathOf(endpoint), datagram);
}

int LendingEndpoint::Broadcast(const LendingDatagram& datagram)
{
    if (m_folder.empty()) return 0;
    int sent = 0;
    std::error_code ec;
    const std::string own = PathOf(m_id);
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, ec)) {
        const std::string path = entry.path().string();
        if (path == own || entry.path().extension() != ".sock") continue;
        if (SendToPath(path, datagram)) ++sent;
    }
    return sent;
}

bool LendingEndpoint::Receive(LendingDatagram* datagram)
{
    if (m_fd < 0) return false;
    char buffer[64 + kLendingNameBytes];
    const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
    const std::size_t header = sizeof kMagic + 1 + sizeof datagram->sender + sizeof datagram->value;
    if (n < static_cast<ssize_t>(header) || std::memcmp(buffer, kMagic, sizeof kMagic) != 0) return false;
    const char type = buffer[4];
    if (type != 'Q' && type != 'R' && type != 'T') return false;
    datagram->type = static_cast<LendingMessage>(type);
    std::memcpy(&datagram->sender, buffer + 5, sizeof datagram->sender);
    std::memcpy(&datagram->value, buffer + 5 + sizeof datagram->sender, sizeof datagram->value);
    datagram->name = DecodeLendingName(std::string(buffer + header, static_cast<std::size_t>(n) - header));
    return true;
}

CInterProcMsg::CInterProcMsg(const char* identifier)
    : m_nQueryMessage(platform::RegisterWindowMessage((std::string("Query_") + identifier).c_str())),
      m_nReplyMessage(platform::RegisterWindowMessage((std::string("Reply_") + identifier).c_str())),
      m_nReturnMessage(platform::RegisterWindowMessage((std::string("Return_") + identifier).c_str()))
{
}

CInterProcCommPortBorrow::CInterProcCommPortBorrow() : CInterProcMsg(kPortLendingIdentifier) {}

void CInterProcCommPortBorrow::SetWindow(LendingEndpoint* endpoint)
{
    std::lock_guard lock(m_mutex);
    m_pEndpoint = endpoint;
}

CString CInterProcCommPortBorrow::ReadName() const
{
    std::lock_guard lock(m_mutex);
    return m_sSharedName;
}

void CInterProcCommPortBorrow::SetReceivedName(const CString& name)
{
    std::lock_guard lock(m_mutex);
    m_sSharedName = DecodeLendingName(EncodeLendingName(name));
}

void CInterProcCommPortBorrow::ReturnBorrowedPort()
{
    std::lock_guard lock(m_mutex);
    if (m_sBorrowedName.IsEmpty()) return;
    if (m_pEndpoint) {
        LendingDatagram datagram;
        datagram.type = LendingMessage::Return;
        datagram.sender = m_pEndpoint->Id();
        datagram.name = m_sBorrowedName;
        m_pEndpoint->Broadcast(datagram);
    }
    m_sBorrowedName.Empty();
}

void CInterProcCommPortBorrow::Reply(std::uint64_t asker, LPARAM value)
{
    std::lock_guard lock(m_mutex);
    if (!m_pEndpoint) return;
    LendingDatagram datagram;
    datagram.type = LendingMessage::Reply;
    datagram.sender = m_pEndpoint->Id();
    datagram.value = value;
    datagram.name = m_sSharedName;
    m_pEndpoint->SendTo(asker, datagram);
}

void CInterProcCommPortBorrow::RecordBorrowed(const CString& name)
{
    std::lock_guard lock(m_mutex);
    m_sBorrowedName = name;
}
