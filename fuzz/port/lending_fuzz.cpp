// Sends arbitrary datagrams to an endpoint of the port lending and receives them as the
// device-change receiver does. Any local process of the same user may write to the socket, so a
// datagram of any length and content must be either read or refused, never read out of bounds.
// The datagrams travel through a real socket in a private folder of this process: the reader
// under test is the endpoint's own receive.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "port/interproc_borrow.h"

namespace {

struct Channel {
    std::string identifier = "fuzz-" + std::to_string(::getpid());
    std::unique_ptr<LendingEndpoint> endpoint = std::make_unique<LendingEndpoint>(identifier);
    LendingEndpoint& receiver = *endpoint;
    int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};

    Channel()
    {
        if (!receiver.IsValid() || sender < 0) std::abort();
        // The endpoint's socket is "<folder>/<id>.sock" (LendingEndpoint::PathOf).
        const std::string path = LendingEndpoint::Folder(identifier) + "/" +
                                 std::to_string(receiver.Id()) + ".sock";
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path) std::abort();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    }
    ~Channel()
    {
        ::close(sender);
        endpoint.reset();  // removes its socket, so that the folder can go
        ::rmdir(LendingEndpoint::Folder(identifier).c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Channel channel;
    if (::sendto(channel.sender, data, size, 0, reinterpret_cast<const sockaddr*>(&channel.address),
                 sizeof channel.address) != static_cast<ssize_t>(size))
        return 0;  // larger than the socket takes: the kernel refuses it, nothing reaches the reader
    LendingDatagram datagram;
    if (channel.receiver.Receive(&datagram)) {
        // What the holder of a port does with a query: compare the name with its own ports'.
        const CString name = datagram.name;
        if (DecodeLendingName(EncodeLendingName(name)) != name && name.GetLength() < 511) std::abort();
    }
    return 0;
}
