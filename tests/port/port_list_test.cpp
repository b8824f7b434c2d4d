// The port list: names that find an entry, duplicates, presence, and filling a combo box.
#include <gtest/gtest.h>

#include <thread>

#include "port/port_man_gui.h"
#include "port/port_com.h"
#include "test_support.h"

namespace {

using namespace porttest;

std::unique_ptr<CPortDetailsEx> ComEntry(const char* port, const char* description, const char* path)
{
    auto entry = std::make_unique<CPortDetailsEx>();
    entry->m_sPortName = port;
    entry->m_sDescription = description;
    entry->m_sOpenPath = path;
    entry->m_sFriendlyName = CString(description) + " (" + port + ")";
    entry->m_pFactory = &CPortCom::CreatePort;
    return entry;
}

TEST(PortList, EveryNameOfAPortFindsItsEntry)
{
    CPortDetailArray list;
    list.Add(ComEntry("COM3", "USB Serial", "/dev/ttyUSB0"));
    const CPortDetailsEx* entry = list.Find("COM3");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ("COM3   USB Serial", entry->m_sDisplayText);
    for (const char* name : {"com3", "COM3:", "com3:", "COM3 anything", "COM3\tx", "/dev/ttyUSB0", "/DEV/TTYUSB0",
                             "USB Serial (COM3)", "usb serial (com3)", "COM3   USB Serial"})
        EXPECT_EQ(entry, list.Find(name)) << name;
    EXPECT_EQ(nullptr, list.Find("COM4"));
    EXPECT_EQ(nullptr, list.Find("COM33"));
    EXPECT_EQ("/dev/ttyUSB0", list.OpenPathOf("com3"));
    EXPECT_EQ("COM4", list.OpenPathOf("COM4"));
    EXPECT_EQ(&CPort::CreatePort, list.FactoryOf("COM4"));
    EXPECT_TRUE(list.SameEntry("COM4", "COM5"));  // neither listed
    EXPECT_FALSE(list.SameEntry("COM3", "COM5"));
}

TEST(PortList, ADuplicateKeepsTheFirstEntryAndTakesItsNewPath)
{
    CPortDetailArray list;
    list.Add(ComEntry("COM3", "USB Serial", "/dev/ttyUSB0"));
    const CPortDetailsEx* first = list.Find("COM3");
    list.SetPresent("COM3", false);
    list.Add(ComEntry("COM3", "USB Serial", "/dev/ttyUSB1"));  // plugged in again elsewhere
    EXPECT_EQ(1, list.GetSize());
    EXPECT_EQ(first, list.Find("COM3"));
    EXPECT_TRUE(first->m_bPresent);
    EXPECT_EQ("/dev/ttyUSB1", list.OpenPathOf("COM3"));
    EXPECT_EQ(first, list.Find("/dev/ttyUSB1"));
}

TEST(PortList, ARemovedDeviceStaysListedButIsNotOffered)
{
    CPortDetailArray list;
    list.Add(ComEntry("COM5", "Adapter", "/dev/ttyACM0"));
    EXPECT_EQ("COM5   Adapter", list.VisibleName(0));
    EXPECT_TRUE(list.SetPresent("/dev/ttyACM0", false));
    EXPECT_EQ("", list.VisibleName(0));
    EXPECT_NE(nullptr, list.Find("COM5"));
    EXPECT_FALSE(list.SetPresent("COM6", true));
}

TEST(PortList, LookUpsThatLearnNewSpellingsRunBesideAdds)
{
    CPortDetailArray list;
    list.Add(ComEntry("COM1", "First", "/dev/ttyS0"));
    std::thread adder([&] {
        for (int i = 2; i < 300; ++i) {
            const std::string port = "COM" + std::to_string(i);
            const std::string path = "/dev/ttyX" + std::to_string(i);
            list.Add(ComEntry(port.c_str(), "Adapter", path.c_str()));
        }
    });
    // Every lower-case spelling is entered into the name map as it is found.
    for (int i = 0; i < 300; ++i) {
        const std::string name = "com1 " + std::to_string(i);
        EXPECT_NE(nullptr, list.Find(CString("/dev/ttys0")));
        list.Find(CString(name));
    }
    adder.join();
    EXPECT_EQ(299, list.GetSize());
}

TEST(StringHistory, AddsOnceAndFindsInside)
{
    CStringHistory history(2);
    EXPECT_EQ(0, history.AddString("COM1"));
    EXPECT_EQ(0, history.AddString(CString("COM1   old"), " "));
    EXPECT_EQ(1, history.AddString("COM2"));
    EXPECT_EQ(1, history.FindInside("COM2   Sensor"));
    EXPECT_EQ(-1, history.FindInside("COM3"));
    history.AddString("COM3");  // over capacity: the oldest goes
    EXPECT_EQ(2, history.GetSize());
    EXPECT_EQ(-1, history.FindInside("COM1"));
}

class RecordingCombo : public PortComboBox {
public:
    std::vector<CString> items;
    int selection = -1;
    void ResetContent() override { items.clear(); }
    int AddString(const CString& text) override
    {
        items.push_back(text);
        return static_cast<int>(items.size()) - 1;
    }
    int SelectString(int, const CString& text) override
    {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].Left(text.GetLength()) == text) return selection = static_cast<int>(i);
        return -1;
    }
    int FindStringExact(int, const CString& text) override
    {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == text) return static_cast<int>(i);
        return -1;
    }
    int SetCurSel(int index) override { return selection = index; }
};

TEST(FillPortCombo, OffersPresentPortsAndSelectsTheGivenOne)
{
    FakeMachine machine;
    Pty a, b;
    const std::string nodeA = machine.OwnNodeOf(a, "ttyFirst");
    const CString aliasA = machine.AddDevicePath(nodeA, "First");
    const CString aliasB = machine.AddPty(b, "Second");
    RecordingCombo combo;
    CPortManGui::FillPortCombo(combo, aliasB, true);
    ASSERT_EQ(2u, combo.items.size());
    EXPECT_EQ(aliasB + "   Second", combo.items[static_cast<std::size_t>(combo.selection)]);
    std::filesystem::remove(nodeA);  // the device goes away, its node with it
    a.CloseMaster();
    ThePortList().SetPresent(aliasA, false);
    CPortManGui::FillPortCombo(combo, "COM99", true);
    EXPECT_EQ(1u, combo.items.size());
    EXPECT_EQ(-1, combo.selection);
    CPortManGui::FillPortCombo(combo, aliasB, false);  // appends again
    EXPECT_EQ(2u, combo.items.size());
}

}  // namespace
