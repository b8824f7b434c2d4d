#include "tests/sim/engine.h"

#include <algorithm>

namespace sim {
namespace {

std::int16_t Clamp16(std::int32_t v)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

void PutValue(Bytes& bytes, std::int16_t value)
{
    const auto u = static_cast<std::uint16_t>(value);
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    bytes.push_back(static_cast<std::uint8_t>(u));
}

bool IsChannelSelector(std::uint8_t s) { return s == 'A' || s == 'B' || s == 'C'; }

bool TakeOne(int& left)
{
    if (left == 0) return false;
    if (left > 0) --left;
    return true;
}

}  // namespace

SensorEngine::SensorEngine(const SensorConfig& config, std::int64_t startUs)
    : m_config(config), m_bootUs(startUs), m_blocks(config.identity), m_address(config.identity.address)
{
    for (const auto& rule : m_config.faults.badCheck) m_badCheckLeft.push_back(rule.times);
    for (const auto& rule : m_config.faults.refusals) m_refusalLeft.push_back(rule.times);
    FinishRestart();
    m_address = config.identity.address;
    const UnaskedStream& unasked = m_config.faults.unaskedStream;
    if (unasked.enabled) StartStream(unasked.selector, std::max<std::uint8_t>(unasked.rateByte, 1), startUs);
}

int SensorEngine::RequestCount(std::uint8_t letter) const
{
    const auto it = m_requests.find(letter);
    return it == m_requests.end() ? 0 : it->second;
}

std::int16_t SensorEngine::ValueA(std::int64_t nowUs) const
{
    const std::int32_t v = m_config.signalA.At(nowUs - m_bootUs) + (m_controlOn ? m_config.controlStepA : 0) +
                           (m_loadOn ? m_config.loadA : 0);
    return Clamp16(v);
}

std::int16_t SensorEngine::ValueB(std::int64_t nowUs) const
{
    const std::int32_t v = m_config.signalB.At(nowUs - m_bootUs) + (m_controlOn ? m_config.controlStepB : 0) +
                           (m_loadOn ? m_config.loadB : 0);
    // The angle zero moves the counter's origin; the counter wraps as 16 bits do.
    if (m_angleZero != 0) return static_cast<std::int16_t>(static_cast<std::uint16_t>(Clamp16(v) - m_angleZero));
    return Clamp16(v);
}

void SensorEngine::OnHostBytes(const std::uint8_t* data, std::size_t length, std::int64_t nowUs,
                               std::vector<Batch>& out)
{
    // Records that fell due before these bytes arrived go out first.
    Advance(nowUs, out);
    for (auto& event : m_reader.Feed(data, length, nowUs)) {
        if (event.kind == HostFrameReader::Event::Kind::StopSignal) {
            ++m_requests[kStx];
            if (IsRestarting()) continue;
            if ((m_stream.active || IsSlaveArmed()) && !m_config.faults.unaskedStream.ignoresStop) {
                StopStreams();
                m_slaveSelector = 0;
            }
            out.push_back({kStx, {}});
            continue;
        }
        HandleFrame(event.frame, nowUs, out);
    }
}

void SensorEngine::HandleFrame(const Bytes& frame, std::int64_t nowUs, std::vector<Batch>& out)
{
    const std::uint8_t letter = frame[1];
    ++m_requests[letter];
    Batch batch{letter, {}};
    if (IsRestarting() || letter == kAck || letter == kNak) {
        out.push_back(std::move(batch));
        return;
    }
    const CheckBytes check = ComputeCheckBytes(frame.data() + 1, frame.size() - 3);
    const bool checkOk = check.s == frame[frame.size() - 2] && check.w == frame[frame.size() - 1];
    const bool addressed = !m_config.strictAddress || frame[2] == m_address;
    const Bytes data(frame.begin() + 5, frame.end() - 2);
    std::uint8_t code = 0;
    if (!addressed) {
        // Another sensor's request: not a word.
    } else if (m_stream.active) {
        // While streaming the sensor only listens for what changes the stream.
        if (checkOk) HandleWhileStreaming(letter, data, nowUs, batch);
    } else if (!checkOk) {
        Refuse(batch, kRefuseBadCheck);
    } else if (TakeRefusal(letter, data, code)) {
        Refuse(batch, code);
    } else {
        HandleRequest(letter, data, nowUs, batch);
    }
    out.push_back(std::move(batch));
}

void SensorEngine::HandleWhileStreaming(std::uint8_t letter, const Bytes& data, std::int64_t nowUs, Batch& batch)
{
    switch (letter) {
    case 'E':
    case 'M':
    case 'Z':
    case 'K':
        HandleRequest(letter, data, nowUs, batch);
        break;
    default:
        break;
    }
}

bool SensorEngine::TakeRefusal(std::uint8_t letter, const Bytes& data, std::uint8_t& code)
{
    const auto& rules = m_config.faults.refusals;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const RefusalRule& rule = rules[i];
        if (rule.letter != 0 && rule.letter != letter) continue;
        if (rule.block >= 0 && (data.empty() || data[0] != rule.block)) continue;
        if (!TakeOne(m_refusalLeft[i])) continue;
        code = rule.code;
        return true;
    }
    return false;
}

