#include "mapview/loaders.h"

#include "state/prefectures.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "store/district_file.h"
#include "store/coord_list.h"
#include "store/line_geometry.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_folder.h"
#include "store/pref_line_file.h"
#include "store/record_lines.h"
#include "store/ring_budget.h"
#include "store/tiku_file.h"

#include <QDir>

namespace miratos::mapview {
namespace {

using platform::formatDouble;
using platform::formatSingle;

void call(const std::function<void()>& f)
{
    if (f)
        f();
}
void call(const std::function<void(int)>& f, int i)
{
    if (f)
        f(i);
}

bool selected(const state::MdlMain& state, int i)
{
    return state.PrefTable[static_cast<size_t>(i)][0] == QLatin1String("TRUE");
}

QString prefFile(const state::MdlMain& state, int i, const char16_t* name)
{
    return platform::AppFolder::prefFolder(state.PrefTable[static_cast<size_t>(i)][1]) + QString::fromUtf16(name);
}

// Splits at single spaces into exactly four numbers.
std::optional<std::array<double, 4>> fourNumbers(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 4)
        return std::nullopt;
    std::array<double, 4> values{};
    for (int k = 0; k < 4; ++k) {
        const auto v = platform::toNumber(parts.at(k));
        if (!v)
            return std::nullopt;
        values[static_cast<size_t>(k)] = *v;
    }
    return values;
}

void startFacilities(const state::MdlMain& state, const LoadHooks& hooks, int i)
{
    if (state.UseBuild)
        call(hooks.loadFacilities, i);
    if (hooks.showFacilityTree)
        hooks.showFacilityTree(state.UseBuild);
}

// Appends the lines of a Line.dat: all of them, or only those whose key passes keep.
void readLines(MapTables& t, const QString& path, const std::function<bool(const QString&)>& keep,
               const LoadHooks& hooks, LoadReport& report)
{
    auto lines = store::readLineGeometry(path, hooks.yield, &report.problems);
    if (!lines) {
        report.problems << lines.error();
        return;
    }
    for (store::LineGeometry& g : *lines) {
        if (keep && !keep(g.key))
            continue;
        // A second record of a key is drawn too, but look-ups keep the first one.
        if (!t.lvwLine.contains(g.key))
            t.lvwLine.insert(g.key, static_cast<int>(t.LineRecords.size()));
        t.LineRecords.push_back({std::move(g.key), std::move(g.points)});
    }
}

// The extent of NEWS.dat, or of the prefecture's own lines when NEWS.dat cannot be read.
std::optional<store::NewsExtent> readNews(const QString& path, LoadReport& report)
{
    auto news = store::readNewsFile(path);
    if (!news) {
        report.problems << news.error();
        return std::nullopt;
    }
    return *news;
}

FileExtent toFileExtent(const store::NewsExtent& n)
{
    return {static_cast<float>(n.west), static_cast<float>(n.east), static_cast<float>(n.south), static_cast<float>(n.north)};
}

// Adds every line key of a ring ("_" removed) to the prefecture-boundary lines.
void addPrefLineParts(MapTables& t, QString ring)
{
    ring.remove(QLatin1Char('_'));
    for (const QString& part : ring.split(QLatin1Char('@')))
        t.lvwPrefLineOnly.add(part, part);
}

// The file each ring came from, by the first row it gave: for the message when a ring is left out.
using RingSources = std::vector<std::pair<size_t, QString>>;

QString sourceOf(const RingSources& sources, size_t row, const char16_t* fallback)
{
    QString file = QString::fromUtf16(fallback);
    for (const auto& [first, path] : sources) {
        if (first <= row)
            file = path;
    }
    return file;
}

qint64 ringPoints(const MapTables& t, const ResolvedRing& ring)
{
    qint64 points = 0;
    for (const RingLine& part : ring) {
        if (part.line >= 0)
            points += t.LineRecords[static_cast<size_t>(part.line)].points.size();
    }
    return points;
}

// Rings whose walk would pass the budget are left out (drawn as nothing) and named.
void resolveRings(MapTables& t, LoadReport& report, const RingSources& prefLineSources = {}, const RingSources& polygonSources = {})
{
    qint64 linePoints = 0;
    for (const LineRecord& line : t.LineRecords)
        linePoints += line.points.size();
    store::RingPointBudget budget(linePoints);
    t.orgPrefLineRings.clear();
    size_t row = 0;
    for (const auto& prefLine : t.lvwOrgPrefLine) {
        ResolvedRing ring = t.resolveRing(prefLine.text);
        if (!budget.take(ringPoints(t, ring))) {
            report.problems << store::ringOverBudget(sourceOf(prefLineSources, row, store::kPrefLineFile), prefLine.text, budget.limit());
            ring.clear();
        }
        t.orgPrefLineRings.push_back(std::move(ring));
        ++row;
    }
    t.polygonIndex.clear();
    for (size_t i = 0; i < t.PolygonRecords.size(); ++i) {
        PolygonRecord& p = t.PolygonRecords[i];
        p.lines = t.resolveRing(p.ring);
        if (!budget.take(ringPoints(t, p.lines))) {
            report.problems << store::ringOverBudget(sourceOf(polygonSources, i, store::kPolygonFile), p.key, budget.limit());
            p.lines.clear();
        }
        if (!t.polygonIndex.contains(p.key))
            t.polygonIndex.insert(p.key, static_cast<int>(i));
    }
}

// The municipality rows of one prefecture's Tiku records, in file order.
void addMunicipalityRows(MapTables& t, qsizetype firstRecord)
{
    for (size_t r = static_cast<size_t>(firstRecord); r < t.TikuRecords.size(); ++r) {
        const TikuRecord& rec = t.TikuRecords[r];
        if (rec.polygonKey.left(2) != rec.code.left(2))
            continue;
        QString pointKey = rec.polygonKey;
        pointKey.replace(QLatin1Char('a'), QLatin1Char('p'));
        const auto* polygon = t.lvwPolygon.find(rec.polygonKey);
        const int n = polygon ? static_cast<int>(polygon->text.count(QLatin1Char('@'))) : 0;
        const QString key = QStringLiteral("G") + rec.code;
        auto* existing = t.lvwUseTiku.find(key);
        if (!existing) {
            t.lvwUseTiku.add(key, pointKey, {rec.nameParts, QString::number(n)});
            continue;
        }
        const int m = existing->subItem(2).toInt();
        if (m == 0 && n > 0) {
            // A polygon made of several lines replaces one made of a single line.
            existing->text = pointKey;
            existing->setSubItem(2, QString::number(n));
        } else if (m != 0 && n > 3) {
            // A large further polygon, such as a big island, gets a label of its own.
            existing->setSubItem(2, QString::number(n));
            t.lvwUseTiku.add(QString(), pointKey, {rec.nameParts});
        }
    }
}

} // namespace

