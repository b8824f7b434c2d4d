#include "platform/wait_cursor.h"

namespace platform {
namespace {
WaitCursorSink* g_sink = nullptr;
int g_depth = 0;
}  // namespace

void SetWaitCursorSink(WaitCursorSink* sink)
{
    g_sink = sink;
    if (g_sink) g_sink->Show(g_depth > 0);
}

int WaitCursorDepth()
{
    return g_depth;
}

}  // namespace platform

void BeginWaitCursor()
{
    if (platform::g_depth++ == 0 && platform::g_sink) platform::g_sink->Show(true);
}

void EndWaitCursor()
{
    if (platform::g_depth == 0) return;
    if (--platform::g_depth == 0 && platform::g_sink) platform::g_sink->Show(false);
}