void SensorEngine::HandleRequest(std::uint8_t letter, const Bytes& data, std::int64_t nowUs, Batch& batch)
{
    switch (letter) {
    case 'A': {
        const std::int16_t a = ValueA(nowUs);
        const std::int16_t b = ValueB(nowUs);
        Bytes values;
        // Raw counts are the unsigned converter readings, offset by half the range.
        PutValue(values, static_cast<std::int16_t>(static_cast<std::uint16_t>(a + 32768)));
        PutValue(values, static_cast<std::int16_t>(static_cast<std::uint16_t>(b + 32768)));
        PutValue(values, a);
        PutValue(values, b);
        values.push_back(m_controlOn ? 1 : 0);
        Answer(batch, 'A', values);
        break;
    }
    case 'B': {
        const SensorIdentity& id = m_config.identity;
        const auto flags = static_cast<std::uint8_t>((m_calibrationState & 0x03) | ((id.supportInfo & 0x03) << 2) |
                                                     (id.noDigitalInput ? 0x20 : 0) | (id.hmbUsb ? 0x40 : 0) |
                                                     (id.oemVersion ? 0x80 : 0));
        Bytes status{id.okByte,
                     flags,
                     id.statorId,
                     id.statorRevision,
                     static_cast<std::uint8_t>(id.rotorId & 0x7F),
                     static_cast<std::uint8_t>(id.rotorRevision & 0x7F)};
        status.insert(status.end(), id.statusBytes11to17.begin(), id.statusBytes11to17.end());
        status.push_back(id.watchdog);
        Answer(batch, 'B', status);
        break;
    }
    case 'D': {
        const int slot = data.size() == 1 ? BlockSlot(data[0]) : -1;
        if (slot < 0 || !m_blocks.IsPresent(slot)) {
            Refuse(batch, kRefuseBlock);
            break;
        }
        Bytes block{data[0]};
        block.insert(block.end(), m_blocks.Get(slot).begin(), m_blocks.Get(slot).end());
        Answer(batch, 'D', block);
        break;
    }
    case 'F': {
        if (data.size() != 33) {
            Refuse(batch, kRefuseBadRequest);
            break;
        }
        const int slot = BlockSlot(data[0]);
        if (slot < 0) {
            Refuse(batch, kRefuseBlock);
            break;
        }
        BlockStore::Block block{};
        std::copy(data.begin() + 1, data.end(), block.begin());
        m_blocks.Put(slot, block);
        Ack(batch);
        break;
    }
    case 'E':
        if (data.size() != 1 || data[0] > 1) {
            Refuse(batch, kRefuseBadRequest);
            break;
        }
        m_controlOn = data[0] == 1;
        Ack(batch);
        break;
    case 'K':
        BeginRestart(nowUs);
        break;
    case 'M':
        m_angleZero = 0;
        m_angleZero = ValueB(nowUs);
        Ack(batch);
        break;
    case 'Z':
        if (data.size() == 5 && data[0] == 0x03 && data[1] != 0 && IsChannelSelector(data[4])) {
            Ack(batch);
            m_slaveSelector = 0;
            StartStream(data[4], data[1], nowUs);
        } else if (data.size() == 2 && data[0] == 0x04 && IsChannelSelector(data[1])) {
            Ack(batch);
            m_slaveSelector = data[1];
        } else {
            Refuse(batch, kRefuseBadRequest);
        }
        break;
    default:
        Refuse(batch, kRefuseBadRequest);
        break;
    }
}

void SensorEngine::Answer(Batch& batch, std::uint8_t letter, const Bytes& data)
{
    Bytes frame = BuildFrame(letter, 0xFF, m_address, data);
    const auto& rules = m_config.faults.badCheck;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        if (rules[i].letter != 0 && rules[i].letter != batch.cause) continue;
        if (!TakeOne(m_badCheckLeft[i])) continue;
        if (rules[i].wrongS) frame[frame.size() - 2] ^= 0x5A;
        if (rules[i].wrongW) frame[frame.size() - 1] ^= 0x5A;
        break;
    }
    batch.outputs.push_back({StuffStx(frame)});
}

void SensorEngine::StartStream(std::uint8_t selector, std::uint8_t rateByte, std::int64_t nowUs)
{
    m_stream = Stream{};
    m_stream.active = true;
    m_stream.selector = selector;
    m_stream.rateByte = rateByte;
    m_stream.startUs = nowUs;
    m_stream.reduction = RateReduction();
    m_stream.periodUs = RecordPeriodUs(rateByte) * m_stream.reduction;
}

