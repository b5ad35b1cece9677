#include "platform/ini_file.h"

#include "platform/cp932.h"
#include "platform/text_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <memory>
#include <optional>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace miratos::platform {
namespace {

const QString kMissing = QStringLiteral("ERROR");

QString stripQuotes(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// The profile reader's buffer holds 254 bytes and a NUL; a double-byte character that would be
// split is left out whole.
QString cutTo254Bytes(const QString& value)
{
    auto bytes = toCp932(value);
    if (!bytes || bytes->size() <= 254)
        return value;
    QString cut;
    qsizetype used = 0;
    for (qsizetype i = 0; i < value.size();) {
        const qsizetype len = value.at(i).isHighSurrogate() ? 2 : 1;
        auto one = toCp932(value.mid(i, len));
        const qsizetype size = one ? one->size() : 2;
        if (used + size > 254)
            break;
        cut += value.mid(i, len);
        used += size;
        i += len;
    }
    return cut;
}

// The values of one file: section -> key -> value, names in lower case; the first of equal
// keys counts, as in a top-down search.
using IniValues = QHash<QString, QHash<QString, QString>>;

IniValues parseIni(const QStringList& lines)
{
    IniValues values;
    QHash<QString, QString>* section = nullptr;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = &values[line.mid(1, close < 0 ? -1 : close - 1).trimmed().toLower()];
            continue;
        }
        if (!section || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        if (!section->contains(key))
            section->insert(key, cutTo254Bytes(stripQuotes(line.mid(eq + 1).trimmed())));
    }
    return values;
}

// What tells that a file changed since it was read: an edit changes its time or size, a
// replacement through a new file its inode.
struct Stamp {
    qint64 size = -1, seconds = 0, nanoseconds = 0, inode = 0, changed = 0;
    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stampOf(const QString& file)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return std::nullopt;
    return Stamp{qint64(st.st_size), qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_ino), qint64(st.st_ctim.tv_sec) * 1000000000 + qint64(st.st_ctim.tv_nsec)};
#else
    const QFileInfo info(file);
    if (!info.exists())
        return std::nullopt;
    const qint64 ms = info.lastModified().toMSecsSinceEpoch();
    return Stamp{info.size(), ms / 1000, ms % 1000 * 1000000, 0, info.metadataChangeTime().toMSecsSinceEpoch()};
#endif
}

struct CachedIni {
    Stamp stamp;
    bool settled = false;            // the file was older than a few seconds when it was read
    std::optional<IniValues> values; // nullopt: the file could not be read
};

// A file written within the clock's last ticks may be written again with the same size and
// time: such a file is read again until it has settled.
bool isSettled(const Stamp& stamp)
{
    return stamp.seconds + 2 < QDateTime::currentSecsSinceEpoch();
}

// Each file is read once and again only when its stamp changes: a run that looks up a hundred
// thousand codes no longer reads Init.ini a hundred thousand times.
std::shared_ptr<const CachedIni> cachedIni(const QString& file)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const CachedIni>> cache;
    const std::optional<Stamp> stamp = stampOf(file);
    if (!stamp)
        return nullptr;
    {
        QMutexLocker lock(&mutex);
        const auto found = cache.constFind(file);
        if (found != cache.constEnd() && (*found)->settled && (*found)->stamp == *stamp)
            return *found;
    }
    auto entry = std::make_shared<CachedIni>();
    entry->stamp = *stamp;
    entry->settled = isSettled(*stamp);
    if (auto lines = readTextLines(file))
        entry->values = parseIni(*lines);
    QMutexLocker lock(&mutex);
    cache.insert(file, entry);
    return entry;
}

} // namespace

QString GetINIValue(const QString& key, const QString& section, const QString& file)
{
    const auto ini = cachedIni(file);
    if (!ini || !ini->values)
        return kMissing;
    const auto foundSection = ini->values->constFind(section.trimmed().toLower());
    if (foundSection == ini->values->constEnd())
        return kMissing;
    return foundSection->value(key.trimmed().toLower(), kMissing);
}

} // namespace miratos::platform
