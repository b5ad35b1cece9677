// Importing the published boundaries of Tokyo (when the shared data is present): the files agree
// with each other the way the loaders rely on, and with the municipalities of the source.
#include "imports/label_point.h"
#include "import_fixture.h"
#include "store/coord_list.h"
#include "store/line_file.h"
#include "store/map_keys.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

using namespace miratos::store;

const QString kTokyoFile = QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_13_210101.json");

QSet<QString> codesInSource(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject objects = QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("objects")).toObject();
    QSet<QString> codes;
    for (const QJsonValue& object : objects) {
        for (const QJsonValue& g : object.toObject().value(QLatin1String("geometries")).toArray()) {
            const QString code = g.toObject().value(QLatin1String("properties")).toObject().value(QLatin1String("N03_007")).toString();
            if (!code.isEmpty())
                codes.insert(code);
        }
    }
    return codes;
}

// The ring's points in drawing order; fails the test when a key is missing or the lines do not
// join end to start, including the last back to the first.
QVector<QPointF> closedRing(const QString& ring, const QHash<QString, QVector<QPointF>>& lines)
{
    QVector<QPointF> points;
    const QVector<RingPart> parts = parseRing(ring);
    for (const RingPart& part : parts) {
        const auto found = lines.constFind(part.key);
        if (found == lines.constEnd()) {
            ADD_FAILURE() << "missing line " << part.key.toStdString() << " in " << ring.toStdString();
            return {};
        }
        QVector<QPointF> p = *found;
        if (part.reversed)
            std::reverse(p.begin(), p.end());
        if (!points.isEmpty() && (points.last().x() != p.first().x() || points.last().y() != p.first().y()))
            ADD_FAILURE() << "gap before " << part.key.toStdString() << " in " << ring.toStdString();
        points += p;
    }
    if (points.isEmpty() || points.first().x() != points.last().x() || points.first().y() != points.last().y())
        ADD_FAILURE() << "open ring " << ring.toStdString();
    return points;
}

TEST_F(ImportFolder, TokyoFromPublishedTopoJson)
{
    if (!QFileInfo::exists(kTokyoFile))
        GTEST_SKIP() << "shared data absent: " << kTokyoFile.toStdString();
    ASSERT_EQ(runImport({kTokyoFile}), 0) << err();
    const QString folder = prefFolder(QStringLiteral("東京都")) + QLatin1Char('/');

    const auto lineRecords = readLineFile(folder + QStringLiteral("Line.dat"));
    const auto polygons = readPolygonFile(folder + QStringLiteral("Polygon.dat"));
    const auto points = readPointFile(folder + QStringLiteral("Point.dat"));
    const auto outline = readPrefLineFile(folder + QStringLiteral("PrefLine.dat"));
    const auto tiku = readTikuFile(folder + QStringLiteral("Tiku.dat"));
    ASSERT_TRUE(lineRecords.ok() && polygons.ok() && points.ok() && outline.ok() && tiku.ok());
    ASSERT_TRUE(QFileInfo::exists(folder + QStringLiteral("NEWS.dat")));

    QHash<QString, QVector<QPointF>> lines;
    for (const LineRecord& r : *lineRecords) {
        QVector<QPointF> p;
        EXPECT_TRUE(parseLatLonList(r.coords, p) && p.size() >= 2) << r.key.toStdString();
        EXPECT_TRUE(r.key.startsWith(QLatin1String("13c")) && !r.key.contains(QLatin1Char('a'))) << r.key.toStdString();
        lines.insert(r.key, p);
    }

    QSet<QString> tikuCodes;
    QSet<QString> polygonKeys;
    for (const PolygonRecord& r : *polygons)
        polygonKeys.insert(r.key);
    for (const TikuRecord& r : *tiku) {
        tikuCodes.insert(r.code);
        EXPECT_TRUE(polygonKeys.contains(r.polygonKey)) << r.polygonKey.toStdString();
        EXPECT_TRUE(r.nameParts.startsWith(QStringLiteral("東京都@"))) << r.nameParts.toStdString();
    }
    EXPECT_EQ(tikuCodes, codesInSource(kTokyoFile));
    EXPECT_EQ(tiku->size(), polygons->size());

    // Every polygon ring closes, and its label point lies inside it.
    ASSERT_EQ(points->size(), polygons->size());
    for (qsizetype i = 0; i < polygons->size(); ++i) {
        const PolygonRecord& r = polygons->at(i);
        EXPECT_EQ(points->at(i).key, pointKeyOf(r.key));
        const QVector<QPointF> ring = closedRing(r.ring, lines);
        QVector<QPointF> label;
        ASSERT_TRUE(parseLatLonList(points->at(i).point, label) && label.size() == 1);
        EXPECT_TRUE(miratos::imports::isInsideRings(label.first(), {ring})) << r.key.toStdString();
    }

    EXPECT_FALSE(outline->isEmpty());
    for (const QString& ring : *outline)
        closedRing(ring, lines);
}

} // namespace
