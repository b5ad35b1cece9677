#include "convert/road_converter.h"

#include "platform/import_lock.h"
#include "platform/cp932.h"

#include "store/road_files.h"
#include "platform/text_file.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <vector>

namespace miratos::convert {
namespace {

constexpr int kMaxReported = 200;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

QByteArrayView trimSpaces(QByteArrayView v)
{
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && v[b] == ' ')
        ++b;
    while (e > b && v[e - 1] == ' ')
        --e;
    return v.sliced(b, e - b);
}

// Bytes from (1-based) position from to position to, clipped to the line.
QByteArrayView bytesAt(QByteArrayView line, qsizetype from, qsizetype to)
{
    const qsizetype b = std::min(from - 1, line.size());
    const qsizetype e = std::min(to, line.size());
    return e > b ? line.sliced(b, e - b) : QByteArrayView();
}

Result<QByteArray> readSource(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return Error{QStringLiteral("%1 がありません").arg(shown(path))};
    return platform::readFileBytes(path);
}

class Problems {
public:
    explicit Problems(const QString& path) : m_name(QFileInfo(path).fileName()) {}
    void add(qsizetype line, const QString& what)
    {
        ++m_count;
        if (m_list.size() < kMaxReported)
            m_list << QStringLiteral("%1 %2 行目: %3").arg(m_name).arg(line).arg(what);
    }
    QStringList take()
    {
        if (m_count > m_list.size())
            m_list << QStringLiteral("ほか %1 件").arg(m_count - m_list.size());
        return m_list;
    }

private:
    QString m_name;
    QStringList m_list;
    qsizetype m_count = 0;
};

void tick(const RoadProgress& progress, qsizetype k)
{
    if (k % 1000 == 0 && progress.counter)
        progress.counter(k);
    if (k % 4096 == 0 && progress.yield)
        progress.yield();
}

Status writeInto(const QString& folder, const char16_t* name, const QByteArray& bytes)
{
    if (!QFileInfo(folder).isDir())
        return Error{QStringLiteral("%1: フォルダがありません").arg(shown(folder))};
    return platform::writeFileAtomically(QDir(folder).filePath(QString::fromUtf16(name)), bytes);
}

} // namespace

float degreesFromTenths(qint64 tenths)
{
    const qint64 t = tenths % 10;
    const qint64 s = tenths / 10;
    const qint64 d = s / 3600;
    const qint64 m = (s % 3600) / 60;
    // Whole seconds and the tenth joined before dividing, so 32.3 is exactly the nearest double.
    const double sec = static_cast<double>(((s % 3600) % 60) * 10 + t) / 10.0;
    return static_cast<float>(sec / 3600.0 + (static_cast<double>(m) / 60.0 + static_cast<double>(d)));
}

bool isTxtPath(const QString& path)
{
    return path.endsWith(QLatin1String("txt"));
}

Result<RoadConversion> buildRoadFile(const QString& sourcePath, const RoadProgress& progress)
{
    auto source = readSource(sourcePath);
    if (!source)
        return Error{source.error()};
    const std::vector<QByteArrayView> lines = platform::splitByteLines(*source);
    RoadConversion conversion;
    conversion.sourceLines = static_cast<qint64>(lines.size());
    if (progress.total)
        progress.total(conversion.sourceLines);
    size_t f = 0;
    while (f < lines.size() && !lines[f].startsWith('L'))
        ++f;
    if (f == lines.size())
        return Error{QStringLiteral("%1: 道路の行（先頭が「L」の行）がありません").arg(shown(sourcePath))};

    Problems problems(sourcePath);
    QByteArray& out = conversion.bytes;
    out.reserve(source->size() + source->size() / 4);
    std::vector<qint64> values;
    for (size_t k = f; k < lines.size(); ++k) {
        tick(progress, static_cast<qsizetype>(k));
        const QByteArrayView line = lines[k];
        const auto lineNo = static_cast<qsizetype>(k + 1);
        if (line.startsWith('L')) {
            if (k != f)
                out += "\r\n";
            ++conversion.records;
            const char flag = line.size() >= 35 ? line[34] : '\0';
            if (flag < '0' || flag > '9') {
                problems.add(lineNo, QStringLiteral("35 桁目が数字ではありません（路線番号なしとしました）"));
                store::appendRoadKey(out, false, {});
                continue;
            }
            const QByteArrayView route = trimSpaces(bytesAt(line, 36, 45));
            // "@" would split the key from the points; a CR would end the line when Road.dat is
            // read back (a file of one road has no LF).
            if (flag == '1' && (route.contains('@') || route.contains('\r'))) {
                problems.add(lineNo, route.contains('@') ? QStringLiteral("路線番号に「@」があります（路線番号なしとしました）")
                                                         : QStringLiteral("路線番号に改行文字（CR）があります（路線番号なしとしました）"));
                store::appendRoadKey(out, false, {});
                continue;
            }
            // Bytes that are not CP932 become 〓: a stray lead byte would swallow the "@" after it.
            store::appendRoadKey(out, flag == '1', platform::cleanCp932(route));
            continue;
        }
        // A coordinate line: whole numbers, each a tenth of a second of arc.
        values.clear();
        const char* p = line.data();
        const char* const end = p + line.size();
        bool bad = false;
        while (p < end) {
            while (p < end && *p == ' ')
                ++p;
            if (p >= end)
                break;
            qint64 v = 0;
            const auto [ptr, ec] = std::from_chars(p, end, v);
            if (ec != std::errc() || ptr == p || (ptr < end && *ptr != ' ') || v < 0) {
                bad = true;
                break;
            }
            values.push_back(v);
            p = ptr;
        }
        if (bad) {
            problems.add(lineNo, QStringLiteral("座標が整数ではありません（この行を飛ばしました）"));
            continue;
        }
        for (qint64 v : values)
            store::appendRoadValue(out, degreesFromTenths(v));
    }
    if (progress.counter)
        progress.counter(conversion.sourceLines);
    conversion.problems = problems.take();
    return conversion;
}

