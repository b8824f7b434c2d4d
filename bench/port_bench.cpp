// Received bytes on their whole way: a pseudo-terminal, the port's worker thread, the hand-over
// and the owner's window procedure on the loop thread. Throughput of a continuous stream, and
// the latency of one short frame.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/message_loop.h"
#include "platform/wnd.h"
#include "port/enumeration.h"
#include "port/port_man.h"
#include "port/port_settings_store.h"

namespace {

class CountingOwner : public CWnd {
public:
    using CWnd::CWnd;
    std::size_t received = 0;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == 2000) received += wParam;
        return 0;
    }
};

// A pseudo-terminal listed as an extra serial device, opened by a manager.
struct Rig {
    int master = -1;
    platform::MessageLoop loop{platform::MessageLoop::Time::Real};
    CountingOwner owner{loop};
    std::unique_ptr<CPortMan> manager;
    std::filesystem::path emptySysfs = std::filesystem::temp_directory_path() / "km3-bench-sysfs";

    Rig()
    {
        std::filesystem::create_directories(emptySysfs);
        SetEnumerationRoots({emptySysfs.string(), "/dev"});
        auto settings = std::make_shared<MemoryPortSettingsStore>();
        int slave = -1;
        char name[128];
        ::openpty(&master, &slave, name, nullptr, nullptr);
        termios t;
        ::tcgetattr(master, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
        ::close(slave);
        settings->AddExtraSerialDevice("bench", name);
        SetPortSettingsStore(settings);
        manager = std::make_unique<CPortMan>(&owner, 2200, 2000, true, 0);
        manager->m_dcb.BaudRate = 115200;
        manager->SetHandshake(0);
        manager->OpenPort(AssignComAlias(*settings, CString("path:") + name));
    }
    ~Rig()
    {
        manager.reset();
        ::close(master);
        SetPortSettingsStore(nullptr);
        SetEnumerationRoots({});
    }
};

void BM_PtyToOwnerThroughput(benchmark::State& state)
{
    Rig rig;
    const std::string chunk(static_cast<std::size_t>(state.range(0)), 'x');
    std::size_t sent = 0;
    for (auto _ : state) {
        std::thread writer([&] {
            for (int i = 0; i < 64; ++i) {
                std::size_t done = 0;
                while (done < chunk.size()) {
                    const ssize_t n = ::write(rig.master, chunk.data() + done, chunk.size() - done);
                    if (n <= 0) return;
                    done += static_cast<std::size_t>(n);
                }
            }
        });
        sent += chunk.size() * 64;
        rig.loop.RunUntil([&] { return rig.owner.received >= sent; }, 30000);
        writer.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(sent));
}
BENCHMARK(BM_PtyToOwnerThroughput)->Arg(256)->Arg(4096)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PtyToOwnerLatency(benchmark::State& state)
{
    Rig rig;
    const std::string frame(7, 'a');  // a short sensor answer
    std::size_t expected = 0;
    for (auto _ : state) {
        expected += frame.size();
        if (::write(rig.master, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) break;
        rig.loop.RunUntil([&] { return rig.owner.received >= expected; }, 30000);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PtyToOwnerLatency)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
