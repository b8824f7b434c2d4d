// HID: the report-descriptor parser, the kinds' probes, framing of input and output reports
// on a fake device, and the receive ring.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "fakes.h"
#include "port/hid_report_descriptor.h"
#include "port/port_hid_kinds.h"
#include "port/thread_man.h"
#include "recorders.h"
#include "test_support.h"

namespace {

using namespace porttest;

// Vendor page `page`, usage `usage`, input and output reports of `length` bytes (no ids).
std::vector<BYTE> Descriptor(WORD page, WORD usage, BYTE length)
{
    return {0x06, static_cast<BYTE>(page), static_cast<BYTE>(page >> 8), 0x0A, static_cast<BYTE>(usage),
            static_cast<BYTE>(usage >> 8), 0xA1, 0x01, 0x75, 0x08, 0x95, length, 0x09, 0x01, 0x81, 0x02,
            0x09, 0x01, 0x91, 0x02, 0xC0};
}

TEST(HidReportDescriptor, CapabilitiesAndLinkCollections)
{
    // Page 0xFF66 usage 1 inside a top-level collection of page 0x8C usage 2; numbered reports.
    const std::vector<BYTE> d = {0x05, 0x8C, 0x09, 0x02, 0xA1, 0x01, 0x06, 0x66, 0xFF, 0x09, 0x01, 0xA1, 0x02,
                                 0x85, 0x01, 0x75, 0x08, 0x95, 0x10, 0x09, 0x01, 0x81, 0x02, 0x85, 0x02,
                                 0x95, 0x03, 0x09, 0x01, 0xB1, 0x02, 0xC0, 0xC0};
    HidParsedDescriptor parsed;
    ASSERT_TRUE(ParseHidReportDescriptor(d.data(), d.size(), &parsed));
    EXPECT_EQ(0x8C, parsed.caps.UsagePage);
    EXPECT_EQ(2, parsed.caps.Usage);
    EXPECT_EQ(17, parsed.caps.InputReportByteLength);
    EXPECT_EQ(0, parsed.caps.OutputReportByteLength);
    EXPECT_EQ(4, parsed.caps.FeatureReportByteLength);
    ASSERT_EQ(2u, parsed.links.size());
    EXPECT_EQ(0xFF66, parsed.links[1].LinkUsagePage);
    EXPECT_EQ(1, parsed.links[1].LinkUsage);
    EXPECT_TRUE(parsed.usesReportIds);
}

TEST(HidReportDescriptor, MalformedDescriptorsAreRefused)
{
    const std::vector<BYTE> truncated = {0x06, 0xA0};
    const std::vector<BYTE> strayEnd = {0xC0};
    const std::vector<BYTE> strayPop = {0xB4};
    HidParsedDescriptor parsed;
    EXPECT_FALSE(ParseHidReportDescriptor(truncated.data(), truncated.size(), &parsed));
    EXPECT_FALSE(ParseHidReportDescriptor(strayEnd.data(), strayEnd.size(), &parsed));
    EXPECT_FALSE(ParseHidReportDescriptor(strayPop.data(), strayPop.size(), &parsed));
}

CHidInfo Info(WORD page, WORD usage, WORD vendor = 0x1111, WORD product = 0x2222)
{
    CHidInfo info;
    info.Read(Descriptor(page, usage, 8), true, vendor, product, 1);
    info.m_sProduct = "Widget";
    info.m_sSerialNumber = "S1";
    return info;
}

TEST(HidKinds, TheFirstKindThatAcceptsWins)
{
    CHidInfo com = Info(0xFFA0, 1, 0x0536, 0x0107);
    EXPECT_EQ(&CPortHidCom::CreatePort, SelectHidKind(com));
    EXPECT_EQ("Widget HidCom - S1", com.m_sDisplayText);
    EXPECT_TRUE(com.m_bRecognised);

    // The POS ids without the POS link collection: not a HidPos, but a later kind may take it.
    CHidInfo pos = Info(0xFF45, 0xA000, 0x0536, 0x0107);
    EXPECT_EQ(&CPortHidSurePosFlash::CreatePort, SelectHidKind(pos));
    EXPECT_EQ(0u, pos.m_dwKindFlags);

    CHidInfo sio = Info(0xFF45, 0x6500);
    EXPECT_EQ(&CPortHidSurePosSio::CreatePort, SelectHidKind(sio));
    EXPECT_EQ("Widget SurePosSio - S1", sio.m_sDisplayText);

    CHidInfo none = Info(0x0001, 0x0002);
    EXPECT_EQ(nullptr, SelectHidKind(none));
    EXPECT_FALSE(none.m_bRecognised);
}

TEST(HidKinds, HidPosNeedsItsLinkCollectionUnlessNothingIsKnown)
{
    CHidInfo info;
    info.m_attributes.VendorID = 0x0536;
    info.m_attributes.ProductID = 0x0127;
    info.m_sProduct = "HID POS Scanner";
    info.m_sIndexedText = "Scanner 2";
    info.m_sMiNumber = "01";
    info.m_sSerialNumber = "X";
    EXPECT_EQ(&CPortHidPos::CreatePort, CPortHidPos::Probe(info));
    EXPECT_EQ("Scanner 2 HidPos 01 - X", info.m_sDisplayText);
    EXPECT_EQ(0x10000u, info.m_dwKindFlags);
}

template <class Kind>
struct HidRig {
    std::shared_ptr<FakeHidDevice::State> device = std::make_shared<FakeHidDevice::State>();
    CThreadMan worker;
    std::shared_ptr<Kind> port;
    explicit HidRig(BYTE reportLength, WORD page = 0xFFA0, WORD usage = 1)
    {
        device->descriptor = Descriptor(page, usage, reportLength);
        port = std::make_shared<Kind>(nullptr, 0, std::make_unique<FakeHidDevice>(device));
        worker.SetPort(port);
        port->SetWorker(&worker);
    }
    ~HidRig()
    {
        port->Close(false);
        worker.SetPort(nullptr);
    }
    bool Open(CDataCallback* data, EventRecorder* events = nullptr)
    {
        return port->Open("/dev/hidraw9", DCB{}, data, 256, events, 0);
    }
    std::vector<std::vector<BYTE>> Written()
    {
        std::lock_guard lock(device->mutex);
        return device->written;
    }
};

TEST(HidCom, WritesAreSplitIntoFullReports)
{
    HidRig<CPortHidCom> rig(63);  // reports of 64 bytes with their id
    ASSERT_TRUE(rig.Open(nullptr));
    std::string data(100, 'd');
    EXPECT_TRUE(rig.port->Write(data.data(), 100));
    const auto written = rig.Written();
    ASSERT_EQ(2u, written.size());
    EXPECT_EQ(64u, written[0].size());
    EXPECT_EQ(60, written[0][2]);
    EXPECT_EQ(0x30, written[0][1]);
    EXPECT_EQ(40, written[1][2]);
    EXPECT_EQ(0, written[1][63]);  // zero-filled
}

TEST(HidCom, ATinyOutputReportFailsInsteadOfLoopingForEver)
{
    HidRig<CPortHidCom> rig(3);  // 4-byte reports carry no data after the header
    ASSERT_TRUE(rig.Open(nullptr));
    EXPECT_FALSE(rig.port->Write("abc", 3));
    EXPECT_TRUE(rig.Written().empty());
}

TEST(HidCom, AFailedReportWriteIsReported)
{
    HidRig<CPortHidCom> rig(63);
    ASSERT_TRUE(rig.Open(nullptr));
    rig.device->failWrites = true;
    EXPECT_FALSE(rig.port->Write("abc", 3));
    EXPECT_FALSE(rig.port->WriteByte('x'));
}

TEST(HidCom, InputPayloadsAreBoundedByTheReport)
{
    HidRig<CPortHidCom> rig(7);  // input reports of 8 bytes
    DataRecorder data;
    ASSERT_TRUE(rig.Open(&data));
    QueueReport(*rig.device, {0, 0, 3, 'a', 'b', 'c', 0, 0});
    QueueReport(*rig.device, {0, 0, 100, 'd', 'e', 'f', 'g', 'h'});  // claims more than it holds
    QueueReport(*rig.device, {0, 0, 0x90, 'x', 'x', 'x', 'x', 'x'});  // "negative"
    QueueReport(*rig.device, {0, 0, 1, 'z', 0, 0, 0, 0});
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes().size() >= 9; }));
    EXPECT_EQ("abcdefghz", data.Bytes());
}