// The four SpecialCoordinate numbers of a prefecture (east, west, south, north) as stored.
static std::optional<std::array<double, 4>> specialCoordinateValues(int prefCode, const QString& initIni)
{
    const QString value = platform::GetINIValue(state::prefectureCodeText(prefCode), QStringLiteral("SpecialCoordinate"), initIni);
    if (value == QLatin1String("ERROR"))
        return std::nullopt;
    return fourNumbers(value);
}

std::optional<FileExtent> specialCoordinate(int prefCode, const QString& initIni)
{
    const auto v = specialCoordinateValues(prefCode, initIni);
    if (!v)
        return std::nullopt;
    return FileExtent{static_cast<float>((*v)[1]), static_cast<float>((*v)[0]), static_cast<float>((*v)[2]),
                      static_cast<float>((*v)[3])};
}

LoadReport loadJapan(MapTables& t, const state::MdlMain& state, const QString& initIni, const LoadHooks& hooks)
{
    LoadReport report;
    t.lvwPrefLineOnly.clear();
    t.lvwLine.clear();
    t.lvwUsePref.clear();
    t.lvwOrgPrefLine.clear();
    t.LineRecords.clear();
    t.DataExtent = {};
    RingSources prefLineSources;

    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        if (!selected(state, i))
            continue;
        startFacilities(state, hooks, i);

        prefLineSources.emplace_back(size_t(t.lvwOrgPrefLine.count()), prefFile(state, i, store::kPrefLineFile));
        if (auto rings = store::readPrefLineFileSkippingBad(prefFile(state, i, store::kPrefLineFile), report.problems)) {
            for (const QString& r : *rings) {
                call(hooks.yield);
                if (state.HideSeparate && !r.contains(QLatin1Char('@')))
                    continue;
                t.lvwOrgPrefLine.add(r, r);
                addPrefLineParts(t, r);
            }
        } else {
            report.problems << rings.error();
        }

        readLines(t, prefFile(state, i, store::kLineFile),
                  [&t](const QString& key) { return t.lvwPrefLineOnly.contains(key); }, hooks, report);

        const auto news = readNews(prefFile(state, i, store::kNewsFile), report);
        std::array<double, 4> centre{};
        bool haveExtent = false;
        if (news) {
            t.fileExtent = toFileExtent(*news);
            centre = {news->west, news->east, news->south, news->north};
            haveExtent = true;
        }
        if (const auto v = specialCoordinateValues(i, initIni)) {
            // The label centre always comes from the fixed extent; the map extent only when asked.
            if (state.UseSpecialCoordinate) {
                t.fileExtent = *specialCoordinate(i, initIni);
                haveExtent = true;
            }
            centre = *v;
        }
        t.lvwUsePref.add(QStringLiteral("K") + state::prefectureCodeText(i), state.PrefTable[static_cast<size_t>(i)][1],
                         {formatDouble((centre[0] + centre[1]) / 2), formatDouble((centre[2] + centre[3]) / 2)});
        if (haveExtent)
            mergeExtent(t.DataExtent, t.fileExtent);
        if (state.UseRoad)
            call(hooks.loadRoads, i);
    }
    resolveRings(t, report, prefLineSources);
    return report;
}

