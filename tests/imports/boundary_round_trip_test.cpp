// Round trip on the published boundaries of Tokyo (skipped when the shared data is absent): the
// TopoJSON written as government-style boundary XML by the generator and converted by 行政区域
// gives the same lines, rings, outline and names as "miratos import" of the same file, and the
// map window draws both alike in every style.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "../convert/boundary_fixture.h"
#include "imports/label_point.h"
#include "imports/prefecture_set_writer.h"
#include "imports/topojson_reader.h"
#include "platform/prompts.h"
#include "store/coord_list.h"
#include "store/line_file.h"
#include "store/map_keys.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"

#include <QFileInfo>
#include <QRadioButton>
#include <algorithm>

namespace {

using namespace miratos;

const QString kTokyo = QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_13_210101.json");

// A prefecture folder read back: lines by key, polygons, names, outline, label points.
struct PrefFiles {
    QHash<QString, QVector<QPointF>> lines;
    QVector<store::PolygonRecord> polygons;
    QHash<QString, QString> nameOf; // polygon key -> "name parts|code"
    QStringList outline;
    QVector<store::PointRecord> points;
};

PrefFiles readFolder(const QString& folder)
{
    PrefFiles f;
    const auto lines = store::readLineFile(folder + QStringLiteral("/Line.dat"));
    const auto polygons = store::readPolygonFile(folder + QStringLiteral("/Polygon.dat"));
    const auto tiku = store::readTikuFile(folder + QStringLiteral("/Tiku.dat"));
    const auto outline = store::readPrefLineFile(folder + QStringLiteral("/PrefLine.dat"));
    const auto points = store::readPointFile(folder + QStringLiteral("/Point.dat"));
    EXPECT_TRUE(lines.ok() && polygons.ok() && tiku.ok() && outline.ok() && points.ok()) << folder.toStdString();
    if (!lines.ok() || !polygons.ok() || !tiku.ok() || !outline.ok() || !points.ok())
        return f;
    for (const store::LineRecord& r : *lines) {
        QVector<QPointF> p;
        EXPECT_TRUE(store::parseLatLonList(r.coords, p)) << r.key.toStdString();
        f.lines.insert(r.key, p);
    }
    f.polygons = *polygons;
    for (const store::TikuRecord& r : *tiku)
        f.nameOf.insert(r.polygonKey, r.nameParts + QLatin1Char('|') + r.code);
    f.outline = *outline;
    f.points = *points;
    return f;
}

// The ring's points without repeats, started at its smallest point and walked in the direction
// of its smaller neighbour, as text: equal rings give equal text whatever their keys and start.
QVector<QPointF> ringPoints(const QString& ring, const PrefFiles& f)
{
    QVector<QPointF> points;
    for (const store::RingPart& part : store::parseRing(ring)) {
        QVector<QPointF> p = f.lines.value(part.key);
        EXPECT_FALSE(p.isEmpty()) << "missing line " << part.key.toStdString();
        if (part.reversed)
            std::reverse(p.begin(), p.end());
        for (const QPointF& q : p) {
            if (points.isEmpty() || points.last().x() != q.x() || points.last().y() != q.y())
                points.append(q);
        }
    }
    if (points.size() > 1 && points.first().x() == points.last().x() && points.first().y() == points.last().y())
        points.removeLast();
    return points;
}

QString canonical(QVector<QPointF> p)
{
    auto less = [](const QPointF& a, const QPointF& b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); };
    if (p.isEmpty())
        return QString();
    std::rotate(p.begin(), std::min_element(p.begin(), p.end(), less), p.end());
    if (p.size() > 2 && less(p.last(), p.at(1)))
        std::reverse(p.begin() + 1, p.end());
    return store::formatLatLonList(p);
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList lineShapes(const PrefFiles& f)
{
    QStringList shapes;
    for (const QVector<QPointF>& p : f.lines) {
        QVector<QPointF> r(p.crbegin(), p.crend());
        shapes << std::min(store::formatLatLonList(p), store::formatLatLonList(r));
    }
    return sorted(shapes);
}

QStringList polygonsWithNames(const PrefFiles& f)
{
    QStringList out;
    for (const store::PolygonRecord& r : f.polygons)
        out << canonical(ringPoints(r.ring, f)) + QLatin1Char('#') + f.nameOf.value(r.key, QStringLiteral("<no name>"));
    return sorted(out);
}

QStringList outlineRings(const PrefFiles& f)
{
    QStringList out;
    for (const QString& ring : f.outline)
        out << canonical(ringPoints(ring, f));
    return sorted(out);
}

class BoundaryRoundTrip : public BoundaryFolder {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(kTokyo))
            GTEST_SKIP() << "shared data absent: " << kTokyo.toStdString();
        BoundaryFolder::SetUp();
    }
};