TEST(HidCom, ReadsGoToTheRingWithoutACallbackAndAReadErrorIsReportedOnce)
{
    HidRig<CPortHidCom> rig(7);
    EventRecorder events;
    ASSERT_TRUE(rig.port->Open("/dev/hidraw9", DCB{}, nullptr, 256, &events, 0));
    QueueReport(*rig.device, {0, 0, 2, 'o', 'k', 0, 0, 0});
    BYTE buffer[4];
    DWORD got = 0;
    ASSERT_TRUE(WaitUntil([&] { return (got += rig.port->ReadAvailable(buffer + got, 4 - got)) >= 2; }));
    EXPECT_EQ("ok", std::string(reinterpret_cast<char*>(buffer), got));
    {
        std::lock_guard lock(rig.device->mutex);
        rig.device->failRead = true;
    }
    rig.device->reportReady.Set();
    ASSERT_TRUE(WaitUntil([&] { return !events.Events().empty(); }));
    EXPECT_EQ(std::make_pair(EV_ERR, ERROR_DEVICE_NOT_CONNECTED), events.Events()[0]);
    EXPECT_TRUE(WaitUntil([&] { return !rig.port->IsMonitorRunning(); }));
}

TEST(HidSurePosSio, AStatusBitInAnyGroupFetchesTheFeaturePayload)
{
    HidRig<CPortHidSurePosSio> rig(5, 0xFF45, 0x6400);  // 6-byte input reports
    DataRecorder data;
    ASSERT_TRUE(rig.Open(&data));
    rig.device->feature.assign(251, 0);
    rig.device->feature[1] = 2 + 10;  // ten payload bytes from byte 3 on
    for (int i = 0; i < 10; ++i) rig.device->feature[3 + static_cast<std::size_t>(i)] = static_cast<BYTE>('0' + i);
    QueueReport(*rig.device, {0, 0, 0, 0, 0x10, 0});
    ASSERT_TRUE(WaitUntil([&] { return data.Bytes().size() == 10; }));
    EXPECT_EQ("0123456789", data.Bytes());
    // Delivered in pieces of the requested size: the input report length + 1.
    EXPECT_EQ(7u, data.Chunks()[0]);
    QueueReport(*rig.device, {0, 0});  // too short: ignored
    EXPECT_EQ(1, rig.device->getFeatureCalls);
}

