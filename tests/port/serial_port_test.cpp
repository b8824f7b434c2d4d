// The serial port on pseudo-terminals (the data path) and on a fake line (modem lines, line
// errors, drain), driven by a real worker thread.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "fakes.h"
#include "port/comm2.h"
#include "port/dcb.h"
#include "port/thread_man.h"
#include "recorders.h"
#include "test_support.h"

namespace {

using namespace porttest;

DCB LineSettings()
{
    CDcb record;
    record.m_dcb.BaudRate = 115200;
    record.SetHandshake(0);
    return record.m_dcb;
}

struct SerialRig {
    CThreadMan worker;
    std::shared_ptr<CComm2> port;
    explicit SerialRig(std::unique_ptr<SerialLine> line = nullptr)
        : SerialRig(std::make_shared<CComm2>(nullptr, 0, std::move(line)))
    {
    }
    explicit SerialRig(std::shared_ptr<CComm2> serial) : port(std::move(serial))
    {
        worker.SetPort(port);
        port->SetWorker(&worker);
    }
    ~SerialRig()
    {
        port->Close(false);
        worker.SetPort(nullptr);
    }
};

TEST(SerialPortOnPty, BurstArrivesInOrderInChunksOfAtMostTheBufferSize)
{
    Pty pty;
    SerialRig rig;
    DataRecorder data;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), LineSettings(), &data, 256, nullptr, 0));
    std::string burst;
    for (int i = 0; i < 5000; ++i) burst.push_back(static_cast<char>(i * 7));
    ASSERT_TRUE(pty.Send(burst));
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes().size() >= burst.size(); }));
    EXPECT_EQ(burst, data.Bytes());
    for (DWORD chunk : data.Chunks()) EXPECT_LE(chunk, 256u);
    EXPECT_GT(data.Chunks().size(), 1u);
}

TEST(SerialPortOnPty, WritesReachTheDevice)
{
    Pty pty;
    SerialRig rig;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0));
    ASSERT_TRUE(rig.port->Write("B\x00\x01\x02", 4));
    ASSERT_TRUE(rig.port->WriteByte(0xFF));
    EXPECT_EQ(std::string("B\x00\x01\x02\xFF", 5), pty.Receive(5));
}

TEST(SerialPortOnPty, WriteGivesUpAfterItsTimeOutWhenNobodyReads)
{
    Pty pty;
    SerialRig rig;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0));
    rig.port->SetTimeouts(COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 100});
    const std::string big(1 << 20, 'x');  // far more than the pseudo-terminal buffers
    EXPECT_FALSE(rig.port->Write(big.data(), static_cast<DWORD>(big.size())));
    EXPECT_EQ(ERROR_SEM_TIMEOUT, rig.port->GetLastError());
}

TEST(SerialPortOnPty, CloseWhileAWriteWaitsMakesTheWriteFail)
{
    Pty pty;
    SerialRig rig;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0));
    rig.port->SetTimeouts(COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0});  // the write alone would wait forever
    std::atomic<int> result{-1};
    std::thread writer([&] {
        const std::string big(1 << 20, 'x');
        result = rig.port->Write(big.data(), static_cast<DWORD>(big.size())) ? 1 : 0;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(rig.port->Close(false));
    writer.join();
    EXPECT_EQ(0, result.load());
    EXPECT_FALSE(rig.port->IsOpen());
    EXPECT_TRUE(rig.port->Close(false));  // closing a closed port does nothing
    EXPECT_FALSE(rig.port->Write("x", 1));
}

TEST(SerialPortOnPty, HangUpEndsTheMonitorAndLeavesThePortClosable)
{
    Pty pty;
    SerialRig rig;
    DataRecorder data;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), LineSettings(), &data, 256, nullptr, 0));
    ASSERT_TRUE(pty.Send("last words"));
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes() == "last words"; }));
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !rig.port->IsMonitorRunning(); }));
    EXPECT_TRUE(rig.port->IsOpen());
    EXPECT_TRUE(rig.port->Close(false));
}

TEST(SerialPortOnPty, IsOpenedExclusively)
{
    Pty pty;
    SerialRig first, second;
    ASSERT_TRUE(first.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0));
    EXPECT_FALSE(second.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0));
    EXPECT_EQ(ERROR_ACCESS_DENIED, second.port->GetLastError());
    EXPECT_EQ(IDS_PORT_IN_USE, second.port->GetErrorCode());
    first.port->Close(false);
    EXPECT_TRUE(second.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0));
}

