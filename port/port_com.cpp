#include "port/port_com.h"

#include "port/port_man.h"
#include "port/baud_aliases.h"

bool CCommSpecialBaudLayer::SetDcb(const DCB& settings)
{
    m_dcb = settings;
    const CString name = GetOwner() ? GetOwner()->GetName() : CString();
    m_dcb.BaudRate = CSpecialBaudTable::Instance().RateFor(name, settings.BaudRate);
    return ApplyLineSettings();
}

std::shared_ptr<CPort> CPortCom::CreatePort(CPortMan* owner, BYTE flag)
{
    return std::make_shared<CPortCom>(owner, flag);
}

bool CPortCom::ApplySettings()
{
    if (!GetOwner()) return SetDcb(m_dcb);
    return SetDcb(GetOwner()->m_dcb);
}
