#include "imports/maps_reader.h"

#include "platform/read_limits.h"
#include "state/prefectures.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <optional>

namespace miratos::imports {
namespace {

// Layout of the files. The .L file starts with the coordinate type and the line count, then one
// header per line (offset of its points, point count, left and right polygon, padding, extent),
// then the points as float pairs. The .G file starts with the polygon count, then one header per
// polygon (offset of its line numbers, line count, extent), then signed 1-based line numbers.
// Numbers are in the byte order of the machine that built the database.
constexpr qint64 kLineFileHeader = 8;
constexpr qint64 kLineHeader = 28;
constexpr qint64 kPointSize = 8;
constexpr qint64 kPolygonFileHeader = 2;
constexpr qint64 kPolygonHeader = 24;
constexpr qint64 kLineNumberSize = 4;

// Coordinate types: planar values are taken as they are, spherical ones are stored in radians.
constexpr qint32 kPlanar = 1;
constexpr qint32 kSpherical = 2;

enum class ByteOrder { Little, Big };

// Fixed-size fields of a file held in memory. Reading outside the file yields 0; the readers
// check every range before they rely on it.
class Fields {
public:
    Fields(const QByteArray& bytes, ByteOrder order) : m_bytes(bytes), m_order(order) {}

    qint64 size() const { return m_bytes.size(); }
    bool fits(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    quint16 u16(qint64 offset) const
    {
        if (!fits(offset, 2))
            return 0;
        const char* p = m_bytes.constData() + offset;
        return m_order == ByteOrder::Little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    }
    quint32 u32(qint64 offset) const
    {
        if (!fits(offset, 4))
            return 0;
        const char* p = m_bytes.constData() + offset;
        return m_order == ByteOrder::Little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    }
    qint32 i32(qint64 offset) const { return static_cast<qint32>(u32(offset)); }
    float f32(qint64 offset) const { return std::bit_cast<float>(u32(offset)); }

private:
    const QByteArray& m_bytes;
    ByteOrder m_order;
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Error corrupt(const QString& path, const QString& what)
{
    return Error{QStringLiteral("%1 が途中で切れているか壊れています（%2）").arg(shown(path), what)};
}

QString basePathOf(const QString& path)
{
    for (const char* suffix : {".L", ".G", ".N"}) {
        if (path.endsWith(QLatin1String(suffix)))
            return path.chopped(2);
    }
    return path;
}

std::optional<ByteOrder> lineFileOrder(const QByteArray& bytes)
{
    for (const ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        const qint32 type = Fields(bytes, order).i32(0);
        if (type == kPlanar || type == kSpherical)
            return order;
    }
    return std::nullopt;
}

struct LineFile {
    ByteOrder order = ByteOrder::Little;
    QVector<TopoLine> lines;
};

// Float precision is about 1e-5 degrees; rounding to 1e-6 keeps every real digit and keeps the
// written coordinate lists short. Shared end points stay identical because equal input rounds
// equally.
double toDegrees(float value, double scale)
{
    return std::round(static_cast<double>(value) * scale * 1e6) / 1e6;
}

Result<LineFile> readLineFile(const QString& path)
{
    auto bytes = platform::readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    if (bytes->size() < kLineFileHeader)
        return corrupt(path, QStringLiteral("先頭の見出しが足りません"));
    const auto order = lineFileOrder(*bytes);
    if (!order) {
        return Error{QStringLiteral("%1 は地図データベースの線ファイルではありません（座標の種類 %2 が不明です）")
                         .arg(shown(path))
                         .arg(Fields(*bytes, ByteOrder::Little).i32(0))};
    }
    const Fields f(*bytes, *order);
    const double scale = f.i32(0) == kSpherical ? 180.0 / std::numbers::pi : 1.0;
    const qint64 count = f.i32(4);
    if (count < 0 || !f.fits(kLineFileHeader, count * kLineHeader))
        return corrupt(path, QStringLiteral("線の見出し %1 個が収まりません").arg(count));

    LineFile out{*order, {}};
    out.lines.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 header = kLineFileHeader + i * kLineHeader;
        const qint64 offset = f.i32(header);
        const qint64 pairs = f.u16(header + 4);
        if (!f.fits(offset, pairs * kPointSize))
            return corrupt(path, QStringLiteral("線 %1 の座標がファイルの外にあります").arg(i + 1));
        TopoLine line;
        line.points.reserve(pairs);
        for (qint64 k = 0; k < pairs; ++k) {
            const float x = f.f32(offset + k * kPointSize);
            const float y = f.f32(offset + k * kPointSize + 4);
            if (!std::isfinite(x) || !std::isfinite(y))
                return corrupt(path, QStringLiteral("線 %1 に数でない座標があります").arg(i + 1));
            line.points.append(QPointF(toDegrees(x, scale), toDegrees(y, scale)));
        }
        out.lines.append(std::move(line));
    }
    return out;
}

// The polygon headers fit, and the first polygon's line numbers start after them.
bool polygonHeadersFit(const Fields& f)
{
    if (!f.fits(0, kPolygonFileHeader))
        return false;
    const qint64 count = f.u16(0);
    const qint64 end = kPolygonFileHeader + count * kPolygonHeader;
    if (!f.fits(0, end))
        return false;
    const qint64 first = f.i32(kPolygonFileHeader);
    return count == 0 || (first >= end && f.fits(first, 0));
}

Result<QVector<TopoPolygon>> readPolygonFile(const QString& path, ByteOrder lineOrder, qint64 lineCount)
{
    auto bytes = platform::readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    const ByteOrder other = lineOrder == ByteOrder::Little ? ByteOrder::Big : ByteOrder::Little;
    std::optional<ByteOrder> order;
    for (const ByteOrder candidate : {lineOrder, other}) {
        if (!order && polygonHeadersFit(Fields(*bytes, candidate)))
            order = candidate;
    }
    if (!order)
        return corrupt(path, QStringLiteral("多角形の見出しが収まりません"));

    const Fields f(*bytes, *order);
    const qint64 count = f.u16(0);
    QVector<TopoPolygon> polygons;
    polygons.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 header = kPolygonFileHeader + i * kPolygonHeader;
        const qint64 offset = f.i32(header);
        const qint64 refs = f.i32(header + 4);
        if (refs <= 0 || !f.fits(offset, refs * kLineNumberSize))
            return corrupt(path, QStringLiteral("多角形 %1 の線番号がファイルの外にあります").arg(i + 1));
        TopoRing ring;
        ring.reserve(refs);
        for (qint64 k = 0; k < refs; ++k) {
            const qint64 number = f.i32(offset + k * kLineNumberSize);
            const qint64 line = std::abs(number);
            if (line == 0 || line > lineCount) {
                return Error{QStringLiteral("%1: 多角形 %2 が存在しない線 %3 を指しています")
                                 .arg(shown(path))
                                 .arg(i + 1)
                                 .arg(number)};
            }
            ring.append(TopoLineRef{static_cast<int>(line - 1), number < 0});
        }
        polygons.append(TopoPolygon{{ring}});
    }
    return polygons;
}

// Prefecture code of every polygon, from lines "region name<TAB>polygon number".
Result<QVector<int>> readNameFile(const QString& path, qsizetype polygonCount)
{
    auto lines = platform::readTextLinesGuessing(path);
    if (!lines)
        return Error{lines.error()};
    QVector<int> codes(polygonCount, 0);
    QStringList unknown;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QString& text = lines->at(i);
        if (text.trimmed().isEmpty())
            continue;
        const qsizetype tab = text.lastIndexOf(QLatin1Char('\t'));
        bool ok = false;
        const int number = tab < 0 ? 0 : text.mid(tab + 1).trimmed().toInt(&ok);
        if (!ok || number < 1 || number > polygonCount) {
            return Error{QStringLiteral("%1 の %2 行目: 多角形番号がないか範囲外です: %3")
                             .arg(shown(path))
                             .arg(i + 1)
                             .arg(text)};
        }
        const QString region = text.left(tab).section(QLatin1Char(':'), 0, 0).trimmed();
        const int code = prefectureCodeFromRomaji(region);
        if (code == 0) {
            if (!unknown.contains(region))
                unknown.append(region);
            continue;
        }
        if (codes[number - 1] != 0)
            return Error{QStringLiteral("%1 の %2 行目: 多角形 %3 に二つ目の名前があります").arg(shown(path)).arg(i + 1).arg(number)};
        codes[number - 1] = code;
    }
    if (!unknown.isEmpty()) {
        constexpr qsizetype kShown = 10;
        QString list = unknown.mid(0, kShown).join(QStringLiteral(", "));
        if (unknown.size() > kShown)
            list += QStringLiteral(" …（ほか %1 件）").arg(unknown.size() - kShown);
        return Error{QStringLiteral("%1: 都道府県名として分からない地域名があります: %2").arg(shown(path), list)};
    }
    if (const qsizetype missing = codes.indexOf(0); missing >= 0)
        return Error{QStringLiteral("%1: 多角形 %2 に名前がありません").arg(shown(path)).arg(missing + 1)};
    return codes;
}

} // namespace

