// What every block parser and builder shares: the blank fill, the slot bookkeeping and the
// test that a builder is given a block actually read from a sensor.

#include "protocol/kadmor_send.h"

namespace {

constexpr BYTE kStx = 0x02;
constexpr BYTE kBlockDataCount = 33;

}  // namespace

CString CKadmor_Send::PadBlockString(const CString& block)
{
    CString padded = block;
    if (padded.GetLength() < kBlockFrameLength)
        padded += CString(' ', kBlockFrameLength - padded.GetLength());
    return padded;
}

bool CKadmor_Send::IsBlockFrameText(const CString& block)
{
    return block.GetLength() >= kBlockFrameLength && block.ByteAt(0) == kStx && block.ByteAt(4) == kBlockDataCount;
}

CString CKadmor_Send::BeginBlockParse(int slot, const CString& block, CString* status)
{
    BlockSlot& s = m_aBlockSlot[slot];
    s.m_strReadFrame = block;
    CString padded = PadBlockString(block);
    s.m_nReadResult = CheckBlock(padded, status);
    return padded;
}

bool CKadmor_Send::BeginBlockBuild(const CString* block, CString& work)
{
    // A text that was never filled from a sensor's answer (a placeholder, a cut answer) has no
    // fields to keep; patching it would send the sensor a block made up of filler.
    if (!block || !IsBlockFrameText(*block)) return false;
    work = PadBlockString(*block);
    return true;
}

void CKadmor_Send::EndBlockBuild(int slot, CString* block, const CString& work)
{
    *block = work;
    m_aBlockSlot[slot].m_strWriteFrame = work;
}
