#pragma once
// The offscreen Qt application and the virtual-time message loop of a fuzz target that builds
// widgets, made once in LLVMFuzzerInitialize. Include it in the target's one source file: it
// also tells the leak check what is no leak of ours.
#include <QApplication>

#include "platform/message_loop.h"

namespace fuzz_support {

inline void StartOffscreenApplication(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt's clean-up at exit expects an orderly end that libFuzzer's exit
    // does not give.
    new QApplication(*argc, *argv);
    static platform::MessageLoop loop(platform::MessageLoop::Time::Virtual);
}

}  // namespace fuzz_support

// Fontconfig keeps what it learns of each font name (chart files and labels name any) until
// the process ends; the leak check would report the first use of every new name.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