TEST(SerialPortOnPty, AMissingDeviceFailsToOpen)
{
    SerialRig rig;
    EXPECT_FALSE(rig.port->Open("/dev/nonexistent-km3-port", LineSettings(), nullptr, 256, nullptr, 0));
    EXPECT_EQ(IDS_PORT_COULD_NOT_OPEN, rig.port->GetErrorCode());
    EXPECT_FALSE(rig.port->IsOpen());
}

// The line settings of the terminal, as its master side reads them.
termios TerminalSettings(const Pty& pty)
{
    termios t{};
    ::tcgetattr(pty.master, &t);
    return t;
}

TEST(SerialPortOnPty, RtsHandshakeWithoutCtsFlowDoesNotHoldOutput)
{
    Pty pty;
    SerialRig rig;
    CDcb record;
    record.m_dcb.BaudRate = 115200;
    record.SetHandshake(2);
    record.m_dcb.fOutxCtsFlow = 0;  // a three-wire cable: nothing drives CTS
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), record.m_dcb, nullptr, 256, nullptr, 0));
    EXPECT_EQ(0u, TerminalSettings(pty).c_cflag & CRTSCTS);
    record.m_dcb.fOutxCtsFlow = 1;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), record.m_dcb, nullptr, 256, nullptr, 0));
    EXPECT_EQ(static_cast<tcflag_t>(CRTSCTS), TerminalSettings(pty).c_cflag & CRTSCTS);
}

TEST(SerialPortOnPty, AStandardRateAfterACustomOneSetsBothSpeeds)
{
    constexpr tcflag_t kOtherRate = 0010000;  // the speed field's value for a rate given in full
    Pty pty;
    SerialRig rig;
    DCB settings = LineSettings();
    settings.BaudRate = 250000;  // no termios constant
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), settings, nullptr, 256, nullptr, 0));
    EXPECT_EQ(kOtherRate, TerminalSettings(pty).c_cflag & CBAUD);
    settings.BaudRate = 115200;
    ASSERT_TRUE(rig.port->Open(pty.path.c_str(), settings, nullptr, 256, nullptr, 0));
    const termios t = TerminalSettings(pty);
    EXPECT_EQ(B115200, cfgetospeed(&t));
    // No input speed of its own is left behind: input follows output.
    const tcflag_t input = (t.c_cflag & CIBAUD) >> 16;
    EXPECT_TRUE(input == 0 || input == B115200) << std::oct << input;
}

TEST(SerialPortOnPty, DeniedAccessIsReportedAsSuchNotAsAPortInUse)
{
    Pty pty;
    ASSERT_EQ(0, ::chmod(pty.path.c_str(), 0));
    // A user who may not use the device (root may use any, so the child becomes nobody).
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setuid(65534) != 0) std::_Exit(2);
            SerialRig rig;
            const bool opened = rig.port->Open(pty.path.c_str(), LineSettings(), nullptr, 256, nullptr, 0);
            std::_Exit(!opened && rig.port->GetErrorCode() == IDS_PORT_ACCESS_DENIED ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// ---- on a fake line ----

template <class Port>
struct FakeRigOf {
    std::shared_ptr<FakeSerialLine::State> line = std::make_shared<FakeSerialLine::State>();
    std::shared_ptr<Port> serial = std::make_shared<Port>(nullptr, 0, std::make_unique<FakeSerialLine>(line));
    SerialRig rig{serial};
    Port& port() { return *serial; }
    bool LineOpen()
    {
        std::lock_guard lock(line->mutex);
        return line->open;
    }
};

// A serial port whose monitor body can be held where the port's start and stop hinge on it:
// at its start, before it counts as running, and at its end, after it has acknowledged a stop
// (or ended by itself) but before it counts as ended. A hold lasts until its condition holds
// or kHoldMs have passed. A port that waits for its body as it must never lets the condition
// come true during the hold, so there the bound ends it.
class HoldablePort : public CComm2 {
public:
    static constexpr int kHoldMs = 300;
    using CComm2::CComm2;
    void HoldNextStart(std::function<bool()> until) { Arm(m_start, std::move(until)); }
    void HoldNextEnd(std::function<bool()> until) { Arm(m_end, std::move(until)); }
    // Whether the condition of the hold at the end came true while the body was held (waits
    // for that hold to be over).
    bool EndReleasedEarly()
    {
        return WaitUntil([&] { return m_endHoldOver.load(); }) && m_endReleasedEarly;
    }
    void ThreadPrepare() override
    {
        Hold(m_start);
        CComm2::ThreadPrepare();
    }
    void ThreadFinish() override
    {
        CComm2::ThreadFinish();
        m_endReleasedEarly = Hold(m_end);
        m_endHoldOver = true;
    }

private:
    void Arm(std::function<bool()>& slot, std::function<bool()> until)
    {
        std::lock_guard lock(m_mutex);
        slot = std::move(until);
    }
    bool Hold(std::function<bool()>& slot)
    {
        std::function<bool()> until;
        {
            std::lock_guard lock(m_mutex);
            until.swap(slot);
        }
        return until && WaitUntil(until, kHoldMs);
    }
    std::mutex m_mutex;
    std::function<bool()> m_start;
    std::function<bool()> m_end;
    std::atomic<bool> m_endReleasedEarly{false};
    std::atomic<bool> m_endHoldOver{false};
};

using FakeRig = FakeRigOf<CComm2>;
using HoldableRig = FakeRigOf<HoldablePort>;

TEST(SerialPortOnFakeLine, ACloseWaitsForTheMonitorsVeryEndBeforeTheLineIsClosedAndOpenedAgain)
{
    HoldableRig f;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), nullptr, 256, nullptr, 0));
    f.port().HoldNextEnd([&] { return !f.LineOpen(); });
    ASSERT_TRUE(f.port().Close(false));
    EXPECT_FALSE(f.port().EndReleasedEarly()) << "the line was closed under a body that had not ended";
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), nullptr, 256, nullptr, 0));
    EXPECT_TRUE(f.port().IsMonitorRunning());
}

