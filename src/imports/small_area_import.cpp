#include "imports/small_area_import.h"

#include "imports/attribute_probe.h"

#include "imports/gis_encoding.h"
#include "imports/statistic_output.h"
#include "convert/small_area_converter.h"
#include "platform/import_lock.h"
#include "platform/read_limits.h"
#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/path_part.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"
#include "store/district_file_name.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QFileInfo>
#include <QPolygonF>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace miratos::imports {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString ringText(const QVector<QPointF>& ring)
{
    QString text;
    for (const QPointF& p : ring) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += platform::formatDouble(p.x()) + QLatin1Char(' ') + platform::formatDouble(p.y());
    }
    return text;
}

} // namespace

bool isSmallAreaLayer(const platform::GisLayer& layer)
{
    for (const char* field : {"KEN", "KEYCODE2", "HCODE", "AREA", "MOJI", "X_CODE", "Y_CODE"}) {
        if (!layer.fieldNames.contains(QLatin1String(field)))
            return false;
    }
    return true;
}

std::vector<SmallAreaDistricts> buildSmallAreaDistricts(const platform::GisLayer& layer)
{
    const bool cp932 = gisLayerIsCp932(layer);
    std::vector<SmallAreaDistricts> out;
    QHash<QString, size_t> byCode;
    QHash<QString, std::array<double, 4>> extents;
    for (const platform::GisFeature& f : layer.features) {
        const auto field = [&](const char* name) {
            const QByteArray bytes = f.fields.value(QLatin1String(name));
            return (cp932 ? platform::fromCp932(bytes) : QString::fromUtf8(bytes)).trimmed();
        };
        const QString ken = field("KEN"), keycode = field("KEYCODE2");
        const QString code = ken + (layer.fieldNames.contains(QLatin1String("CITY")) ? field("CITY") : keycode.left(3));
        if (ken.isEmpty() || f.parts.empty())
            continue;
        auto found = byCode.find(code);
        if (found == byCode.end()) {
            SmallAreaDistricts d;
            d.prefCode = ken;
            d.code = code;
            const QString ward = field("CSS_NAME");
            d.name = QString(ward).remove(QLatin1Char(' ')).isEmpty() ? field("GST_NAME") : ward;
            out.push_back(std::move(d));
            found = byCode.insert(code, out.size() - 1);
            extents.insert(code, {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()});
        }
        SmallAreaDistricts& d = out[*found];
        auto& e = extents[code];
        // Rings in order: one inside the current outer ring is a hole of it, any other starts a
        // new polygon.
        std::vector<std::pair<QPolygonF, QString>> polygons;
        for (const QVector<QPointF>& ring : f.parts) {
            for (const QPointF& p : ring) {
                e[0] = std::min(e[0], p.x());
                e[1] = std::min(e[1], p.y());
                e[2] = std::max(e[2], p.x());
                e[3] = std::max(e[3], p.y());
            }
            if (!polygons.empty() && !ring.isEmpty() && polygons.back().first.containsPoint(ring.first(), Qt::OddEvenFill))
                polygons.back().second += QLatin1Char('@') + ringText(ring);
            else
                polygons.emplace_back(QPolygonF(ring), ringText(ring));
        }
        for (const auto& polygon : polygons)
            d.file.records.append({polygon.second, field("AREA"), field("HCODE"), ken + keycode, field("AREA_MAX_F"), field("MOJI"),
                                   field("X_CODE"), field("Y_CODE")});
    }
    for (SmallAreaDistricts& d : out) {
        const auto& e = extents[d.code];
        d.file.header = store::formatDistrictHeader({e[0], e[1], e[2], e[3]});
    }
    return out;
}

bool isSmallAreaShapefile(const QString& path)
{
    const QFileInfo info(path);
    if (info.suffix().toLower() != QLatin1String("shp"))
        return false;
    // The field names stand in the header of the .dbf beside it: 32-byte descriptors after a
    // 32-byte header, ended by 0x0D.
    const QByteArray head = attributeProbe(path, 32 * 256);
    QSet<QByteArray> names;
    for (qsizetype at = 32; at + 32 <= head.size() && head.at(at) != '\r'; at += 32)
        names.insert(QByteArray(head.constData() + at, 11).split('\0').first());
    for (const char* field : {"KEN", "KEYCODE2", "HCODE", "AREA", "MOJI", "X_CODE", "Y_CODE"}) {
        if (!names.contains(field))
            return false;
    }
    return true;
}

int smallAreaYearOfFileName(const QString& path)
{
    // Only the start of the name says the year: "h27ka13119" (Heisei 27), "r2ka13119" (Reiwa 2),
    // or a statistic number followed by the western year ("A002005212020DDSWC13119"). Digits
    // later in the name are codes (r2ka20361 is 20361, not the year 2036).
    static const QRegularExpression heisei(QStringLiteral("^[hH](\\d\\d)"));
    static const QRegularExpression reiwa(QStringLiteral("^[rR](\\d{1,2})[kK][aA]"));
    static const QRegularExpression western(QStringLiteral("^[A-Za-z]\\d{8}((?:19|20)\\d\\d)"));
    const QString name = QFileInfo(path).fileName();
    if (const auto m = heisei.match(name); m.hasMatch())
        return m.captured(1).toInt();
    if (const auto m = reiwa.match(name); m.hasMatch())
        return convert::twoDigitCensusYear(2018 + m.captured(1).toInt());
    if (const auto m = western.match(name); m.hasMatch())
        return convert::twoDigitCensusYear(m.captured(1).toInt());
    return 0;
}

