#include "workflow/port_man_adapter.h"

#include "port/port_man_gui.h"
#include "platform/wnd.h"

namespace workflow {
namespace {

// Collects the entries the port library offers to a port combo box.
class CollectingCombo : public PortComboBox {
public:
    void ResetContent() override { texts.clear(); }
    int AddString(const CString& text) override
    {
        texts.push_back(text);
        return static_cast<int>(texts.size()) - 1;
    }
    int SelectString(int, const CString&) override { return -1; }
    int FindStringExact(int, const CString&) override { return -1; }
    int SetCurSel(int) override { return -1; }
    std::vector<CString> texts;
};

}  // namespace

PortManSensorPort::PortManSensorPort(CWnd& window, UINT eventMessage, UINT dataMessage)
    : m_manager(std::make_unique<CPortManGui>(&window, eventMessage, dataMessage, true, 0))
{
}

PortManSensorPort::~PortManSensorPort() { m_manager->SetOffLine(false); }

bool PortManSensorPort::OpenPort(const CString& portText) { return m_manager->OpenPortAtOnce(portText, nullptr, 256); }

void PortManSensorPort::SetOffLine() { m_manager->SetOffLine(false); }

bool PortManSensorPort::WriteString(const CString& bytes) { return m_manager->WriteString(bytes); }

CString PortManSensorPort::GetStateText() const { return m_manager->GetStateText(); }

void PortManSensorPort::SetLineSettings(const LineSettings& settings)
{
    if (settings.baudRate > 0) m_manager->m_dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
    m_manager->m_dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
    m_manager->m_dcb.Parity = static_cast<BYTE>(settings.parity);
    m_manager->m_dcb.StopBits = static_cast<BYTE>(settings.stopBits);
    m_manager->SetHandshake(settings.handshake);
}

void PortManSensorPort::SetEventMask(DWORD, DWORD setBits) { m_manager->SetEventMask(nullptr, setBits); }

std::unique_ptr<ISensorPort> PortManSensorPortFactory::Create(CWnd& window, UINT eventMessage, UINT dataMessage)
{
    return std::make_unique<PortManSensorPort>(window, eventMessage, dataMessage);
}

std::vector<PortListEntry> PortManSensorPortFactory::ListPorts()
{
    CollectingCombo combo;
    CPortManGui::FillPortCombo(combo, CString(), true);
    std::vector<PortListEntry> entries;
    for (const CString& text : combo.texts) {
        const int blank = text.Find(' ');
        CString description = blank < 0 ? CString() : text.Mid(blank + 1);
        description.Trim();
        entries.push_back({text, description});
    }
    return entries;
}

}  // namespace workflow