LoadReport loadPref(MapTables& t, const state::MdlMain& state, const QString& initIni, const LoadHooks& hooks)
{
    LoadReport report;
    t.PointRecords.clear();
    t.LineRecords.clear();
    t.PolygonRecords.clear();
    t.TikuRecords.clear();
    t.lvwPoint.clear();
    t.lvwLine.clear();
    t.lvwPolygon.clear();
    t.lvwUseTiku.clear();
    t.lvwPrefLineOnly.clear();
    t.DataExtent = {};
    RingSources polygonSources;

    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        if (!selected(state, i))
            continue;
        startFacilities(state, hooks, i);

        if (auto points = store::readPointFileSkippingBad(prefFile(state, i, store::kPointFile), report.problems)) {
            for (const auto& p : *points) {
                t.PointRecords.push_back({p.key, p.point});
                t.lvwPoint.add(p.key, p.point);
                call(hooks.yield);
            }
        } else {
            report.problems << points.error();
        }

        readLines(t, prefFile(state, i, store::kLineFile), {}, hooks, report);

        if (auto rings = store::readPrefLineFileSkippingBad(prefFile(state, i, store::kPrefLineFile), report.problems)) {
            for (const QString& r : *rings) {
                addPrefLineParts(t, r);
                call(hooks.yield);
            }
        } else {
            report.problems << rings.error();
        }

        polygonSources.emplace_back(t.PolygonRecords.size(), prefFile(state, i, store::kPolygonFile));
        if (auto polygons = store::readPolygonFileSkippingBad(prefFile(state, i, store::kPolygonFile), report.problems)) {
            for (const auto& p : *polygons) {
                t.PolygonRecords.push_back({p.key, p.ring, {}});
                t.lvwPolygon.add(p.key, p.ring);
                call(hooks.yield);
            }
        } else {
            report.problems << polygons.error();
        }

        if (auto tiku = store::readTikuFileSkippingBad(prefFile(state, i, store::kTikuFile), report.problems)) {
            const qsizetype first = static_cast<qsizetype>(t.TikuRecords.size());
            for (const auto& r : *tiku)
                t.TikuRecords.push_back({r.polygonKey, r.nameParts, r.code});
            addMunicipalityRows(t, first);
        } else {
            report.problems << tiku.error();
        }

        bool haveExtent = false;
        if (const auto news = readNews(prefFile(state, i, store::kNewsFile), report)) {
            t.fileExtent = toFileExtent(*news);
            haveExtent = true;
        }
        if (state.UseSpecialCoordinate) {
            if (const auto special = specialCoordinate(i, initIni)) {
                t.fileExtent = *special;
                haveExtent = true;
            }
        }
        if (haveExtent)
            mergeExtent(t.DataExtent, t.fileExtent);
        if (state.UseRoad)
            call(hooks.loadRoads, i);
    }
    resolveRings(t, report, {}, polygonSources);
    return report;
}

