#include "platform/safe_write.h"

#include "platform/app_folder.h"
#include "platform/ui_yield.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#else
#include <cstdio>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#endif

namespace miratos::platform {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString absoluteClean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool isWithin(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

QString systemReason(int cause, const QString& qtReason)
{
    if (cause != 0 && (qtReason.isEmpty() || qtReason == QStringLiteral("Unknown error")))
        return QString::fromLocal8Bit(std::strerror(cause));
    return qtReason;
}

Error cannotWrite(const QString& path, const QString& why)
{
    return Error{QStringLiteral("%1 に書き込めません: %2").arg(shown(path), why)};
}

struct Staged {
    QString target; // absolute, clean
    QString temp;
};

struct BatchState {
    std::vector<Staged> files;
    int depth = 0;
    int openedAtYield = 0; // event-loop depth of the outermost batch
};

BatchState& batch()
{
    thread_local BatchState state;
    return state;
}

// Writes bytes to a new file beside path; returns its name. A staged file (staged) is flushed
// with all the others of its batch when the batch is committed.
Result<QString> writeTemporary(const QString& path, const QByteArray& bytes, bool staged)
{
    const QFileInfo info(path);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        return cannotWrite(path, file.errorString());
    const QString temp = file.fileName();
    errno = 0;
    bool ok = file.write(bytes) == bytes.size() && file.flush();
#if defined(Q_OS_LINUX)
    // The data must be on disk before the rename makes it the file; its times need not be.
    ok = ok && (staged || ::fdatasync(file.handle()) == 0);
#elif !defined(Q_OS_WIN)
    ok = ok && ::fsync(file.handle()) == 0;
#endif
    (void)staged;
    const int cause = errno;
    const QString why = systemReason(cause, file.errorString());
    file.close();
    if (!ok) {
        QFile::remove(temp);
        return cannotWrite(path, why);
    }
    // The replacement keeps the permissions of the file it replaces; a new file is readable by all.
    const QFile::Permissions kept = info.exists() ? QFileInfo(info.canonicalFilePath()).permissions()
                                                  : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                                                        QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(temp, kept);
    return temp;
}

// rename(2) replaces the path itself: a link there is replaced, not followed.
Status moveOver(const QString& temp, const QString& target)
{
#ifdef Q_OS_WIN
    const bool ok = MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(temp).utf16()),
                                reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(target).utf16()),
                                MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok)
        return cannotWrite(target, QStringLiteral("置き換えに失敗しました"));
#else
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0)
        return cannotWrite(target, QString::fromLocal8Bit(std::strerror(errno)));
#endif
    return {};
}

// The file a write to a link outside the app folder means: the user chose that path, and saving
// there has always updated the file the link names.
QString userTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.symLinkTarget() : real;
}

// The data of every staged file must be on disk before the renames make them the files. One
// syncfs per file system costs what one fdatasync does, where a batch of an import holds
// hundreds of files (each fdatasync several milliseconds).
Status flushStaged(const std::vector<Staged>& files)
{
#if defined(Q_OS_LINUX)
    std::set<dev_t> done;
    for (const Staged& f : files) {
        const QByteArray temp = QFile::encodeName(f.temp);
        struct stat info {};
        if (::stat(temp.constData(), &info) != 0)
            return cannotWrite(f.target, QString::fromLocal8Bit(std::strerror(errno)));
        if (!done.insert(info.st_dev).second)
            continue;
        const int fd = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
        const bool ok = fd >= 0 && ::syncfs(fd) == 0;
        const int cause = errno;
        if (fd >= 0)
            ::close(fd);
        if (!ok)
            return cannotWrite(f.target, QString::fromLocal8Bit(std::strerror(cause)));
    }
#else
    (void)files;
#endif
    return {};
}

} // namespace

