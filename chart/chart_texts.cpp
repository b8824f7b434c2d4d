#include "chart/chart_texts.h"

#include "res/string_table.h"

namespace chart {

const char* ChartTextOf(ChartText id)
{
    // The table lives as long as the program, so its texts can be handed out as C strings.
    const CString* text = km3_res::Find(static_cast<UINT>(id) + static_cast<UINT>(GetLanguage()));
    return text != nullptr ? text->GetString() : "@";
}

}  // namespace chart