LoadReport loadCity(MapTables& t, state::MdlMain& state, const LoadHooks& hooks)
{
    LoadReport report;
    t.DistrictRecords.clear();
    t.lvwUseTiku.clear();
    t.DataExtent = {};
    if (hooks.showFacilityTree)
        hooks.showFacilityTree(state.UseBuild);
    if (state.UseBuild) {
        for (int i = 1; i <= state::kPrefectureCount; ++i) {
            if (selected(state, i))
                call(hooks.loadAllFacilities, i);
        }
        call(hooks.keepChosenFacilities);
    }

    for (int k = 1; k <= state.TikuCount; ++k) {
        const QString& path = state.TikuPath[static_cast<size_t>(k)];
        auto file = store::readDistrictFileSkippingBad(path, report.problems);
        if (!file) {
            report.problems << file.error();
            continue;
        }
        const auto header = store::parseDistrictHeader(file->header);
        if (!header) {
            report.problems << QStringLiteral("%1: 1 行目が範囲（西 南 東 北）ではありません").arg(QDir::toNativeSeparators(path));
            continue;
        }
        t.fileExtent = {static_cast<float>(header->west), static_cast<float>(header->east),
                        static_cast<float>(header->south), static_cast<float>(header->north)};
        auto& row = state.TikuTable[static_cast<size_t>(k)];
        row[1] = formatSingle((t.fileExtent.west + t.fileExtent.east) / 2);
        row[2] = formatSingle((t.fileExtent.south + t.fileExtent.north) / 2);

        for (qsizetype n = 0; n < file->records.size(); ++n) {
            const store::DistrictRecord& r = file->records.at(n);
            DistrictRecord d;
            if (!store::parseDistrictRings(r.rings, d.rings)) {
                // A damaged ring text draws nothing but keeps the district's row.
                d.rings.clear();
                report.problems << store::skippedNote(path, 2 + 8 * n, QStringLiteral("地区 %1 の輪郭が読めません").arg(r.code));
            }
            d.code = state.UseTownLevel ? r.code.left(9) : r.code;
            d.townName = r.townName;
            d.labelX = r.labelX;
            d.labelY = r.labelY;
            d.area = r.area;
            d.representative = r.representative;
            d.areaClass = r.areaClass;
            t.lvwUseTiku.add(QStringLiteral("G") + d.code, d.townName); // the first record of a code wins
            t.DistrictRecords.push_back(std::move(d));
            call(hooks.yield);
        }
        mergeExtent(t.DataExtent, t.fileExtent);
    }
    if (state.UseRoad) {
        for (int i = 1; i <= state::kPrefectureCount; ++i) {
            if (selected(state, i))
                call(hooks.loadRoads, i);
        }
    }
    return report;
}

} // namespace miratos::mapview
