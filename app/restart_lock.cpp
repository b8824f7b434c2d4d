#include "app/restart_lock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <algorithm>

#include "platform/qt_text.h"
#include "platform/quit_on_signal.h"

namespace app {

CString RestartLock::LockFilePath()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
    return platform::FromQString(folder + "/TSL-USB-KM3.restart.lock");
}

RestartLock::Result RestartLock::Acquire(bool restart, int waitMs)
{
    m_lock = std::make_unique<QLockFile>(platform::ToQString(LockFilePath()));
    // A lock whose process is gone is taken over at once; a live holder is never stale.
    m_lock->setStaleLockTime(0);
    if (!restart) return m_lock->tryLock(0) ? Result::Held : Result::NotHeld;
    // In short steps, so that SIGTERM ends the wait (the caller then ends too).
    constexpr int kStepMs = 100;
    QElapsedTimer waited;
    waited.start();
    do {
        if (m_lock->tryLock(std::clamp(waitMs - static_cast<int>(waited.elapsed()), 0, kStepMs))) return Result::Held;
    } while (waited.elapsed() < waitMs && !platform::TerminationRequested());
    return Result::PredecessorHangs;
}

}  // namespace app