Result<RoadConversion> buildRoadNameFile(const QString& sourcePath, const RoadProgress& progress)
{
    auto source = readSource(sourcePath);
    if (!source)
        return Error{source.error()};
    const std::vector<QByteArrayView> lines = platform::splitByteLines(*source);
    RoadConversion conversion;
    conversion.sourceLines = static_cast<qint64>(lines.size());
    if (progress.total)
        progress.total(conversion.sourceLines);
    Problems problems(sourcePath);
    QByteArray& out = conversion.bytes;
    out.reserve(source->size());
    for (size_t k = 2; k < lines.size(); ++k) {
        tick(progress, static_cast<qsizetype>(k));
        const QByteArrayView line = lines[k];
        const auto lineNo = static_cast<qsizetype>(k + 1);
        if (trimSpaces(line).isEmpty())
            continue;
        // Field borders after bytes 3, 13, 16, 18, 42 and 64. A double-byte character that
        // starts just before a border stays whole in its field: the border moves one byte on.
        qsizetype cuts[] = {3, 13, 16, 18, 42, 64};
        bool hasAt[7] = {};
        int field = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            while (field < 6 && i >= cuts[field])
                ++field;
            const auto c = static_cast<unsigned char>(line[i]);
            if (c == '@')
                hasAt[field] = true;
            if (isLeadByte(c) && i + 1 < line.size()) {
                for (int j = field; j < 6; ++j) {
                    if (cuts[j] == i + 1) {
                        cuts[j] = i + 2;
                        problems.add(lineNo, QStringLiteral("全角文字が %1/%2 バイト目にまたがっています（前の欄に入れました）")
                                                 .arg(i + 1)
                                                 .arg(i + 2));
                    }
                }
                ++i;
            }
        }
        // A field's bytes that are not CP932 become 〓 (a lead byte left at the end of a field by the
        // trimming would otherwise swallow the "@" after it and shift the fields of RoadName.dat).
        auto part = [&line, &cuts](int from, int to) {
            const qsizetype b = std::min(cuts[from], line.size());
            const qsizetype e = to < 6 ? std::min(cuts[to], line.size()) : line.size();
            return platform::cleanCp932(trimSpaces(e > b ? line.sliced(b, e - b) : QByteArrayView()));
        };
        const QByteArray route = part(0, 1);
        if (route.isEmpty()) {
            problems.add(lineNo, QStringLiteral("路線番号がありません（この行を飛ばしました）"));
            continue;
        }
        if (hasAt[1] || hasAt[3] || hasAt[4] || hasAt[5] || hasAt[6]) {
            problems.add(lineNo, QStringLiteral("「@」を含む欄があります（この行を飛ばしました）"));
            continue;
        }
        out += 'R';
        out += route;
        out += '@';
        out += part(2, 3);
        out += '@';
        out += part(3, 4);
        out += '@';
        out += part(4, 5);
        out += '@';
        out += part(5, 6);
        out += "\r\n";
        ++conversion.records;
    }
    if (progress.counter)
        progress.counter(conversion.sourceLines);
    conversion.problems = problems.take();
    return conversion;
}

Result<RoadConversion> 道路(const QString& sourcePath, const QString& prefFolder, const RoadProgress& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    if (!QFileInfo(prefFolder).isDir())
        return Error{QStringLiteral("%1: フォルダがありません").arg(shown(prefFolder))};
    auto conversion = buildRoadFile(sourcePath, progress);
    if (!conversion)
        return conversion;
    if (conversion->records == 0)
        return Error{QStringLiteral("%1: 道路が 1 つもありません").arg(shown(sourcePath))};
    if (Status s = writeInto(prefFolder, store::kRoadFile, conversion->bytes); !s)
        return Error{s.error()};
    return conversion;
}

Result<RoadConversion> 道路名(const QString& sourcePath, const QString& mapData, const RoadProgress& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    if (!QFileInfo(mapData).isDir())
        return Error{QStringLiteral("%1: フォルダがありません").arg(shown(mapData))};
    auto conversion = buildRoadNameFile(sourcePath, progress);
    if (!conversion)
        return conversion;
    if (conversion->records == 0)
        return Error{QStringLiteral("%1: 道路名が 1 つもありません").arg(shown(sourcePath))};
    if (Status s = writeInto(mapData, store::kRoadNameFile, conversion->bytes); !s)
        return Error{s.error()};
    return conversion;
}

} // namespace miratos::convert