TEST(SerialPortOnFakeLine, ModemLineChangesAreReportedWhenAsked)
{
    FakeRig f;
    EventRecorder events;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), nullptr, 256, &events, EV_CTS | EV_DSR));
    {
        std::lock_guard lock(f.line->mutex);
        f.line->modem = MS_CTS_ON;
    }
    ASSERT_TRUE(WaitUntil([&] { return !events.Events().empty(); }));
    EXPECT_EQ(EV_CTS, events.Events()[0].first & (EV_CTS | EV_DSR));
}

TEST(SerialPortOnFakeLine, ALineErrorHoldsBackReadingOnceAndNamesTheError)
{
    FakeRig f;
    DataRecorder data;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), &data, 256, nullptr, 0));
    {
        std::lock_guard lock(f.line->mutex);
        f.line->counters.frame = 1;
    }
    BYTE buffer[16];
    FeedInput(*f.line, "abc");
    // The monitor meets the error first; the bytes still arrive once it is cleared.
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes() == "abc"; }));
    f.port().Close(false);
    FakeRig g;
    ASSERT_TRUE(g.port().Open("fake", LineSettings(), nullptr, 256, nullptr, 0));
    g.port().StopMonitor(true);  // so that only this test clears the error
    {
        std::lock_guard lock(g.line->mutex);
        g.line->counters.parity = 3;
    }
    FeedInput(*g.line, "xyz");
    EXPECT_EQ(0u, g.port().ReadAvailable(buffer, sizeof buffer));
    EXPECT_EQ(IDS_PORT_PARITY_ERROR, g.port().GetErrorCode());
    EXPECT_EQ(3u, g.port().ReadAvailable(buffer, sizeof buffer));
}

TEST(SerialPortOnFakeLine, EveryErrorEventReachesTheMonitorAlsoWhenAReaderClearedTheErrorFirst)
{
    FakeRig f;
    EventRecorder events;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), nullptr, 256, &events, EV_ERR));
    for (DWORD i = 1; i <= 11; ++i) {
        {
            std::lock_guard lock(f.line->mutex);
            f.line->counters.overrun = i;
            // A modem line change in the same look does not hide the error.
            f.line->modem = i % 2 ? MS_DSR_ON : 0;
        }
        // Every other error is first cleared by a reader on this thread (a read, or the
        // settings waiting for the output to drain, do that): its event must still come.
        DWORD errors = 0;
        if (i % 2) f.port().ClearCommError(&errors, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return events.Events().size() >= i; })) << i;
    }
}

