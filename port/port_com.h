#pragma once
// The COM port: the serial port programmed with the line settings that its manager holds at
// that moment, with a special baud rate substituted where the port has one.

#include "port/comm2.h"

class CCommSpecialBaudLayer : public CComm2 {
public:
    using CComm2::CComm2;
    // Programs these settings with the port's special rate in place of the requested one.
    virtual bool SetDcb(const DCB& settings);
};

class CPortCom : public CCommSpecialBaudLayer {
public:
    using CCommSpecialBaudLayer::CCommSpecialBaudLayer;
    static std::shared_ptr<CPort> CreatePort(CPortMan* owner, BYTE flag);

    bool ApplySettings() override;
};
