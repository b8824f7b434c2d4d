#pragma once
// The hourglass of long operations. Begin/End nest; the application's sink shows Qt's busy
// cursor while the depth is above zero.

namespace platform {

class WaitCursorSink {
public:
    virtual ~WaitCursorSink() = default;
    virtual void Show(bool busy) = 0;
};
// Loop thread only. nullptr removes the sink.
void SetWaitCursorSink(WaitCursorSink* sink);
int WaitCursorDepth();

}  // namespace platform

void BeginWaitCursor();
// Does nothing when no wait cursor is shown.
void EndWaitCursor();

// Shows the wait cursor for its lifetime.
class CWaitCursor {
public:
    CWaitCursor() { BeginWaitCursor(); }
    ~CWaitCursor() { EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() {}
};