Result<QStringList> importSmallAreaShapefile(const QString& path, int year, const QString& mapData, const QString& initIni,
                                             QStringList* notes)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    if (year == 0)
        year = smallAreaYearOfFileName(path);
    if (year <= 0 || year > 99)
        return Error{QStringLiteral("%1: 調査年がファイル名からわかりません（--year で指定してください）").arg(shown(path))};
    const auto layers = platform::readGisFile(path);
    if (!layers)
        return Error{layers.error()};
    platform::WriteBatch batch; // all the district files, or none
    QStringList written;
    for (const platform::GisLayer& layer : *layers) {
        if (!isSmallAreaLayer(layer))
            continue;
        for (const SmallAreaDistricts& d : buildSmallAreaDistricts(layer)) {
            QString error;
            const QString folder = prefectureFolder(d.prefCode, mapData, initIni, &error);
            if (folder.isEmpty())
                return Error{QStringLiteral("%1: %2").arg(shown(path), error)};
            const QString out = QDir(folder).filePath(store::districtFileName(year, d.code, d.name));
            store::DistrictFile file = d.file;
            qsizetype marked = 0;
            QString first;
            for (qsizetype r = 0; r < file.records.size(); ++r) {
                qsizetype n = 0;
                const QString name = file.records[r].townName;
                file.records[r].townName = platform::withCp932Marks(name, &n);
                if (n > 0 && marked == 0)
                    first = QStringLiteral("%1 番目の区域「%2」").arg(r + 1).arg(name);
                marked += n;
            }
            if (marked > 0 && notes)
                *notes << shown(out) + QStringLiteral(": ") + platform::cp932MarksNote(first, marked);
            if (Status s = store::writeDistrictFile(out, file); !s)
                return Error{s.error()};
            written << out;
        }
    }
    if (written.isEmpty())
        return Error{QStringLiteral("%1: 小地域の境界（KEN, KEYCODE2, HCODE, AREA, MOJI, X_CODE, Y_CODE）がありません").arg(shown(path))};
    if (Status s = batch.commit(); !s)
        return Error{s.error()};
    return written;
}

namespace {

Result<QStringList> csvLines(const QString& path)
{
    return platform::readTextLinesGuessing(path);
}

// A field of the published CSV without the quotes some editions put around it.
QString unquoted(QString field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
        field = field.mid(1, field.size() - 2);
    return field;
}

QStringList csvFields(const QString& line)
{
    QStringList fields = line.split(QLatin1Char(','));
    for (QString& f : fields)
        f = unquoted(f);
    return fields;
}

// The table number of a small-area table by its first value header.
int tableOf(const QString& firstValueHeader)
{
    if (firstValueHeader.contains(QStringLiteral("世帯人員")))
        return 3;
    if (firstValueHeader.contains(QStringLiteral("年齢")))
        return 2;
    if (firstValueHeader.contains(QStringLiteral("人口総数")))
        return 1;
    return 0;
}

} // namespace

bool isSmallAreaTable(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("txt"))
        return false;
    const auto head = platform::readFirstLineGuessing(path);
    // Any KEY_CODE table is taken, so that one without GASSAN is told what it lacks.
    return head && (head->startsWith(QLatin1String("KEY_CODE,")) || convert::isTodaysSmallAreaTable(*head));
}

namespace {

// The two-digit year of the municipality's district file in folder; the latest when there are
// several; 0 when there is none.
int districtYear(const QString& folder, const QString& municipality)
{
    int y = 0;
    // Boundaries imported earlier in the same run are still staged, not yet in the folder.
    QStringList names = QDir(folder).entryList({QStringLiteral("*_%1_*.dat").arg(municipality)}, QDir::Files);
    names << platform::stagedFileNames(folder);
    for (const QString& name : std::as_const(names)) {
        if (const auto parsed = store::parseDistrictFileName(name); parsed && parsed->code == municipality)
            y = std::max(y, parsed->year);
    }
    return y;
}

} // namespace

