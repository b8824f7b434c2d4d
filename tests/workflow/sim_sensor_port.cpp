#include "tests/workflow/sim_sensor_port.h"

#include <algorithm>

#include "platform/wnd.h"
#include "workflow/port_names.h"
#include "workflow/sensor_port.h"

namespace workflow_test {

SimSensorPort::SimSensorPort(SimPortFactory& factory, CWnd& window, UINT eventMessage, UINT dataMessage)
    : m_factory(factory), m_window(window), m_eventMessage(eventMessage), m_dataMessage(dataMessage)
{
    ++m_factory.livePorts;
}

SimSensorPort::~SimSensorPort()
{
    SetOffLine();
    --m_factory.livePorts;
}

bool SimSensorPort::OpenPort(const CString& portText)
{
    SetOffLine();
    const CString com = "COM" + workflow::ExtractComPortName(portText);
    auto it = m_factory.m_ports.find(com);
    if (it == m_factory.m_ports.end() || !it->second.opens) return false;
    SimPortFactory::Binding& binding = it->second;
    if (binding.owner && binding.owner != this) binding.owner->SetOffLine();  // opened exclusively
    binding.owner = this;
    m_openName = portText;
    m_comName = com;
    CWnd* window = &m_window;
    const UINT message = m_dataMessage;
    SimSensorPort* self = this;
    SimPortFactory* factory = &m_factory;
    binding.sim->SetDeliveryCallback([window, message, self, factory, com](const CString& bytes) {
        const SimPortFactory::Binding& b = factory->m_ports.at(com);
        if (b.owner != self) return;
        if (b.baudRate != 0 && self->m_settings.baudRate != b.baudRate) return;  // garbled at a wrong rate
        window->SendMessage(message, static_cast<WPARAM>(bytes.GetLength()), reinterpret_cast<LPARAM>(bytes.bytes()));
    });
    // A line that hangs up is reported as the port library reports a device that went away.
    const UINT event = m_eventMessage;
    binding.sim->SetHangupCallback([window, event, self, factory, com] {
        if (factory->m_ports.at(com).owner == self && (self->m_eventMask & workflow::kEventDeviceRemoval))
            window->PostMessage(event, workflow::kEventDeviceRemoval, 0);
    });
    return true;
}

void SimSensorPort::SetOffLine()
{
    if (m_comName.IsEmpty()) return;
    SimPortFactory::Binding& binding = m_factory.m_ports.at(m_comName);
    if (binding.owner == this) {
        binding.owner = nullptr;
        binding.sim->SetDeliveryCallback({});
        binding.sim->SetHangupCallback({});
    }
    m_openName.Empty();
    m_comName.Empty();
}

bool SimSensorPort::WriteString(const CString& bytes)
{
    if (m_comName.IsEmpty()) return false;
    SimPortFactory::Binding& binding = m_factory.m_ports.at(m_comName);
    if (!binding.writes) return false;
    m_factory.writes.push_back({m_comName, bytes, m_settings.baudRate, m_window.loop().NowMs()});
    if (binding.baudRate != 0 && m_settings.baudRate != binding.baudRate) return true;  // lost on the line
    return binding.sim->Write(bytes);
}

CString SimSensorPort::GetStateText() const { return m_openName.IsEmpty() ? CString("OffLine") : m_openName; }

void SimPortFactory::Add(const CString& comName, const CString& description, sim::SimPort* port, int baudRate)
{
    Binding binding;
    binding.sim = port;
    binding.description = description;
    binding.baudRate = baudRate;
    m_ports[comName] = binding;
    m_order.push_back(comName);
}

void SimPortFactory::Unplug(const CString& comName)
{
    m_ports.at(comName).opens = false;
    m_order.erase(std::remove(m_order.begin(), m_order.end(), comName), m_order.end());
}

std::unique_ptr<workflow::ISensorPort> SimPortFactory::Create(CWnd& window, UINT eventMessage, UINT dataMessage)
{
    createdDataMessages.push_back(dataMessage);
    return std::make_unique<SimSensorPort>(*this, window, eventMessage, dataMessage);
}

std::vector<workflow::PortListEntry> SimPortFactory::ListPorts()
{
    std::vector<workflow::PortListEntry> entries;
    for (const CString& text : m_extra) entries.push_back({text, CString()});
    for (const CString& com : m_order) {
        const Binding& binding = m_ports.at(com);
        entries.push_back({com + " " + binding.description, binding.description});
    }
    return entries;
}

CString SimPortFactory::Letters() const
{
    CString letters;
    for (const WrittenFrame& frame : writes) letters.AppendChar(static_cast<char>(frame.bytes.GetLength() > 1 ? frame.Letter() : 0x02));
    return letters;
}

int SimPortFactory::Count(BYTE letter) const
{
    int count = 0;
    for (const WrittenFrame& frame : writes)
        if (frame.Letter() == letter) ++count;
    return count;
}

}  // namespace workflow_test
