#pragma once
// Fakes behind the I/O seams of the port library: a serial line with modem lines, error
// counters and queues the test controls, a HID device with canned descriptors and reports,
// and a bulk device.

#include <algorithm>
#include <chrono>
#include <deque>
#include <thread>
#include <mutex>
#include <string>
#include <vector>

#include "platform/event.h"
#include "port/bulk_device.h"
#include "port/hid_device.h"
#include "port/serial_line.h"

namespace porttest {

// Open, Close and IsOpen of a fake device whose state (shared with the test) has a mutex and
// an open flag.
template <class Device, class State>
class FakeOpenable : public Device {
public:
    explicit FakeOpenable(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    DWORD Open(const CString&) override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->open = true;
        return ERROR_SUCCESS;
    }
    void Close() override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->open = false;
    }
    bool IsOpen() const override
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->open;
    }

protected:
    std::shared_ptr<State> m_state;
};

struct FakeSerialLineState {
    std::mutex mutex;
    std::string input;
    std::string output;
    DWORD outQueue = 0;
    DWORD modem = 0;
    LineCounters counters;
    bool hasModemLines = true;
    bool open = false;
    std::vector<DCB> applied;
    platform::Event inputReady{platform::Event::Mode::Manual};
};

class FakeSerialLine : public FakeOpenable<SerialLine, FakeSerialLineState> {
public:
    using State = FakeSerialLineState;
    using FakeOpenable::FakeOpenable;

    int PollFd() const override { return m_state->inputReady.fd(); }
    long Read(void* buffer, DWORD count) override
    {
        std::lock_guard lock(m_state->mutex);
        const std::size_t n = std::min<std::size_t>(count, m_state->input.size());
        m_state->input.copy(static_cast<char*>(buffer), n);
        m_state->input.erase(0, n);
        if (m_state->input.empty()) m_state->inputReady.Reset();
        return static_cast<long>(n);
    }
    long Write(const void* data, DWORD count) override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->output.append(static_cast<const char*>(data), count);
        return count;
    }
    bool Apply(const DCB& settings) override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->applied.push_back(settings);
        return true;
    }
    bool Queues(COMSTAT* status) override
    {
        std::lock_guard lock(m_state->mutex);
        status->cbInQue = static_cast<DWORD>(m_state->input.size());
        status->cbOutQue = m_state->outQueue;
        return true;
    }
    bool Purge(DWORD) override { return true; }
    bool ModemStatus(DWORD* status) override
    {
        std::lock_guard lock(m_state->mutex);
        if (!m_state->hasModemLines) return false;
        *status = m_state->modem;
        return true;
    }
    bool Counters(LineCounters* counters) override
    {
        std::lock_guard lock(m_state->mutex);
        if (!m_state->hasModemLines) return false;
        *counters = m_state->counters;
        return true;
    }
    DWORD LastError() const override { return ERROR_GEN_FAILURE; }
};

inline void FeedInput(FakeSerialLine::State& state, const std::string& bytes)
{
    std::lock_guard lock(state.mutex);
    state.input += bytes;
    state.inputReady.Set();
}

struct FakeHidDeviceState {
    std::mutex mutex;
    std::vector<BYTE> descriptor;
    std::deque<std::vector<BYTE>> reports;
    std::vector<std::vector<BYTE>> written;
    std::vector<std::vector<BYTE>> featuresSet;
    std::vector<BYTE> feature;  // answered to GetFeature
    int getFeatureCalls = 0;
    bool failWrites = false;
    bool failRead = false;
    bool open = false;
    platform::Event reportReady{platform::Event::Mode::Manual};
};

class FakeHidDevice : public FakeOpenable<HidDevice, FakeHidDeviceState> {
public:
    using State = FakeHidDeviceState;
    using FakeOpenable::FakeOpenable;

    int PollFd() const override { return m_state->reportReady.fd(); }
    bool ReportDescriptor(std::vector<BYTE>* descriptor) override
    {
        std::lock_guard lock(m_state->mutex);
        *descriptor = m_state->descriptor;
        return true;
    }
    long ReadReport(BYTE* buffer, DWORD size) override
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->failRead) return -1;
        if (m_state->reports.empty()) return 0;
        const std::vector<BYTE> report = m_state->reports.front();
        m_state->reports.pop_front();
        if (m_state->reports.empty()) m_state->reportReady.Reset();
        const std::size_t n = std::min<std::size_t>(size, report.size());
        std::copy(report.begin(), report.begin() + static_cast<long>(n), buffer);
        return static_cast<long>(n);
    }
    long WriteReport(const BYTE* report, DWORD size) override
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->failWrites) return -1;
        m_state->written.emplace_back(report, report + size);
        return size;
    }
    bool GetFeature(BYTE* buffer, DWORD size) override
    {
        std::lock_guard lock(m_state->mutex);
        ++m_state->getFeatureCalls;
        std::copy_n(m_state->feature.begin(), std::min<std::size_t>(size, m_state->feature.size()), buffer);
        return true;
    }
    bool SetFeature(const BYTE* buffer, DWORD size) override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->featuresSet.emplace_back(buffer, buffer + size);
        return true;
    }
    DWORD LastError() const override { return ERROR_DEVICE_NOT_CONNECTED; }
};

inline void QueueReport(FakeHidDevice::State& state, std::vector<BYTE> report)
{
    std::lock_guard lock(state.mutex);
    state.reports.push_back(std::move(report));
    state.reportReady.Set();
}

class FakeBulkDevice : public BulkDevice {
public:
    struct State {
        std::mutex mutex;
        bool readOpens = true;
        bool writeOpens = true;
        bool readOpen = false;
        bool writeOpen = false;
        std::deque<std::vector<BYTE>> blocks;
        std::string written;
        long writeAccepts = -1;  // -1: all
    };
    explicit FakeBulkDevice(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    bool OpenReadPipe(const CString&) override
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->readOpen = m_state->readOpens;
    }
    bool OpenWritePipe(const CString&) override
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->writeOpen = m_state->writeOpens;
    }
    void CloseReadPipe() override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->readOpen = false;
    }
    void CloseWritePipe() override
    {
        std::lock_guard lock(m_state->mutex);
        m_state->writeOpen = false;
    }
    bool IsReadPipeOpen() const override
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->readOpen;
    }
    bool IsWritePipeOpen() const override
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->writeOpen;
    }
    long Read(BYTE* block, DWORD size, DWORD timeoutMs) override
    {
        {
            std::lock_guard lock(m_state->mutex);
            if (!m_state->blocks.empty()) {
                const std::vector<BYTE> b = m_state->blocks.front();
                m_state->blocks.pop_front();
                const std::size_t n = std::min<std::size_t>(size, b.size());
                std::copy_n(b.begin(), n, block);
                return static_cast<long>(n);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<DWORD>(timeoutMs, 5)));
        return 0;
    }
    long Write(const BYTE* data, DWORD count, DWORD) override
    {
        std::lock_guard lock(m_state->mutex);
        const long n = m_state->writeAccepts < 0 ? static_cast<long>(count) : std::min<long>(count, m_state->writeAccepts);
        m_state->written.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n));
        return n;
    }
    DWORD LastError() const override { return ERROR_SEM_TIMEOUT; }

private:
    std::shared_ptr<State> m_state;
};

}  // namespace porttest
