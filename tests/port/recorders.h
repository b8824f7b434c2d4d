#pragma once
// Callbacks that record what a port delivers, from the worker thread.

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "port/port_functor.h"

namespace porttest {

class DataRecorder : public CDataCallback {
public:
    bool operator()(const BYTE* data, DWORD count) override
    {
        std::lock_guard lock(m_mutex);
        if (throwOnData) throw std::runtime_error("handler failed");
        m_bytes.append(reinterpret_cast<const char*>(data), count);
        m_chunks.push_back(count);
        return true;
    }
    std::string Bytes()
    {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    std::vector<DWORD> Chunks()
    {
        std::lock_guard lock(m_mutex);
        return m_chunks;
    }
    bool throwOnData = false;

private:
    std::mutex m_mutex;
    std::string m_bytes;
    std::vector<DWORD> m_chunks;
};

class EventRecorder : public CEventCallback {
public:
    bool operator()(DWORD events, DWORD error) override
    {
        std::lock_guard lock(m_mutex);
        m_events.emplace_back(events, error);
        return true;
    }
    std::vector<std::pair<DWORD, DWORD>> Events()
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<DWORD, DWORD>> m_events;
};

}  // namespace porttest
