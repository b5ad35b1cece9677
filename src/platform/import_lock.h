#pragma once
// Imports and converters hold a lock file in the app folder for their whole run, so two of them
// never write into one app folder at the same time.
#include "platform/result.h"

#include <QString>
#include <memory>

class QLockFile;
class QTextStream;

namespace miratos::platform {

class ImportLock {
public:
    ImportLock();
    ~ImportLock();
    ImportLock(const ImportLock&) = delete;
    ImportLock& operator=(const ImportLock&) = delete;

    // Takes the lock without waiting. Fails with "別の取込が実行中です（lock file）" while another
    // process (or another lock in this one) holds it. A lock already held by this object, or by
    // an ImportLock of an enclosing job on this thread, is not taken twice.
    Status acquire();

    // For a command: takes the lock, or writes prefix + the reason as one line to err and fails.
    bool acquireOrSay(QTextStream& err, const char* prefix);

    // <app>/.miratos-import.lock
    static QString path();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_nested = false;
};

} // namespace miratos::platform
