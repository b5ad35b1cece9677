#include "store/railway_files.h"

#include "platform/cp932.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>

namespace miratos::store {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Reads one file as lines; a missing or unreadable file is one problem line and no lines.
QStringList linesOf(const QString& folder, const QString& name, QStringList& problems, const std::function<void()>& yield)
{
    const QString path = QDir(folder).filePath(name);
    if (!QFileInfo::exists(path)) {
        problems << QStringLiteral("%1 がありません").arg(shown(path));
        return {};
    }
    auto lines = platform::readTextLines(path);
    if (!lines) {
        problems << lines.error();
        return {};
    }
    if (yield) {
        // The window is served while the lines are taken over (the yield itself is timed).
        for (qsizetype i = 0; i < lines->size(); i += 1000)
            yield();
    }
    return std::move(*lines);
}

template <size_t N>
Status encodeRecords(const char16_t* file, const std::vector<std::array<QString, N>>& rows, QByteArray& out)
{
    QString text;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const QString& value : rows[r]) {
            if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
                return Error{QStringLiteral("%1: %2 番目のレコードの値が改行を含んでいます").arg(QString::fromUtf16(file)).arg(r + 1)};
            text += value;
            text += QLatin1String("\r\n");
        }
    }
    auto bytes = platform::toCp932(text);
    if (!bytes)
        return Error{QStringLiteral("%1: %2").arg(QString::fromUtf16(file), bytes.error())};
    out = std::move(*bytes);
    return {};
}

} // namespace

QString railwayFolder(const QString& mapData)
{
    return QDir(mapData).filePath(QString::fromUtf16(kRailwayFolder));
}

RailwayRead readRailwayFiles(const QString& folder, const std::function<void()>& yield)
{
    RailwayRead read;
    if (!QFileInfo::exists(QDir(folder).filePath(QString::fromUtf16(kLineRrFile))))
        return read;
    read.present = true;
    auto& t = read.tables;
    t.railCurves = groupRecords<2>(linesOf(folder, QString::fromUtf16(kLineRrFile), read.problems, yield));
    t.stationCurves = groupRecords<2>(linesOf(folder, QString::fromUtf16(kLineStFile), read.problems, yield));
    t.sections = groupRecords<6>(linesOf(folder, QString::fromUtf16(kRosenFile), read.problems, yield));
    t.stations = groupRecords<3>(linesOf(folder, QString::fromUtf16(kEkiFile), read.problems, yield));
    return read;
}

Result<RailwayFileBytes> encodeRailwayFiles(const RailwayTables& tables)
{
    RailwayFileBytes files;
    if (Status s = encodeRecords(kRosenFile, tables.sections, files.rosen); !s)
        return Error{s.error()};
    if (Status s = encodeRecords(kEkiFile, tables.stations, files.eki); !s)
        return Error{s.error()};
    if (Status s = encodeRecords(kLineRrFile, tables.railCurves, files.lineRr); !s)
        return Error{s.error()};
    if (Status s = encodeRecords(kLineStFile, tables.stationCurves, files.lineSt); !s)
        return Error{s.error()};
    return files;
}

Status writeRailwayFiles(const QString& folder, const RailwayFileBytes& files)
{
    if (!QFileInfo(folder).isDir())
        return Error{QStringLiteral("%1: フォルダがありません").arg(shown(folder))};
    const std::pair<const char16_t*, const QByteArray*> order[] = {
        {kRosenFile, &files.rosen}, {kEkiFile, &files.eki}, {kLineRrFile, &files.lineRr}, {kLineStFile, &files.lineSt}};
    for (const auto& [name, bytes] : order) {
        if (Status s = platform::writeFileAtomically(QDir(folder).filePath(QString::fromUtf16(name)), *bytes); !s)
            return s;
    }
    return {};
}

} // namespace miratos::store