int prefectureCodeFromRomaji(const QString& name)
{
    static const std::array<const char*, state::kPrefectureCount> names = {
        "hokkaido", "aomori",   "iwate",     "miyagi",    "akita",     "yamagata", "fukushima", "ibaraki",
        "tochigi",  "gunma",    "saitama",   "chiba",     "tokyo",     "kanagawa", "niigata",   "toyama",
        "ishikawa", "fukui",    "yamanashi", "nagano",    "gifu",      "shizuoka", "aichi",     "mie",
        "shiga",    "kyoto",    "osaka",     "hyogo",     "nara",      "wakayama", "tottori",   "shimane",
        "okayama",  "hiroshima", "yamaguchi", "tokushima", "kagawa",   "ehime",    "kochi",     "fukuoka",
        "saga",     "nagasaki", "kumamoto",  "oita",      "miyazaki",  "kagoshima", "okinawa"};
    // Drop macrons and other accents ("Hyōgo", "Ōita") and compare without case.
    QString key;
    for (const QChar c : name.trimmed().normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            key += c.toLower();
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (key == QLatin1String(names[i]))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool isMapsDatabase(const QString& path)
{
    const QString base = basePathOf(path);
    for (const char* suffix : {".L", ".G", ".N"}) {
        if (!QFileInfo(base + QLatin1String(suffix)).isFile())
            return false;
    }
    QFile file;
    if (!platform::openForReading(file, base + QStringLiteral(".L"), platform::kAnySize))
        return false;
    return lineFileOrder(file.read(4)).has_value();
}

Result<BoundaryTopology> readMapsDatabase(const QString& basePath)
{
    const QString base = basePathOf(basePath);
    auto lineFile = readLineFile(base + QStringLiteral(".L"));
    if (!lineFile)
        return Error{lineFile.error()};
    auto polygons = readPolygonFile(base + QStringLiteral(".G"), lineFile->order, lineFile->lines.size());
    if (!polygons)
        return Error{polygons.error()};
    auto codes = readNameFile(base + QStringLiteral(".N"), polygons->size());
    if (!codes)
        return Error{codes.error()};

    QVector<TopoMunicipality> prefectures(state::kPrefectureCount);
    for (qsizetype i = 0; i < polygons->size(); ++i)
        prefectures[codes->at(i) - 1].polygons.append(std::move((*polygons)[i]));

    BoundaryTopology topology;
    // The maps database of R (package mapdata, GPL-2): not 国土数値情報.
    topology.credit = QStringLiteral("R の maps／mapdata パッケージの japan データベースを加工して作成");
    topology.lines = std::move(lineFile->lines);
    for (int code = 1; code <= state::kPrefectureCount; ++code) {
        TopoMunicipality& m = prefectures[code - 1];
        if (m.polygons.isEmpty())
            continue;
        m.prefCode = code;
        m.code = state::prefectureCodeText(code) + QStringLiteral("000");
        m.nameParts = QStringList{state::prefectureName(code)};
        topology.municipalities.append(std::move(m));
    }
    return topology;
}

} // namespace miratos::imports
