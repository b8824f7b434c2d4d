#include "workflow/workflow_texts.h"

#include "res/string_table.h"

namespace workflow {

CString WorkflowText(UINT germanId)
{
    return LoadLangString(germanId);
}

UINT BlockNameText(int blockNumber)
{
    switch (blockNumber) {
    case 0x02: return kTextBlockStatorOperation;
    case 0x03: return kTextBlockStatorSwConfig;
    case 0x80: return kTextBlockRotorHeader;
    case 0x81: return kTextBlockRotorFactoryCalib;
    case 0x82: return kTextBlockRotorUserCalib;
    default: return kTextBlockRotorOperation;
    }
}

}  // namespace workflow
