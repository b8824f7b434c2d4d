// Feeds arbitrary bytes to the chart-file reader: it must either read a file or refuse it,
// without crashing, hanging or reading out of bounds.
#include <cstddef>
#include <cstdint>

#include "chart/chart_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    chart::ChartFileContent content;
    chart::ParseChartFile(data, size, content);
    return 0;
}
