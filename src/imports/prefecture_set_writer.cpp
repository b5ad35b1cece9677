#include "imports/prefecture_set_writer.h"

#include "state/prefectures.h"
#include "imports/label_point.h"
#include "imports/outline_rings.h"
#include "platform/import_lock.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "platform/path_part.h"
#include "platform/safe_write.h"
#include "store/coord_list.h"
#include "store/map_keys.h"
#include "store/pref_folder.h"
#include "store/pref_line_file.h"
#include "store/source_file.h"

#include <QDir>
#include <QHash>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <set>

namespace miratos::imports {
namespace {

struct WorkPolygon {
    int municipality = 0;
    QVector<TopoRing> rings; // rings[0] outer; only lines that draw something
    QVector<PointRing> shapes;
    double area = 0;
    QPointF label;
    int depth = 0; // how many holes of other polygons it lies in
};

// Rings refer to lines through the topology; a line of fewer than two distinct points draws
// nothing, and as the only line of a ring it would make a closed outline of one point.
class LineCheck {
public:
    explicit LineCheck(const BoundaryTopology& t) : m_lines(t.lines), m_state(t.lines.size(), -1) {}

    bool draws(int line)
    {
        qint8& state = m_state[line];
        if (state < 0) {
            const QVector<QPointF>& p = m_lines.at(line).points;
            state = std::any_of(p.cbegin(), p.cend(), [&](const QPointF& q) {
                return q.x() != p.first().x() || q.y() != p.first().y();
            });
        }
        return state == 1;
    }

private:
    const QVector<TopoLine>& m_lines;
    QVector<qint8> m_state;
};

PointRing shapeOf(const TopoRing& ring, const QVector<TopoLine>& lines)
{
    PointRing shape;
    for (const TopoLineRef& ref : ring) {
        const QVector<QPointF>& p = lines.at(ref.line).points;
        if (ref.reversed)
            std::copy(p.crbegin(), p.crend(), std::back_inserter(shape));
        else
            shape += p;
    }
    return shape;
}

double areaOf(const PointRing& ring)
{
    double twice = 0;
    for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += ring.at(j).x() * ring.at(i).y() - ring.at(i).x() * ring.at(j).y();
    return std::abs(twice) / 2;
}

Error fail(int prefCode, const QString& what)
{
    return Error{state::prefectureName(prefCode) + QStringLiteral(": ") + what};
}

// The municipality's polygons with their rings cleaned, largest first.
Status collectPolygons(const BoundaryTopology& t, int index, LineCheck& check, std::set<int>& dropped,
                       PrefectureSet& set, QVector<WorkPolygon>& out)
{
    const TopoMunicipality& m = t.municipalities.at(index);
    QVector<WorkPolygon> mine;
    for (const TopoPolygon& polygon : m.polygons) {
        WorkPolygon w;
        w.municipality = index;
        for (const TopoRing& ring : polygon.rings) {
            TopoRing kept;
            for (const TopoLineRef& ref : ring) {
                if (ref.line < 0 || ref.line >= t.lines.size())
                    return fail(m.prefCode, QStringLiteral("市区町村 %1 の環が存在しない線 %2 を指しています").arg(m.code).arg(ref.line));
                if (check.draws(ref.line))
                    kept.append(ref);
                else
                    dropped.insert(ref.line);
            }
            if (kept.isEmpty() && w.rings.isEmpty())
                break; // no outer ring: its holes are nothing on their own
            if (!kept.isEmpty())
                w.rings.append(std::move(kept));
        }
        if (w.rings.isEmpty()) {
            ++set.droppedPolygons;
            continue;
        }
        for (const TopoRing& ring : w.rings)
            w.shapes.append(shapeOf(ring, t.lines));
        w.area = areaOf(w.shapes.first());
        w.label = labelPointOf(w.shapes);
        mine.append(std::move(w));
    }
    std::stable_sort(mine.begin(), mine.end(), [](const WorkPolygon& a, const WorkPolygon& b) { return a.area > b.area; });
    out += mine;
    return {};
}

// Moves each polygon behind the polygons in whose holes it lies (found by its label point), so
// that it is painted after them.
void drawEnclavesLast(QVector<WorkPolygon>& polygons)
{
    for (qsizetype q = 0; q < polygons.size(); ++q) {
        for (qsizetype h = 1; h < polygons.at(q).shapes.size(); ++h) {
            const QVector<PointRing> hole{polygons.at(q).shapes.at(h)};
            const QRectF box = QPolygonF(hole.first()).boundingRect();
            for (qsizetype p = 0; p < polygons.size(); ++p) {
                const QPointF& label = polygons.at(p).label;
                if (p != q && box.contains(label) && isInsideRings(label, hole))
                    ++polygons[p].depth;
            }
        }
    }
    std::stable_sort(polygons.begin(), polygons.end(), [](const WorkPolygon& a, const WorkPolygon& b) { return a.depth < b.depth; });
}

QString ringText(const TopoRing& ring, const QHash<int, QString>& keyOfLine)
{
    QVector<store::RingPart> parts;
    parts.reserve(ring.size());
    for (const TopoLineRef& ref : ring)
        parts.append({keyOfLine.value(ref.line), ref.reversed});
    return store::formatRing(parts);
}

void addLinesAndExtent(const BoundaryTopology& t, const QVector<int>& used, const QHash<int, QString>& keyOfLine,
                       PrefectureSet& set)
{
    bool first = true;
    for (int line : used) {
        const QVector<QPointF>& points = t.lines.at(line).points;
        set.lines.append({keyOfLine.value(line), store::formatLatLonList(points)});
        for (const QPointF& p : points) {
            store::NewsExtent& e = set.extent;
            if (first) {
                e = {p.x(), p.x(), p.y(), p.y()};
                first = false;
            }
            e.west = std::min(e.west, p.x());
            e.east = std::max(e.east, p.x());
            e.south = std::min(e.south, p.y());
            e.north = std::max(e.north, p.y());
        }
    }
}

// Tiku.dat's name field joins the parts with "@"; an "@" inside a part would shift the label's
// parts, so it is written full-width there.
QString tikuNameField(const QStringList& parts)
{
    QStringList kept = parts;
    for (QString& part : kept)
        part.replace(QLatin1Char('@'), QChar(0xFF20));
    return kept.join(QLatin1Char('@'));
}

// Names CP932 cannot hold ("𠮷") are written with "〓" in their place rather than refusing the
// prefecture; the count, and the first record in first.
qsizetype markTikuNames(QVector<store::TikuRecord>& tiku, QString& first)
{
    qsizetype total = 0;
    for (store::TikuRecord& r : tiku) {
        qsizetype n = 0;
        const QString name = r.nameParts;
        r.nameParts = platform::withCp932Marks(r.nameParts, &n);
        if (n > 0 && total == 0)
            first = QStringLiteral("%1「%2」").arg(r.polygonKey, name);
        total += n;
    }
    return total;
}

} // namespace

QVector<int> prefecturesOf(const BoundaryTopology& topology)
{
    std::set<int> codes;
    for (const TopoMunicipality& m : topology.municipalities)
        codes.insert(m.prefCode);
    return QVector<int>(codes.begin(), codes.end());
}

Result<PrefectureSet> buildPrefectureSet(const BoundaryTopology& topology, int prefCode)
{
    const QString pc = state::prefectureCodeText(prefCode);
    if (prefCode < 1 || prefCode > state::kPrefectureCount)
        return Error{QStringLiteral("都道府県コード %1 は 1〜47 ではありません").arg(prefCode)};
    PrefectureSet set;
    set.prefCode = prefCode;
    LineCheck check(topology);
    std::set<int> dropped;
    QVector<WorkPolygon> polygons;
    for (int i = 0; i < topology.municipalities.size(); ++i) {
        const TopoMunicipality& m = topology.municipalities.at(i);
        if (m.prefCode != prefCode)
            continue;
        if (m.code.size() != 5 || !m.code.startsWith(pc))
            return fail(prefCode, QStringLiteral("市区町村コード「%1」が %2 で始まる 5 桁ではありません").arg(m.code, pc));
        const qsizetype before = polygons.size();
        if (Status s = collectPolygons(topology, i, check, dropped, set, polygons); !s)
            return Error{s.error()};
        if (polygons.size() > before)
            ++set.municipalityCount;
    }
    set.droppedLines = int(dropped.size());
    if (polygons.isEmpty())
        return fail(prefCode, QStringLiteral("書き出せる面がありません"));
    drawEnclavesLast(polygons);

    // Number the lines in the order of first use; count uses over outer rings and holes alike.
    QHash<int, QString> keyOfLine;
    QHash<int, int> uses;
    QVector<int> used;
    for (const WorkPolygon& w : polygons) {
        for (const TopoRing& ring : w.rings) {
            for (const TopoLineRef& ref : ring) {
                if (!keyOfLine.contains(ref.line)) {
                    used.append(ref.line);
                    keyOfLine.insert(ref.line, pc + QLatin1Char('c') + QString::number(used.size()));
                }
                ++uses[ref.line];
            }
        }
    }
    addLinesAndExtent(topology, used, keyOfLine, set);

    for (qsizetype n = 0; n < polygons.size(); ++n) {
        const WorkPolygon& w = polygons.at(n);
        const TopoMunicipality& m = topology.municipalities.at(w.municipality);
        const QString key = pc + QLatin1Char('a') + QString::number(n + 1);
        set.polygons.append({key, ringText(w.rings.first(), keyOfLine)});
        set.points.append({store::pointKeyOf(key),
                           platform::formatDouble(w.label.y()) + QLatin1Char(' ') + platform::formatDouble(w.label.x())});
        set.tiku.append({key, tikuNameField(m.nameParts), m.code});
    }

    QVector<int> odd;
    for (int line : used) {
        if (uses.value(line) % 2 == 1)
            odd.append(line);
    }
    for (const TopoRing& ring : chainOutline(topology.lines, odd))
        set.outline.append(ringText(ring, keyOfLine));
    return set;
}

QString prefectureFolderName(int prefCode, const QString& initIni)
{
    const QString value = platform::GetINIValue(state::prefectureCodeText(prefCode), QStringLiteral("Pref"), initIni);
    const QString name = platform::safePathPart(value);
    if (value == QLatin1String("ERROR") || name.isEmpty() || name != value.trimmed())
        return state::prefectureName(prefCode);
    return name;
}

Status writePrefectureSets(const BoundaryTopology& topology, const QString& mapDataFolder, const QString& initIni,
                           const ProgressFn& progress, WrittenTotals* totals)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    // Every prefecture of the topology is put in place together, or none when one fails.
    platform::WriteBatch batch;
    WrittenTotals added;
    for (int prefCode : prefecturesOf(topology)) {
        auto set = buildPrefectureSet(topology, prefCode);
        if (!set)
            return Error{set.error()};
        const QString name = prefectureFolderName(prefCode, initIni);
        const QString folder = mapDataFolder + QLatin1Char('/') + name;
        if (Status made = platform::makeFolder(folder); !made)
            return made;
        auto file = [&](const char16_t* fileName) { return folder + QLatin1Char('/') + QString::fromUtf16(fileName); };
        QString firstMarked;
        if (const qsizetype marked = markTikuNames(set->tiku, firstMarked); marked > 0 && progress)
            progress(QStringLiteral("注意: %1: ").arg(QDir::toNativeSeparators(file(store::kTikuFile))) + platform::cp932MarksNote(firstMarked, marked));
        Status written = store::writeTikuFile(file(store::kTikuFile), set->tiku);
        if (written)
            written = store::writeNewsFile(file(store::kNewsFile), set->extent);
        if (written)
            written = store::writeLineFile(file(store::kLineFile), set->lines);
        if (written)
            written = store::writePolygonFile(file(store::kPolygonFile), set->polygons);
        if (written)
            written = store::writePrefLineFile(file(store::kPrefLineFile), set->outline);
        if (written)
            written = store::writePointFile(file(store::kPointFile), set->points);
        if (written)
            written = store::writeSourceFile(file(store::kSourceFile), topology.credit);
        if (!written)
            return written;
        added.prefectures.insert(prefCode);
        added.municipalities += set->municipalityCount;
        added.polygons += set->polygons.size();
        added.lines += set->lines.size();
        if (!progress)
            continue;
        progress(QStringLiteral("%1: %2 市区町村, %3 面, %4 線").arg(name).arg(set->municipalityCount).arg(set->polygons.size()).arg(set->lines.size()));
        if (set->droppedLines > 0 || set->droppedPolygons > 0)
            progress(QStringLiteral("%1: 点が 2 つに満たない線 %2 本と、それで外周のなくなった面 %3 個を省きました")
                         .arg(name)
                         .arg(set->droppedLines)
                         .arg(set->droppedPolygons));
    }
    if (Status s = batch.commit(); !s)
        return s;
    if (totals) {
        totals->prefectures.unite(added.prefectures);
        totals->municipalities += added.municipalities;
        totals->polygons += added.polygons;
        totals->lines += added.lines;
    }
    return {};
}

} // namespace miratos::imports