TEST(HidSurePosSio, AnEmptyWriteSendsOneHeaderOnlyReport)
{
    HidRig<CPortHidSurePosSio> rig(15, 0xFF45, 0x6400);
    ASSERT_TRUE(rig.Open(nullptr));
    EXPECT_TRUE(rig.port->Write("", 0));
    const auto written = rig.Written();
    ASSERT_EQ(1u, written.size());
    EXPECT_EQ((std::vector<BYTE>{0x00, 0x04, 0x00, 0x08, 0x00}), std::vector<BYTE>(written[0].begin(), written[0].begin() + 5));
}

TEST(HidPos, EnablesOnOpenAndSendsNoDisableWhenTheDeviceIsGone)
{
    HidRig<CPortHidPos> rig(15, 0x8C, 2);
    ASSERT_TRUE(rig.Open(nullptr));
    {
        std::lock_guard lock(rig.device->mutex);
        ASSERT_EQ(1u, rig.device->featuresSet.size());
        EXPECT_EQ((std::vector<BYTE>{0xFE, 1}), rig.device->featuresSet[0]);
    }
    rig.port->Close(true);
    std::lock_guard lock(rig.device->mutex);
    EXPECT_EQ(1u, rig.device->featuresSet.size());
}

TEST(HidSurePosFlash, WritesTheCallersReportWhole)
{
    HidRig<CPortHidSurePosFlash> rig(7, 0xFF45, 0xA000);
    ASSERT_TRUE(rig.Open(nullptr));
    EXPECT_TRUE(rig.port->Write("\x00raw", 4));
    EXPECT_FALSE(rig.port->WriteByte('x'));
    EXPECT_EQ(4u, rig.Written().at(0).size());
}

