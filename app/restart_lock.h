#pragma once
// The lock that every running instance holds. "--Restart" makes a new instance wait until its
// predecessor has ended; the lock goes with the process that held it, however it ended. A
// predecessor that hangs is waited for only so long.

#include <QLockFile>

#include <memory>

#include "platform/cstring.h"

namespace app {

class RestartLock {
public:
    enum class Result { Held, NotHeld, PredecessorHangs };

    // The lock file (in $XDG_RUNTIME_DIR, else the temporary folder).
    static CString LockFilePath();

    // A restarted instance waits up to waitMs for the lock; any other instance takes it when
    // it is free and runs without it when it is not (a second instance is allowed). SIGTERM
    // ends the wait early.
    Result Acquire(bool restart, int waitMs);

private:
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace app
