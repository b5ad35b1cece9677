#include "store/railway_files.h"

#include "platform/cp932.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace miratos::store {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

const char16_t* const kSetFiles[] = {kRosenFile, kEkiFile, kLineRrFile, kLineStFile};

// One line of the set file: name, size and digest of the file's first and last 64 KiB. Size and
// both ends tell two imports apart; hashing the whole of a national Line_rr.dat at every load
// would cost a map's redraw time.
QByteArray stampOf(const char16_t* name, const QByteArray& bytes)
{
    constexpr qsizetype kEnd = 64 * 1024;
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (bytes.size() <= 2 * kEnd) {
        hash.addData(bytes);
    } else {
        hash.addData(QByteArrayView(bytes).first(kEnd));
        hash.addData(QByteArrayView(bytes).last(kEnd));
    }
    return QString::fromUtf16(name).toLatin1() + ' ' + QByteArray::number(bytes.size()) + ' ' + hash.result().toHex() + "\r\n";
}

// Reads one file; a missing or unreadable file is one problem line and no bytes.
std::optional<QByteArray> bytesOf(const QString& folder, const char16_t* name, QStringList& problems)
{
    const QString path = QDir(folder).filePath(QString::fromUtf16(name));
    if (!QFileInfo::exists(path)) {
        problems << QStringLiteral("%1 がありません").arg(shown(path));
        return std::nullopt;
    }
    auto bytes = platform::readFileBytes(path);
    if (!bytes) {
        problems << bytes.error();
        return std::nullopt;
    }
    return std::move(*bytes);
}

// The lines of bytes read from path (as readTextLines decodes them).
QStringList linesOf(const QString& path, const std::optional<QByteArray>& bytes, QStringList& problems,
                    const std::function<void()>& yield)
{
    if (!bytes)
        return {};
    if (platform::isUtf16(*bytes)) {
        problems << platform::utf16Refusal(path);
        return {};
    }
    auto lines = platform::splitLines(platform::decodeText(*bytes, platform::detectEncoding(*bytes)));
    if (yield) {
        // The window is served while the lines are taken over (the yield itself is timed).
        for (qsizetype i = 0; i < lines.size(); i += 1000)
            yield();
    }
    return lines;
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
    std::optional<QByteArray> bytes[4];
    for (int i : {2, 3, 0, 1}) // curves first, as the problems have always been listed
        bytes[i] = bytesOf(folder, kSetFiles[i], read.problems);
    // The set file is compared with the very bytes read, so that files swapped by an import
    // running meanwhile are caught whichever of them were read before or after it.
    const QString setPath = QDir(folder).filePath(QString::fromUtf16(kRailwaySetFile));
    if (QFileInfo::exists(setPath)) {
        QByteArray expected;
        for (int i = 0; i < 4; ++i)
            expected += stampOf(kSetFiles[i], bytes[i].value_or(QByteArray()));
        auto set = platform::readFileBytes(setPath);
        if (!set || *set != expected) {
            read.problems << QStringLiteral("%1: 鉄道の 4 ファイルが同じ取込のものではありません（取込の途中か、取込が中断されました）。取り込み直してください")
                                 .arg(shown(setPath));
            return read;
        }
    }
    auto& t = read.tables;
    auto path = [&](const char16_t* name) { return QDir(folder).filePath(QString::fromUtf16(name)); };
    t.railCurves = groupRecords<2>(linesOf(path(kLineRrFile), bytes[2], read.problems, yield));
    t.stationCurves = groupRecords<2>(linesOf(path(kLineStFile), bytes[3], read.problems, yield));
    t.sections = groupRecords<6>(linesOf(path(kRosenFile), bytes[0], read.problems, yield));
    t.stations = groupRecords<3>(linesOf(path(kEkiFile), bytes[1], read.problems, yield));
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
    QByteArray set;
    for (const auto& [name, bytes] : order)
        set += stampOf(name, *bytes);
    // The set file goes in place first: while the four files follow, readers see that they do
    // not match it yet.
    platform::WriteBatch batch;
    if (Status s = platform::writeFileAtomically(QDir(folder).filePath(QString::fromUtf16(kRailwaySetFile)), set); !s)
        return s;
    for (const auto& [name, bytes] : order) {
        if (Status s = platform::writeFileAtomically(QDir(folder).filePath(QString::fromUtf16(name)), *bytes); !s)
            return s;
    }
    return batch.commit();
}

} // namespace miratos::store
