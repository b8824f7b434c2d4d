// The copies the controller keeps of each block a sensor holds: the sensor's record (also in
// its port row), the single-port writers' text, and the configuration write's own table. One
// table pairs them, so the copy a write starts from, the copies a confirmed block replaces and
// the texts a sensor hands over (to the single-port writers, to the configuration write) are
// always the same ones.

#include "workflow/com_port.h"

namespace {

struct Copies {
    CString CSensorRecord::*record;
    CString CComPort::*single;
    // The software configuration and the factory calibration are in none of its tables.
    void (workflow::IConfigWriteSequencer::*sequencer)(const CString&, int);
};
// Every block text the record keeps.
constexpr Copies kCopies[] = {
    {&CSensorRecord::m_strBlockStatorOperation, &CComPort::m_strBlockStatorOperation, &workflow::IConfigWriteSequencer::SetBlockText1},
    {&CSensorRecord::m_strBlockRotorUserCalib, &CComPort::m_strBlockRotorUserCalib, &workflow::IConfigWriteSequencer::SetBlockText2},
    {&CSensorRecord::m_strBlockRotorOperation, &CComPort::m_strBlockRotorOperation, &workflow::IConfigWriteSequencer::SetBlockText3},
    {&CSensorRecord::m_strBlockStatorSwConfig, &CComPort::m_strBlockStatorSwConfig, nullptr},
    {&CSensorRecord::m_strBlockRotorFactoryCalib, &CComPort::m_strBlockRotorFactoryCalib, nullptr},
};

const Copies& CopiesOf(CString CSensorRecord::*text)
{
    for (const Copies& copies : kCopies)
        if (copies.record == text) return copies;
    return kCopies[0];
}

}  // namespace

CString& CComPort::KeptBlockOf(int sensor, CString CSensorRecord::*text)
{
    if (m_nCountActivePorts > 1) return m_Sensor[static_cast<std::size_t>(sensor)].*text;
    return this->*CopiesOf(text).single;
}

void CComPort::TakeKeptBlocksOf(const CSensorRecord& record)
{
    for (const Copies& copies : kCopies) this->*copies.single = record.*copies.record;
}

void CComPort::HandOverBlockTexts(int sensor, const CSensorRecord& record)
{
    if (!m_peers.sequencer) return;
    for (const Copies& copies : kCopies)
        if (copies.sequencer) (m_peers.sequencer->*copies.sequencer)(record.*copies.record, sensor);
}

void CComPort::KeepConfirmedBlock(int sensor, CString CSensorRecord::*text, const CString& written)
{
    if (sensor < 0 || sensor >= kMaxSensorPorts || !text || !IsBlockFrameText(written)) return;
    // The search read these blocks; whatever takes them from the records from now on (a
    // connect, a sensor taken alone, a device reconnected after a restart) must find what the
    // sensor holds now, check words and all: a copy left as read would bring back the old
    // set-up or calibration, and one with the check words from before the write would be taken
    // for a switched-off block (a later write would switch the user calibration off).
    const Copies& copies = CopiesOf(text);
    m_Sensor[static_cast<std::size_t>(sensor)].*copies.record = written;
    if (m_nCountActivePorts <= 1) this->*copies.single = written;
    const int row = m_nPortRecOfSensor[static_cast<std::size_t>(sensor)];
    if (ValidRow(row)) {
        CSensorRecord& kept = m_PortRec[static_cast<std::size_t>(row)].m_Sensor;
        kept.*copies.record = written;
        // A connect takes the set-up's values (the rate, the units...) from the row's record,
        // not from its text: they must be the ones written too, or the page would take the
        // sensor's older rate for the one it measures with.
        if (text == &CSensorRecord::m_strBlockStatorSwConfig) {
            CSensorSwConfig& sw = kept.m_sSwConfig;
            KadSend_ReadBlockGetContentStatorSoftwareConfiguration(
                written, &sw.cConfigKind, &sw.dScaleA, &sw.dScaleB, &sw.strUnitA, &sw.strUnitB, &sw.cCode5A, &sw.cCode5B,
                &sw.cCode3A, &sw.cCode3B, &sw.cCode4A, &sw.cCode4B, &sw.cFlagA, &sw.cFlagB, &sw.cScalingA, &sw.cScalingB,
                &sw.nSetupCount, &sw.nByte32, &sw.cCode2A, &sw.cCode2B);
        }
    }
    if (m_peers.sequencer && copies.sequencer) (m_peers.sequencer->*copies.sequencer)(written, sensor);
}