TEST(SerialPortOnFakeLine, WithRxCharInTheCallersMaskBytesAreReportedNotRead)
{
    FakeRig f;
    DataRecorder data;
    EventRecorder events;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), &data, 256, &events, EV_RXCHAR));
    FeedInput(*f.line, "abc");
    ASSERT_TRUE(WaitUntil([&] { return !events.Events().empty(); }));
    EXPECT_TRUE(events.Events()[0].first & EV_RXCHAR);
    EXPECT_TRUE(data.Bytes().empty());
    BYTE buffer[8];
    EXPECT_EQ(3u, f.port().ReadAvailable(buffer, sizeof buffer));
}

TEST(SerialPortOnFakeLine, AFailingHandlerIsReportedAndTheWorkerStaysUsable)
{
    HoldableRig f;
    DataRecorder data;
    EventRecorder events;
    data.throwOnData = true;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), &data, 256, &events, 0));
    // The failed body is held on its last steps while the monitor is started again, and the
    // new body before it runs: the start must wait for the old body's end, not take it for
    // the new one's and return with nothing running.
    std::atomic<bool> restarted{false};
    f.port().HoldNextEnd([&] { return restarted.load(); });
    FeedInput(*f.line, "boom");
    ASSERT_TRUE(WaitUntil([&] { return !events.Events().empty(); }));
    EXPECT_EQ(std::make_pair(EV_ERR, ERROR_INTERNAL_ERROR), events.Events()[0]);
    ASSERT_TRUE(WaitUntil([&] { return !f.port().IsMonitorRunning(); }));
    // The worker went back to idle: the monitor starts again.
    data.throwOnData = false;
    f.port().HoldNextStart([&] { return restarted.load(); });
    ASSERT_TRUE(f.port().StartMonitor(&data, 256, &events, 0));
    const bool running = f.port().IsMonitorRunning();
    restarted = true;
    EXPECT_TRUE(running);
    FeedInput(*f.line, "ok");
    EXPECT_TRUE(WaitUntil([&] { return data.Bytes().find("ok") != std::string::npos; }));
}

TEST(SerialPortOnFakeLine, ReconfigureGrowsTheBufferAndReadsInTheNewChunkSize)
{
    FakeRig f;
    DataRecorder data;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), &data, 4, nullptr, 0));
    ASSERT_TRUE(f.port().StartMonitor(&data, 16, nullptr, 0));
    FeedInput(*f.line, std::string(40, 'a'));
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes().size() == 40; }));
    EXPECT_EQ(16u, data.Chunks()[0]);
    ASSERT_TRUE(f.port().StartMonitor(&data, 2, nullptr, 0));
    FeedInput(*f.line, std::string(6, 'b'));
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes().size() == 46; }));
    EXPECT_EQ(2u, data.Chunks().back());
}

TEST(SerialPortOnFakeLine, StartMonitorOnAClosedPortStartsNothing)
{
    FakeRig f;
    DataRecorder data;
    EXPECT_TRUE(f.port().StartMonitor(&data, 256, nullptr, 0));
    EXPECT_FALSE(f.port().IsMonitorRunning());
    EXPECT_TRUE(f.port().StopMonitor(true));  // not running: true at once
}

TEST(SerialPortOnFakeLine, AnOutputQueueThatNeverDrainsHoldsTheSettingsBackOnlyUntilTheStallLimit)
{
    FakeRig f;
    {
        std::lock_guard lock(f.line->mutex);
        f.line->outQueue = 10;  // held by a handshake line
    }
    // The settings wait for the output to drain, and give up on it once it has stalled (the
    // port counts whole milliseconds, so the last one may be short).
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), nullptr, 256, nullptr, 0));
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(CComm2::kTxStallLimitMs - 1));
    std::lock_guard lock(f.line->mutex);
    EXPECT_EQ(1u, f.line->applied.size());
}

TEST(SerialPortOnFakeLine, ApplySettingsCompletesTheLineSettings)
{
    FakeRig f;
    ASSERT_TRUE(f.port().Open("fake", LineSettings(), nullptr, 256, nullptr, 0));
    std::lock_guard lock(f.line->mutex);
    ASSERT_FALSE(f.line->applied.empty());
    const DCB& applied = f.line->applied.back();
    EXPECT_EQ(1u, applied.fBinary);
    EXPECT_EQ(0u, applied.fDsrSensitivity);
    EXPECT_EQ(100, applied.XonLim);
    EXPECT_EQ(0x11, applied.XonChar);
    EXPECT_EQ(0x13, applied.XoffChar);
    EXPECT_EQ(115200u, applied.BaudRate);
}

}  // namespace
