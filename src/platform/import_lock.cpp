#include "platform/import_lock.h"

#include "platform/app_folder.h"
#include "platform/ui_yield.h"

#include <QDir>
#include <QLockFile>
#include <QTextStream>

namespace miratos::platform {
namespace {
int& heldOnThread()
{
    thread_local int held = 0;
    return held;
}

// The event-loop depth at which the lock was taken.
int& heldAtYield()
{
    thread_local int depth = 0;
    return depth;
}
} // namespace

ImportLock::ImportLock() = default;

ImportLock::~ImportLock()
{
    if (m_nested || (m_lock && m_lock->isLocked()))
        --heldOnThread();
}

QString ImportLock::path()
{
    return AppFolder::path(QStringLiteral("\\.miratos-import.lock"));
}

Status ImportLock::acquire()
{
    if (m_nested || (m_lock && m_lock->isLocked()))
        return {};
    // A job started from the event loop served in the middle of another job is a second job.
    if (heldOnThread() > 0 && heldAtYield() == uiYieldDepth()) {
        m_nested = true;
        ++heldOnThread();
        return {};
    }
    m_lock = std::make_unique<QLockFile>(path());
    // A long national import must not look abandoned: only a lock whose process is gone is stale.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const bool busy = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        if (busy)
            return Error{QStringLiteral("別の取込が実行中です（%1）").arg(QDir::toNativeSeparators(path()))};
        return Error{QStringLiteral("%1: 取込の鍵ファイルを作れません").arg(QDir::toNativeSeparators(path()))};
    }
    ++heldOnThread();
    heldAtYield() = uiYieldDepth();
    return {};
}

bool ImportLock::acquireOrSay(QTextStream& err, const char* prefix)
{
    const Status locked = acquire();
    if (!locked) {
        err << prefix << locked.error() << "\n";
        err.flush();
    }
    return locked.ok();
}

} // namespace miratos::platform
