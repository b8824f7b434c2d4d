#pragma once
// The controller's port seam over the port library: each sensor port is a CPortManGui of its
// own, owned by the adapter, delivering to the controller's step window.

#include <memory>

#include "workflow/sensor_port.h"

class CPortManGui;

namespace workflow {

class PortManSensorPort : public ISensorPort {
public:
    PortManSensorPort(CWnd& window, UINT eventMessage, UINT dataMessage);
    ~PortManSensorPort() override;

    bool OpenPort(const CString& portText) override;
    void SetOffLine() override;
    bool WriteString(const CString& bytes) override;
    CString GetStateText() const override;
    void SetLineSettings(const LineSettings& settings) override;
    void SetEventMask(DWORD clearBits, DWORD setBits) override;

private:
    std::unique_ptr<CPortManGui> m_manager;
};

class PortManSensorPortFactory : public ISensorPortFactory {
public:
    std::unique_ptr<ISensorPort> Create(CWnd& window, UINT eventMessage, UINT dataMessage) override;
    // The ports the port combo box offers, with the description that follows their COM name.
    std::vector<PortListEntry> ListPorts() override;
};

}  // namespace workflow