TEST(RxRing, ABlockThatDoesNotFitIsDroppedWhole)
{
    CRxRingBuffer ring(150);
    std::vector<BYTE> block(100, 1);
    EXPECT_EQ(100u, ring.Put(block.data(), 100));
    EXPECT_EQ(0u, ring.Put(block.data(), 100));
    EXPECT_EQ(100u, ring.Stored());
    EXPECT_EQ(50u, ring.Put(block.data(), 50));
    BYTE out[200];
    EXPECT_EQ(150u, ring.Get(out, 200));
    EXPECT_EQ(0u, ring.Get(out, 1));
}

TEST(RxRing, ReadsReturnAtOnceWithTheDefaultTimeouts)
{
    CRxRingBuffer ring(16);
    BYTE out[10];
    EXPECT_EQ(0u, ring.ReadWait(out, 10));
    const BYTE three[] = {1, 2, 3};
    ring.Put(three, 3);
    EXPECT_EQ(3u, ring.ReadWait(out, 10));
}

TEST(RxRing, AWaitingReadEndsAsSoonAsEnoughArrived)
{
    CRxRingBuffer ring(64);
    ring.SetTimeouts(COMMTIMEOUTS{MAXDWORD, 0, 60000, 0, 0});
    const BYTE three[] = {1, 2, 3};
    ring.Put(three, 3);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const BYTE seven[] = {4, 5, 6, 7, 8, 9, 10};
        ring.Put(seven, 7);
    });
    BYTE out[10];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(10u, ring.ReadWait(out, 10));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    writer.join();
}

TEST(RxRing, AReadTimesOutWithWhatThereIs)
{
    CRxRingBuffer ring(64);
    ring.SetTimeouts(COMMTIMEOUTS{MAXDWORD, 0, 30, 0, 0});
    const BYTE three[] = {1, 2, 3};
    ring.Put(three, 3);
    BYTE out[10];
    EXPECT_EQ(3u, ring.ReadWait(out, 10));
}

TEST(RxRing, BytesArrivingJustBeforeTheWaitStillWakeTheReader)
{
    CRxRingBuffer ring(64);
    ring.SetTimeouts(COMMTIMEOUTS{MAXDWORD, 0, 60000, 0, 0});
    ring.SetBeforeWaitHook([&] {
        const BYTE ten[10] = {};
        ring.Put(ten, 10);
    });
    BYTE out[10];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(10u, ring.ReadWait(out, 10));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(RxRing, CloseWakesAWaitingReader)
{
    HidRig<CPortHidCom> rig(7);
    ASSERT_TRUE(rig.port->Open("/dev/hidraw9", DCB{}, nullptr, 256, nullptr, 0));
    rig.port->SetTimeouts(COMMTIMEOUTS{MAXDWORD, 0, 60000, 0, 0});
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        rig.port->Close(false);
    });
    BYTE out[4];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0u, rig.port->Read(out, 4));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    closer.join();
}

}  // namespace