Status checkWriteTarget(const QString& path)
{
    const QString root = QDir::cleanPath(AppFolder::root());
    const QString target = absoluteClean(path);
    if (!isWithin(target, root) || target == root)
        return {};
    QString realRoot = QFileInfo(root).canonicalFilePath();
    if (realRoot.isEmpty())
        realRoot = root;
    QString current = root;
    for (const QString& part : target.mid(root.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        current += QLatin1Char('/') + part;
        const QFileInfo info(current);
        if (info.isSymLink()) {
            QString leadsTo = info.canonicalFilePath();
            if (leadsTo.isEmpty()) // a dangling link: where it would lead
                leadsTo = QDir::cleanPath(info.symLinkTarget());
            if (!isWithin(leadsTo, realRoot))
                return Error{QStringLiteral("%1 は app フォルダの外（%2）を指すリンクのため書き込みません").arg(shown(current), shown(leadsTo))};
        } else if (!info.exists()) {
            break; // the rest is still to be made, inside the folder checked so far
        }
    }
    return {};
}

Status makeFolder(const QString& folder)
{
    if (Status s = checkWriteTarget(folder); !s)
        return s;
    if (!QDir().mkpath(folder))
        return Error{QStringLiteral("%1: フォルダを作れません").arg(shown(folder))};
    return {};
}

Status replaceFile(const QString& path, const QByteArray& bytes)
{
    if (Status s = checkWriteTarget(path); !s)
        return s;
    const QString root = QDir::cleanPath(AppFolder::root());
    QString target = absoluteClean(path);
    if (!isWithin(target, root))
        target = absoluteClean(userTarget(target));
    if (QFileInfo(target).isDir())
        return cannotWrite(target, QStringLiteral("フォルダです"));
    BatchState& state = batch();
    // A write from an event served in the middle of a job is not part of that job.
    const bool staged = state.depth > 0 && state.openedAtYield == uiYieldDepth();
    auto temp = writeTemporary(target, bytes, staged);
    if (!temp)
        return Error{temp.error()};
    if (staged) {
        state.files.push_back({target, *temp});
        return {};
    }
    Status moved = moveOver(*temp, target);
    if (!moved)
        QFile::remove(*temp);
    return moved;
}

QStringList stagedFileNames(const QString& folder)
{
    const QString dir = absoluteClean(folder);
    QStringList names;
    for (const Staged& staged : batch().files) {
        const QFileInfo info(staged.target);
        if (info.absolutePath() == dir && !names.contains(info.fileName()))
            names << info.fileName();
    }
    return names;
}

std::optional<QByteArray> stagedContent(const QString& path)
{
    const QString target = absoluteClean(path);
    const auto& files = batch().files;
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        if (it->target != target)
            continue;
        QFile file(it->temp);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }
    return std::nullopt;
}

WriteBatch::WriteBatch()
{
    BatchState& state = batch();
    m_outer = state.depth == 0;
    if (m_outer)
        state.openedAtYield = uiYieldDepth();
    m_start = state.files.size();
    ++state.depth;
}

WriteBatch::~WriteBatch()
{
    BatchState& state = batch();
    --state.depth;
    if (m_done)
        return;
    for (size_t i = m_start; i < state.files.size(); ++i)
        QFile::remove(state.files[i].temp);
    state.files.resize(std::min(m_start, state.files.size()));
}

Status WriteBatch::commit()
{
    if (m_done)
        return {};
    m_done = true;
    if (!m_outer)
        return {};
    BatchState& state = batch();
    std::vector<Staged> files;
    files.swap(state.files);
    auto dropFrom = [&files](size_t first) {
        for (size_t i = first; i < files.size(); ++i)
            QFile::remove(files[i].temp);
    };
    // A link planted while the job ran is caught before anything is put in place.
    for (const Staged& f : files) {
        if (Status s = checkWriteTarget(f.target); !s) {
            dropFrom(0);
            return s;
        }
    }
    if (Status s = flushStaged(files); !s) {
        dropFrom(0);
        return s;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (Status s = moveOver(files[i].temp, files[i].target); !s) {
            dropFrom(i);
            return s;
        }
    }
    return {};
}

} // namespace miratos::platform
