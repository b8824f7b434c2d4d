#pragma once
// The application's message boxes and wait cursor, shown with Qt.

#include "platform/message_box.h"
#include "platform/wait_cursor.h"

class QWidget;

namespace platform {

class QtMessageBoxSink final : public MessageBoxSink {
public:
    // Called from a worker thread, the box is not shown (no widget may be touched there): the
    // text goes to standard error and the default button answers. Once the program has been
    // told to end (SIGTERM), the text goes there too and the box counts as closed unanswered.
    int Show(const CString& text, const CString& caption, UINT type) override;
    // A box that is not modal and closes itself away; from a worker thread it is shown on the
    // GUI thread. The same notice while its box is still open raises that box.
    void Notify(const CString& text, const CString& caption, UINT icon) override;
};

class QtWaitCursorSink final : public WaitCursorSink {
public:
    void Show(bool busy) override;
};

}  // namespace platform
