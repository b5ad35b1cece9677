#include "platform/read_limits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <exception>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace miratos::platform {
namespace {

constexpr qint64 kMB = 1024 * 1024;

struct KindLimit {
    QLatin1StringView pattern; // file name, or "*.suffix"; compared without regard to case
    qint64 bytes;
};

// First match wins. Settings files are small; statistic, facility and small-area tables
// and workbooks stay well under 256 MB even for the whole country; MapData geometry of all
// municipalities at full resolution stays under 512 MB; downloads (GeoJSON, TopoJSON, XML,
// shapefiles) of the whole country under 2 GB.
const KindLimit kLimits[] = {
    {QLatin1StringView("*.ini"), 4 * kMB},
    {QLatin1StringView("*.miratos"), 4 * kMB}, // saved maps: a few hundred lines
    {QLatin1StringView("*.csv"), 256 * kMB},
    {QLatin1StringView("*.txt"), 256 * kMB},
    {QLatin1StringView("*.xls"), 256 * kMB},
    {QLatin1StringView("*.xlsx"), 256 * kMB},
    {QLatin1StringView("*.dat"), 512 * kMB},
};
constexpr qint64 kOtherLimit = 2048 * kMB;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Error notRegular(const QString& path)
{
    return Error{QStringLiteral("%1 は通常のファイルではないため読みません").arg(shown(path))};
}

Error tooLarge(const QString& path, qint64 size, qint64 limit)
{
    return Error{QStringLiteral("%1 は %2 あり、この種類の上限 %3 を超えるため読みません").arg(shown(path), sizeText(size), sizeText(limit))};
}

Error unreadable(const QString& path, const QString& why)
{
    return Error{QStringLiteral("%1 を読めません: %2").arg(shown(path), why)};
}

thread_local QString t_fileBeingRead;
thread_local QString t_lastFileRead; // when no reader named its file: the last one read whole

} // namespace

qint64 readLimitFor(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    for (const KindLimit& kind : kLimits) {
        const bool matches = kind.pattern.startsWith(u'*')
            ? name.endsWith(kind.pattern.sliced(1), Qt::CaseInsensitive)
            : name.compare(kind.pattern, Qt::CaseInsensitive) == 0;
        if (matches)
            return kind.bytes;
    }
    return kOtherLimit;
}

QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * kMB)
        return QStringLiteral("%1 GB").arg(double(bytes) / double(1024 * kMB), 0, 'f', 1);
    if (bytes >= kMB)
        return QStringLiteral("%1 MB").arg((bytes + kMB / 2) / kMB);
    if (bytes >= 1024)
        return QStringLiteral("%1 KB").arg((bytes + 512) / 1024);
    return QStringLiteral("%1 バイト").arg(bytes);
}

Status checkReadable(const QString& path, qint64 limit)
{
    if (limit < 0)
        limit = readLimitFor(path);
    const QFileInfo info(path); // follows links: the target is what would be read
    if (!info.exists())
        return {}; // the open that follows names the reason
    if (!info.isFile())
        return notRegular(path);
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return notRegular(path); // QFileInfo::isFile() is true for FIFOs and devices too
#endif
    if (info.size() > limit)
        return tooLarge(path, info.size(), limit);
    return {};
}

Status openForReading(QFile& file, const QString& path, qint64 limit)
{
    if (limit < 0)
        limit = readLimitFor(path);
#ifdef Q_OS_UNIX
    // O_NONBLOCK: opening a FIFO with no writer returns at once; fstat then looks at what was
    // really opened, so nothing can be swapped in between a check and the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return unreadable(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular(path);
    }
    if (st.st_size > limit) {
        ::close(fd);
        return tooLarge(path, st.st_size, limit);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unreadable(path, file.errorString());
    }
    return {};
#else
    if (Status s = checkReadable(path, limit); !s)
        return s;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, file.errorString());
    return {};
#endif
}

Result<QByteArray> readCheckedFile(const QString& path, qint64 limit)
{
    QFile file;
    if (Status s = openForReading(file, path, limit); !s)
        return Error{s.error()};
    ReadingFile reading(path);
    t_lastFileRead = path;
    return file.readAll();
}

ReadingFile::ReadingFile(const QString& path)
    : m_previous(t_fileBeingRead), m_exceptions(std::uncaught_exceptions())
{
    t_fileBeingRead = path;
}

ReadingFile::~ReadingFile()
{
    if (std::uncaught_exceptions() == m_exceptions)
        t_fileBeingRead = m_previous;
}

QString takeFileBeingRead()
{
    QString file = std::exchange(t_fileBeingRead, QString());
    QString last = std::exchange(t_lastFileRead, QString());
    return file.isEmpty() ? last : file;
}

QString outOfMemoryMessage()
{
    const QString file = takeFileBeingRead();
    if (file.isEmpty())
        return QStringLiteral("メモリが足りません");
    return QStringLiteral("メモリが足りません（%1）").arg(shown(file));
}

} // namespace miratos::platform
