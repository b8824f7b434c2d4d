#pragma once
// A page that records what its controls tell it: notifications (OnCommand) and sent messages.

#include <tuple>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/message_loop.h"

namespace controls_test {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

class RecordingPage : public CDialog {
public:
    RecordingPage() : CDialog(100) { resize(400, 300); }

    std::vector<std::pair<int, UINT>> notes;
    std::vector<Message> messages;

protected:
    void OnCommand(int id, UINT code) override { notes.emplace_back(id, code); }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
};

}  // namespace controls_test
