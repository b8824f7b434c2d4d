#include "workflow/workflow_texts.h"

#include "res/string_table.h"

namespace workflow {

CString WorkflowText(UINT germanId)
{
    return LoadLangString(germanId);
}

}  // namespace workflow