Result<QStringList> importSmallAreaTable(const QString& path, int year, const QString& mapData, const QString& initIni,
                                         QStringList* notes)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    const auto lines = csvLines(path);
    if (!lines || lines->isEmpty())
        return Error{lines ? QStringLiteral("%1: 空です").arg(shown(path)) : lines.error()};
    const QStringList head = csvFields(lines->first());
    const int firstValue = static_cast<int>(head.indexOf(QStringLiteral("GASSAN"))) + 1;
    const int keyCode = 0, cityName = static_cast<int>(head.indexOf(QStringLiteral("CITYNAME"))),
              secrecy = static_cast<int>(head.indexOf(QStringLiteral("HTKSYORI")));
    // The area name stands in MOJI in older editions and in NAME in today's.
    int moji = static_cast<int>(head.indexOf(QStringLiteral("MOJI")));
    if (moji < 0)
        moji = static_cast<int>(head.indexOf(QStringLiteral("NAME")));
    if (firstValue <= 0 || cityName < 0 || moji < 0 || firstValue >= head.size())
        return Error{QStringLiteral("%1: KEY_CODE, CITYNAME, MOJI（または NAME）, GASSAN の後に値の列がある表ではありません").arg(shown(path))};
    // Today's edition names its columns by code (T001082001, ...) and puts their titles on a
    // second line whose first fields are empty.
    QStringList fileHeaders = head.mid(firstValue);
    qsizetype firstRow = 1;
    if (lines->size() > 1) {
        const QStringList labels = csvFields(lines->at(1));
        if (!labels.isEmpty() && labels.first().isEmpty() && labels.size() > firstValue) {
            for (qsizetype c = 0; c < fileHeaders.size(); ++c) {
                if (const QString label = labels.value(firstValue + c); !label.isEmpty())
                    fileHeaders[c] = label;
            }
            firstRow = 2;
        }
    }
    const int n = tableOf(fileHeaders.first());
    if (n == 0)
        return Error{QStringLiteral("%1: どの表か（値の列「%2」）わかりません").arg(shown(path), fileHeaders.first())};
    const convert::SmallAreaTable& table = convert::smallAreaTables().at(static_cast<size_t>(n - 1));
    // The published titles are used for the older edition's layout; the table's own titles when
    // its columns differ from it, or when it names them on its second line.
    const QStringList valueHeaders =
        firstRow == 1 && fileHeaders.size() == table.valueHeaders.size() ? table.valueHeaders : fileHeaders;

    QHash<QString, QStringList> byMunicipality; // code -> lines
    QHash<QString, QString> cityNames;
    QStringList order;
    for (qsizetype i = firstRow; i < lines->size(); ++i) {
        const QStringList f = csvFields(lines->at(i));
        if (f.size() < head.size()) {
            if (lines->at(i).trimmed().isEmpty())
                continue;
            return Error{QStringLiteral("%1: %2 行目の列が足りません").arg(shown(path)).arg(i + 1)};
        }
        const QString code = f.at(keyCode);
        if (code.size() < 5)
            continue; // a prefecture's total: no district of City mode
        const QString municipality = code.left(5);
        if (!byMunicipality.contains(municipality)) {
            order << municipality;
            cityNames.insert(municipality, f.at(cityName));
            byMunicipality.insert(municipality, {QStringLiteral("Code,地区名,") + valueHeaders.join(QLatin1Char(','))});
        }
        // A municipality's own total row has no area name.
        QStringList row{code, f.at(moji).isEmpty() ? f.at(cityName) : f.at(cityName) + QStringLiteral("・") + f.at(moji)};
        // A secret area (HTKSYORI 1) is counted in the area named by HTKSAKI: it is no data itself.
        const bool secret = secrecy >= 0 && f.at(secrecy) == QLatin1String("1");
        for (int c = firstValue; c < head.size(); ++c) {
            const auto number = platform::toNumber(f.at(c));
            row << (secret && number ? QStringLiteral("X") : number ? platform::formatDouble(*number) : f.at(c));
        }
        byMunicipality[municipality] << row.join(QLatin1Char(','));
    }
    if (order.isEmpty())
        return Error{QStringLiteral("%1: 値の行が 1 つもありません").arg(shown(path))};
    platform::WriteBatch batch; // every municipality's table written, or none
    QStringList written, missing;
    for (const QString& municipality : order) {
        QString error;
        const QString folder = prefectureFolder(municipality.left(2), mapData, initIni, &error);
        if (folder.isEmpty())
            return Error{QStringLiteral("%1: %2").arg(shown(path), error)};
        const int y = year != 0 ? year : districtYear(folder, municipality);
        if (y == 0) {
            // A prefecture's table also holds municipalities whose boundaries were not imported.
            missing << municipality + QLatin1Char(' ') + cityNames.value(municipality);
            continue;
        }
        const QString out = QDir(folder).filePath(
            platform::safePathPart(QStringLiteral("%1_%2_statistic%3.csv").arg(y, 2, 10, QLatin1Char('0')).arg(municipality).arg(n)));
        if (Status s = platform::writeTextLines(out, markedForCp932(byMunicipality.value(municipality), out, notes)); !s)
            return Error{s.error()};
        written << out;
    }
    if (written.isEmpty())
        return Error{QStringLiteral("%1: %2 の小地域の境界がまだ取り込まれていません（先に境界を取り込むか --year で指定してください）")
                         .arg(shown(path), missing.join(QStringLiteral("、")))};
    if (!missing.isEmpty() && notes)
        *notes << QStringLiteral("%1: 小地域の境界がまだ取り込まれていない %2 市区町村は書きませんでした（%3）")
                      .arg(shown(path))
                      .arg(missing.size())
                      .arg(missing.join(QStringLiteral("、")));
    if (Status s = batch.commit(); !s)
        return Error{s.error()};
    return written;
}

} // namespace miratos::imports
