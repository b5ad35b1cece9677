#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace miratos::fuzz {

const QString& scratchFolder()
{
    // /dev/shm keeps the many small writes of a fuzz run off the disk where it exists.
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
        return std::make_unique<QTemporaryDir>(base + QStringLiteral("/miratos-fuzz-XXXXXX"));
    }();
    static const QString path = dir->path();
    return path;
}

QString writeScratch(const QString& name, QByteArrayView bytes)
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(__FILE__, __LINE__, "scratch file cannot be written", path);
    file.write(bytes.data(), bytes.size());
    return path;
}

QByteArray readScratch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString freshFolder(const QString& name)
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

std::vector<QByteArray> splitInput(QByteArrayView input, int parts)
{
    std::vector<QByteArray> out;
    qsizetype start = 0;
    while (static_cast<int>(out.size()) + 1 < parts) {
        qsizetype at = input.indexOf(QByteArrayView("\n===="), start);
        if (at < 0)
            break;
        out.emplace_back(input.sliced(start, at - start).toByteArray());
        start = at + 5;
        if (start < input.size() && input[start] == '\r')
            ++start;
        if (start < input.size() && input[start] == '\n')
            ++start;
    }
    out.emplace_back(input.sliced(start).toByteArray());
    while (static_cast<int>(out.size()) < parts)
        out.emplace_back();
    return out;
}

void fail(const char* file, int line, const char* what, const QString& detail)
{
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n%s\n", file, line, what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace miratos::fuzz