int SensorEngine::RateReduction() const
{
    const int slot = BlockSlot(0x03);
    if (!m_blocks.IsValid(slot)) return 1;
    const int count = m_blocks.ContentByte(slot, 30) << 8 | m_blocks.ContentByte(slot, 31);
    return count >= 1 && count <= 9999 ? count : 1;
}

void SensorEngine::FollowStream(std::int64_t startUs, std::int64_t periodUs)
{
    if (!IsSlaveArmed() || IsRestarting()) return;
    m_stream = Stream{};
    m_stream.active = true;
    m_stream.follower = true;
    m_stream.selector = m_slaveSelector;
    m_stream.startUs = startUs;
    m_stream.periodUs = periodUs;
}

void SensorEngine::EndFollowing()
{
    if (m_stream.follower) m_stream.active = false;
}

void SensorEngine::StopStreams() { m_stream.active = false; }

void SensorEngine::BeginRestart(std::int64_t nowUs)
{
    StopStreams();
    m_slaveSelector = 0;
    m_controlOn = false;
    m_reader.Reset();
    m_restartDoneUs = nowUs + static_cast<std::int64_t>(std::max(m_config.restartMs, 0)) * 1000;
}

void SensorEngine::FinishRestart()
{
    m_restartDoneUs = -1;
    m_angleZero = 0;
    const int configured = m_config.identity.calibrationState;
    if (configured >= 0) {
        m_calibrationState = configured & 0x03;
    } else if (m_blocks.IsValid(BlockSlot(0x82))) {
        m_calibrationState = 3;
    } else if (m_blocks.IsValid(BlockSlot(0x81))) {
        m_calibrationState = 2;
    } else {
        m_calibrationState = 1;
    }
    // A new bus address written into the stator operation block takes effect now.
    const std::uint8_t written = m_blocks.ContentByte(BlockSlot(0x02), 13);
    if (m_blocks.IsValid(BlockSlot(0x02)) && written >= 1 && written <= 249) m_address = written;
}

void SensorEngine::Advance(std::int64_t nowUs, std::vector<Batch>& out)
{
    if (IsRestarting() && nowUs >= m_restartDoneUs) {
        FinishRestart();
        Batch hello{'K', {}};
        Answer(hello, kHello, {0x00});
        out.push_back(std::move(hello));
    }
    if (m_stream.active) EmitRecords(nowUs, out);
}

std::int64_t SensorEngine::NextWakeUs() const
{
    std::int64_t next = -1;
    if (IsRestarting()) next = m_restartDoneUs;
    if (m_stream.active) {
        const std::int64_t record = m_stream.startUs + (m_stream.sampled + 1) * m_stream.periodUs;
        if (next < 0 || record < next) next = record;
    }
    return next;
}

void SensorEngine::EmitRecords(std::int64_t nowUs, std::vector<Batch>& out)
{
    if (nowUs < m_stream.startUs) return;
    const long long due = (nowUs - m_stream.startUs) / m_stream.periodUs;
    if (due <= m_stream.sampled) return;
    const RecordFaults& faults = m_config.faults.records;
    Batch batch{'Z', {}};
    for (long long k = m_stream.sampled; k < due; ++k) {
        if (faults.lost.count(k)) continue;
        Bytes record = Record(k);
        for (const auto& c : faults.corrupted)
            if (c.ordinal == k && c.byteIndex >= 0 && c.byteIndex < static_cast<int>(record.size()))
                record[c.byteIndex] ^= c.xorMask;
        if (faults.repeated.count(k)) batch.outputs.push_back({record, k});
        batch.outputs.push_back({std::move(record), k});
    }
    m_stream.sampled = due;
    out.push_back(std::move(batch));
}

Bytes SensorEngine::Record(long long ordinal) const
{
    const std::int64_t at = m_stream.startUs + (ordinal + 1) * m_stream.periodUs;
    // A reduced record is the mean of the samples since the one before, the last taken at its
    // own instant.
    const int n = m_stream.reduction;
    const std::int64_t sampleUs = m_stream.periodUs / n;
    auto mean = [&](std::int16_t (SensorEngine::*value)(std::int64_t) const) {
        std::int64_t sum = 0;
        for (int k = 0; k < n; ++k) sum += (this->*value)(at - k * sampleUs);
        return static_cast<std::int16_t>(sum / n);
    };
    Bytes record{static_cast<std::uint8_t>(ordinal & 0xFF)};
    if (m_stream.selector != 'B') PutValue(record, mean(&SensorEngine::ValueA));
    if (m_stream.selector != 'A') PutValue(record, mean(&SensorEngine::ValueB));
    return record;
}

}  // namespace sim
