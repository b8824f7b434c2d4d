#pragma once
// Answer frames and stream records as the sensor sends them, for feeding the receive chain
// directly, and the frames the controller wrote as they read back.

#include <initializer_list>

#include "tests/sim/sim.h"
#include "tests/workflow/workflow_bench.h"

namespace workflow_test {

inline CString ToText(const sim::Bytes& bytes)
{
    return CString(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
}

// A text of the given byte values.
inline CString Bytes(std::initializer_list<int> values)
{
    CString text;
    for (int v : values) text.AppendChar(static_cast<char>(v));
    return text;
}

// A record of a one-channel stream: its sequence byte and the value, high byte first.
inline CString Rec3(int seq, int v) { return Bytes({seq & 0xFF, (v >> 8) & 0xFF, v & 0xFF}); }

// An answer with start bytes doubled, from sensor number 1.
inline CString Answer(BYTE letter, const sim::Bytes& data = {})
{
    return ToText(sim::StuffStx(sim::BuildFrame(letter, 0xFF, 1, data)));
}

inline CString Ack() { return Answer(sim::kAck); }
inline CString Nak(BYTE code) { return Answer(sim::kNak, {code}); }
inline CString Hello() { return Answer(sim::kHello, {0}); }

inline CString StatusAnswer(const sim::SensorIdentity& id = AcceptedSensor().identity)
{
    sim::Bytes data{id.okByte, 0x41, id.statorId, id.statorRevision, id.rotorId, id.rotorRevision};
    for (std::uint8_t byte : id.statusBytes11to17) data.push_back(byte);
    data.push_back(id.watchdog);
    return Answer('B', data);
}

// A 40-byte block answer of the sensor with that identity (start bytes doubled).
inline CString BlockAnswer(const sim::SensorIdentity& id, BYTE blockNumber)
{
    sim::BlockStore store(id);
    const auto& block = store.Get(sim::BlockSlot(blockNumber));
    sim::Bytes data(block.size() + 1);
    data[0] = blockNumber;
    std::copy(block.begin(), block.end(), data.begin() + 1);
    return Answer('D', data);
}

// A written frame with its doubled start bytes undone.
inline CString Unstuffed(const CString& frame)
{
    CString out;
    for (int i = 0; i < frame.GetLength(); ++i) {
        out.AppendChar(frame.GetAt(i));
        if (i > 0 && frame.ByteAt(i) == 0x02 && i + 1 < frame.GetLength() && frame.ByteAt(i + 1) == 0x02) ++i;
    }
    return out;
}

inline void Feed(CComPort& com, const CString& bytes)
{
    com.OnReceiveChain(static_cast<WPARAM>(bytes.GetLength()), reinterpret_cast<LPARAM>(bytes.bytes()));
}

// A bench whose first port manager is open on a sensor that the test does not let answer.
struct OpenBench : Bench {
    OpenBench()
    {
        AddSensor("COM3", AcceptedSensor());
        com.COM_CreatePortManager(window);
        com.m_pPortMan->OpenPort("COM3 Tessaline USB sensor interface Port");
    }
    BYTE LastLetter() const { return ports.writes.empty() ? 0 : ports.writes.back().Letter(); }
    int LastBlock() const { return ports.writes.empty() ? -1 : ports.writes.back().bytes.ByteAt(5); }
};

}  // namespace workflow_test
