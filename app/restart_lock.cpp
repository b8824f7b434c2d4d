#include "app/restart_lock.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/qt_text.h"

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
    if (m_lock->tryLock(restart ? waitMs : 0)) return Result::Held;
    return restart ? Result::PredecessorHangs : Result::NotHeld;
}

}  // namespace app
