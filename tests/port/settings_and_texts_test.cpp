// The line settings record, its translation onto termios, special baud rates and baud texts.
#include <gtest/gtest.h>

#include "port/dcb.h"
#include "port/port_man_gui.h"
#include "port/baud_aliases.h"
#include "port/termios_translation.h"

namespace {

TEST(LineSettingsRecord, StartsWithItsDefaults)
{
    CDcb record;
    EXPECT_EQ(kPortNotOpenYet, record.GetState());
    EXPECT_EQ("Bad Config", record.GetStateText());
    EXPECT_EQ("COM1:", record.GetName());
    EXPECT_EQ(28u, record.m_dcb.DCBlength);
    EXPECT_EQ(9600u, record.m_dcb.BaudRate);
    EXPECT_EQ(8, record.m_dcb.ByteSize);
    EXPECT_EQ(0x2012u, DcbFlagWord(record.m_dcb));
}

TEST(LineSettingsRecord, HandshakeModes)
{
    CDcb record;
    record.SetHandshake(0);
    EXPECT_EQ(0x1012u, DcbFlagWord(record.m_dcb));  // fParity stays
    record.SetHandshake(1);
    EXPECT_TRUE(record.m_dcb.fOutX && record.m_dcb.fInX);
    record.SetHandshake(3);
    EXPECT_EQ(DTR_CONTROL_HANDSHAKE, record.m_dcb.fDtrControl);
    EXPECT_TRUE(record.m_dcb.fOutxDsrFlow);
    EXPECT_FALSE(record.m_dcb.fOutX);
    record.SetHandshake(2);
    record.SetHandshake(4);
    EXPECT_EQ(RTS_CONTROL_HANDSHAKE, record.m_dcb.fRtsControl);
    EXPECT_FALSE(record.m_dcb.fOutxCtsFlow);
    EXPECT_EQ(1u, record.m_bManualRts);
    EXPECT_EQ(1u, record.m_bManualDtr);
    const DWORD before = DcbFlagWord(record.m_dcb);
    record.SetHandshake(5);
    EXPECT_EQ(before, DcbFlagWord(record.m_dcb));
}

TEST(LineSettingsRecord, StateTexts)
{
    CDcb record;
    record.SetName("COM3   Sensor");
    record.m_bValid = true;
    record.SetState(kPortOpen);
    EXPECT_EQ("COM3   Sensor", record.GetStateText());
    record.SetState(kPortLent);
    EXPECT_EQ("Granted", record.GetStateText());
    record.SetState(kPortOffLineDeviceGone);
    EXPECT_EQ("OffLine", record.GetStateText());
    CDcb copy;
    copy.Copy(record);
    EXPECT_EQ(kPortOffLineDeviceGone, copy.GetState());
    EXPECT_EQ("COM3   Sensor", copy.m_sRequestedName);
}

TEST(TermiosTranslation, SensorSettingsGiveARaw8N1Line)
{
    CDcb record;
    record.m_dcb.BaudRate = 230400;
    record.SetHandshake(0);
    termios current{};
    TermiosSettings out;
    ASSERT_TRUE(TermiosFromDcb(record.m_dcb, current, &out));
    EXPECT_EQ(static_cast<speed_t>(B230400), out.speed);
    EXPECT_EQ(static_cast<tcflag_t>(CS8), out.tio.c_cflag & CSIZE);
    EXPECT_FALSE(out.tio.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(out.tio.c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(out.tio.c_lflag & (ICANON | ECHO));
    EXPECT_EQ(1, out.dtr);
    EXPECT_EQ(1, out.rts);
}

TEST(TermiosTranslation, ParityStopBitsFlowAndOddRates)
{
    DCB dcb = CDcb().m_dcb;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    dcb.BaudRate = 250000;
    termios current{};
    TermiosSettings out;
    ASSERT_TRUE(TermiosFromDcb(dcb, current, &out));
    EXPECT_EQ(static_cast<tcflag_t>(CS7), out.tio.c_cflag & CSIZE);
    EXPECT_TRUE(out.tio.c_cflag & PARENB);
    EXPECT_FALSE(out.tio.c_cflag & PARODD);
    EXPECT_TRUE(out.tio.c_iflag & INPCK);
    EXPECT_TRUE(out.tio.c_cflag & CSTOPB);
    // The default record's RTS handshake without CTS output flow holds no output, RTS stays up.
    EXPECT_FALSE(out.tio.c_cflag & CRTSCTS);
    EXPECT_EQ(1, out.rts);
    EXPECT_EQ(0u, out.speed);
    EXPECT_EQ(250000u, out.customRate);
    dcb.ByteSize = 9;
    EXPECT_FALSE(TermiosFromDcb(dcb, current, &out));
}

TEST(SpecialBaudRates, ANewPortPassesTheRateThrough)
{
    CSpecialBaudTable table;
    EXPECT_EQ(115200u, table.RateFor("COM9", 115200));
    EXPECT_TRUE(table.RecordOf("COM9").m_bPassThrough);
}

TEST(SpecialBaudRates, PairsAndFactorTranslate)
{
    CFakeBaud2 record;
    record.m_bPassThrough = false;
    record.m_dFactor = 0.5;
    record.m_aliases[0] = {300, 250000};
    record.m_aliases[2] = {999, 9600};  // behind the pair that ends the list
    EXPECT_EQ(300u, record.Translate(250000));
    EXPECT_EQ(4800u, record.Translate(9600));
    EXPECT_EQ(57u, record.Translate(115));  // truncated toward zero
}

TEST(BaudTexts, TableTextsAndDecimalFallback)
{
    EXPECT_EQ("115.2k", CPortManGui::RateText(115200));
    EXPECT_EQ("500K", CPortManGui::RateText(500000));
    EXPECT_EQ("110", CPortManGui::RateText(110));
    EXPECT_EQ("166600", CPortManGui::RateText(166600));
}

}  // namespace