// Draws 東京都 from the app folder in the three boundary styles.
std::vector<QImage> drawTokyo(const QString& appFolder)
{
    platform::AppFolder::set(appFolder);
    state::resetMdlMain();
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("Pref");
    s.PrefTable[13][0] = QStringLiteral("TRUE");
    s.PrefTable[13][1] = QStringLiteral("東京都");
    app::frmMain window;
    window.show();
    window.初期化();
    std::vector<QImage> images;
    for (int style : {0, 1, 2}) {
        window.findChild<QRadioButton*>(QStringLiteral("optMode_%1").arg(style))->setChecked(true);
        window.描画();
        images.push_back(window.canvas().image().copy());
    }
    return images;
}

TEST_F(BoundaryRoundTrip, TokyoConvertsLikeTheImport)
{
    auto topology = imports::readTopoJson(kTokyo);
    ASSERT_TRUE(topology.ok()) << topology.error().toStdString();
    QByteArray meta, data;
    ASSERT_TRUE(bench::writeBoundaryXml(*topology, 13, [&](const QByteArray& b) { meta += b; }, [&](const QByteArray& b) { data += b; }).ok());
    const auto report = convert::行政区域({inputFile(QStringLiteral("KS-META-N03-21_13.xml"), meta),
                                            inputFile(QStringLiteral("N03-21_13.xml"), data), 13},
                                           tokyoFolder());
    ASSERT_TRUE(report.ok()) << report.error().toStdString();
    EXPECT_TRUE(report->warnings.isEmpty()) << report->warnings.join(QLatin1Char('\n')).toStdString();

    QTemporaryDir imported;
    QFile::copy(path(QStringLiteral("Init.ini")), imported.filePath(QStringLiteral("Init.ini")));
    ASSERT_TRUE(imports::writePrefectureSets(*topology, imported.filePath(QStringLiteral("MapData")), path(QStringLiteral("Init.ini")), {}).ok());

    const PrefFiles converted = readFolder(tokyoFolder());
    const PrefFiles expected = readFolder(imported.filePath(QStringLiteral("MapData/東京都")));
    ASSERT_GT(expected.polygons.size(), 100);
    EXPECT_EQ(lineShapes(converted), lineShapes(expected));
    EXPECT_EQ(polygonsWithNames(converted), polygonsWithNames(expected));
    EXPECT_EQ(outlineRings(converted), outlineRings(expected));

    // Every label point lies on its polygon.
    ASSERT_EQ(converted.points.size(), converted.polygons.size());
    for (qsizetype i = 0; i < converted.polygons.size(); ++i) {
        QVector<QPointF> label;
        ASSERT_TRUE(store::parseLatLonList(converted.points.at(i).point, label) && label.size() == 1);
        EXPECT_EQ(converted.points.at(i).key, store::pointKeyOf(converted.polygons.at(i).key));
        EXPECT_TRUE(imports::isInsideRings(label.first(), {ringPoints(converted.polygons.at(i).ring, converted)}))
            << converted.polygons.at(i).key.toStdString();
    }

    platform::ScopedScriptedPrompts prompts;
    app::frmMain::setAutoLoad(false);
    const std::vector<QImage> mine = drawTokyo(root());
    const std::vector<QImage> theirs = drawTokyo(imported.path());
    app::frmMain::setAutoLoad(true);
    platform::AppFolder::set(root());
    EXPECT_TRUE(prompts.records().empty()) << prompts.last().text.toStdString();
    for (size_t style = 0; style < mine.size(); ++style)
        EXPECT_TRUE(mine[style] == theirs[style]) << "style " << style;
}

} // namespace
