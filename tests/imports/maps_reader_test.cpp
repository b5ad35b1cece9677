// The R maps database reader on small databases written here, and prefecture areas.
#include "imports/area_table.h"
#include "imports/maps_reader.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtMath>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace imports = miratos::imports;

namespace {

using miratos::imports::BoundaryTopology;
using miratos::imports::TopoLine;
using miratos::imports::TopoLineRef;
using miratos::imports::TopoMunicipality;
using miratos::imports::TopoPolygon;
using miratos::imports::TopoRing;

// Rings as text: 0-based line indexes joined by "@", "_" before a reversed one.
QString ringsText(const TopoPolygon& polygon)
{
    QStringList rings;
    for (const TopoRing& ring : polygon.rings) {
        QStringList refs;
        for (const TopoLineRef& ref : ring)
            refs.append((ref.reversed ? QStringLiteral("_") : QString()) + QString::number(ref.line));
        rings.append(refs.join(QLatin1Char('@')));
    }
    return rings.join(QLatin1Char(' '));
}

// Writes the three files of a maps database: spherical coordinates (radians) as R builds them.
struct MapsDb {
    QVector<QVector<QPointF>> lines; // degrees
    QVector<QVector<qint32>> polygons; // signed 1-based line numbers
    QByteArray names;
    QDataStream::ByteOrder order = QDataStream::LittleEndian;
    qint32 coordinateType = 2;

    QByteArray lineFile() const
    {
        QByteArray bytes;
        QDataStream s(&bytes, QIODevice::WriteOnly);
        configure(s);
        s << coordinateType << qint32(lines.size());
        qint32 offset = 8 + 28 * qint32(lines.size());
        for (const auto& line : lines) {
            s << offset << quint16(line.size()) << quint16(0) << quint16(0) << quint16(0);
            s << 0.0f << 0.0f << 0.0f << 0.0f; // extent, not used by the reader
            offset += 8 * qint32(line.size());
        }
        for (const auto& line : lines) {
            for (const QPointF& p : line)
                s << float(qDegreesToRadians(p.x())) << float(qDegreesToRadians(p.y()));
        }
        return bytes;
    }

    QByteArray polygonFile() const
    {
        QByteArray bytes;
        QDataStream s(&bytes, QIODevice::WriteOnly);
        configure(s);
        s << quint16(polygons.size());
        qint32 offset = 2 + 24 * qint32(polygons.size());
        for (const auto& polygon : polygons) {
            s << offset << qint32(polygon.size()) << 0.0f << 0.0f << 0.0f << 0.0f;
            offset += 4 * qint32(polygon.size());
        }
        for (const auto& polygon : polygons) {
            for (qint32 ref : polygon)
                s << ref;
        }
        return bytes;
    }

private:
    void configure(QDataStream& s) const
    {
        s.setByteOrder(order);
        s.setFloatingPointPrecision(QDataStream::SinglePrecision);
    }
};

// Two squares sharing the line x = 1 (the second walks it backwards), and an island of the first
// square's prefecture. Names in mixed case, with and without a ":" suffix.
MapsDb twoPrefectures()
{
    MapsDb db;
    db.lines = {{{1, 0}, {1, 1}},
                {{1, 1}, {0, 1}, {0, 0}, {1, 0}},
                {{1, 0}, {2, 0}, {2, 1}, {1, 1}},
                {{5, 5}, {5.5, 5}, {5, 5.5}, {5, 5}}};
    db.polygons = {{1, 2}, {-1, 3}, {4}};
    db.names = "Kagawa\t1\nTokushima:\t2\nKAGAWA:\t3\n";
    return db;
}

class MapsReader : public ::testing::Test {
protected:
    QString write(const MapsDb& db) { return writeFiles(db.lineFile(), db.polygonFile(), db.names); }

    QString writeFiles(const QByteArray& l, const QByteArray& g, const QByteArray& n)
    {
        const QString base = m_dir.filePath(QStringLiteral("japan"));
        for (const auto& [suffix, bytes] : {std::pair{".L", l}, std::pair{".G", g}, std::pair{".N", n}}) {
            QFile file(base + QLatin1String(suffix));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        return base;
    }

    QTemporaryDir m_dir;
};

TEST_F(MapsReader, ReadsLinesPolygonsAndPrefecturesInEitherByteOrder)
{
    for (const auto order : {QDataStream::LittleEndian, QDataStream::BigEndian}) {
        SCOPED_TRACE(order == QDataStream::LittleEndian ? "little-endian" : "big-endian");
        MapsDb db = twoPrefectures();
        db.order = order;
        const QString base = write(db);
        const auto topology = miratos::imports::readMapsDatabase(base + QStringLiteral(".G"));
        ASSERT_TRUE(topology.ok()) << topology.error().toStdString();

        EXPECT_TRUE(topology->credit.contains(QStringLiteral("mapdata"))) << topology->credit.toStdString(); // not 国土数値情報
        ASSERT_EQ(topology->lines.size(), 4);
        for (qsizetype i = 0; i < db.lines.size(); ++i)
            EXPECT_EQ(topology->lines[i].points, db.lines[i]) << "line " << i + 1;

        // Code order: 徳島県 (36) before 香川県 (37), whatever the order in the name file.
        const auto& m = topology->municipalities;
        ASSERT_EQ(m.size(), 2);
        EXPECT_EQ(m[0].prefCode, 36);
        EXPECT_EQ(m[0].code, QStringLiteral("36000"));
        EXPECT_EQ(m[0].nameParts, QStringList{QStringLiteral("徳島県")});
        ASSERT_EQ(m[0].polygons.size(), 1);
        EXPECT_EQ(ringsText(m[0].polygons[0]), QStringLiteral("_0@2"));
        EXPECT_EQ(m[1].code, QStringLiteral("37000"));
        EXPECT_EQ(m[1].nameParts, QStringList{QStringLiteral("香川県")});
        ASSERT_EQ(m[1].polygons.size(), 2);
        EXPECT_EQ(ringsText(m[1].polygons[0]), QStringLiteral("0@1"));
        EXPECT_EQ(ringsText(m[1].polygons[1]), QStringLiteral("3"));

        EXPECT_TRUE(miratos::imports::isMapsDatabase(base));
        EXPECT_TRUE(miratos::imports::isMapsDatabase(base + QStringLiteral(".N")));
    }
    EXPECT_FALSE(miratos::imports::isMapsDatabase(m_dir.filePath(QStringLiteral("other"))));
}

TEST(MapsPrefectureNames, RomanisedNamesMapToJisCodes)
{
    const std::pair<const char*, int> cases[] = {
        {"Hokkaido", 1}, {"NARA", 29}, {"Hyōgo", 28}, {" Ōita ", 44}, {"okinawa", 47}, {"Atlantis", 0}, {"", 0}};
    for (const auto& [name, code] : cases)
        EXPECT_EQ(miratos::imports::prefectureCodeFromRomaji(QString::fromUtf8(name)), code) << name;
}

TEST_F(MapsReader, BadFilesAreErrorsNamingTheFile)
{
    struct Case {
        const char* what;
        std::function<void(MapsDb&)> spoil;
        const char* file;
        const char* mention;
    };
    const Case cases[] = {
        {"unknown coordinate type", [](MapsDb& db) { db.coordinateType = 7; }, "japan.L", "種類 7"},
        {"line beyond the last", [](MapsDb& db) { db.polygons[1] = {-1, 9}; }, "japan.G", "線 9"},
        {"line number zero", [](MapsDb& db) { db.polygons[2] = {0}; }, "japan.G", "線 0"},
        {"unknown region", [](MapsDb& db) { db.names.replace("Tokushima", "Atlantis"); }, "japan.N", "Atlantis"},
        {"polygon number out of range", [](MapsDb& db) { db.names += "Nara\t4\n"; }, "japan.N", "Nara\t4"},
        {"polygon without a name", [](MapsDb& db) { db.names = "Kagawa\t1\nKagawa\t3\n"; }, "japan.N", "多角形 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MapsDb db = twoPrefectures();
        c.spoil(db);
        const auto topology = miratos::imports::readMapsDatabase(write(db));
        ASSERT_FALSE(topology.ok());
        EXPECT_TRUE(topology.error().contains(QLatin1String(c.file))) << topology.error().toStdString();
        EXPECT_TRUE(topology.error().contains(QString::fromUtf8(c.mention))) << topology.error().toStdString();
    }
}

TEST_F(MapsReader, EveryTruncationOfABinaryFileIsAnError)
{
    const MapsDb db = twoPrefectures();
    const QByteArray l = db.lineFile(), g = db.polygonFile();
    for (qsizetype size = 0; size < l.size(); ++size) {
        const auto topology = miratos::imports::readMapsDatabase(writeFiles(l.left(size), g, db.names));
        ASSERT_FALSE(topology.ok()) << ".L cut to " << size;
        EXPECT_TRUE(topology.error().contains(QLatin1String("japan.L"))) << topology.error().toStdString();
    }
    for (qsizetype size = 0; size < g.size(); ++size) {
        const auto topology = miratos::imports::readMapsDatabase(writeFiles(l, g.left(size), db.names));
        ASSERT_FALSE(topology.ok()) << ".G cut to " << size;
        EXPECT_TRUE(topology.error().contains(QLatin1String("japan.G"))) << topology.error().toStdString();
    }
}

// Area between two parallels and two meridians on the WGS84 ellipsoid by Simpson's rule over
// M(φ)·N(φ)·cos φ, independent of the closed form the code uses.
double referenceAreaKm2(double west, double east, double south, double north)
{
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = f * (2 - f);
    auto integrand = [&](double phi) {
        const double w = 1 - e2 * std::sin(phi) * std::sin(phi);
        return a * (1 - e2) / std::pow(w, 1.5) * a / std::sqrt(w) * std::cos(phi);
    };
    const int n = 2000;
    const double lo = qDegreesToRadians(south), h = (qDegreesToRadians(north) - lo) / n;
    double sum = integrand(lo) + integrand(lo + n * h);
    for (int i = 1; i < n; ++i)
        sum += integrand(lo + i * h) * (i % 2 ? 4 : 2);
    return qDegreesToRadians(east - west) * sum * h / 3 / 1e6;
}

QVector<QPointF> rectangle(double west, double south, double east, double north)
{
    return {{west, south}, {east, south}, {east, north}, {west, north}, {west, south}};
}

TEST(PrefectureArea, RectanglesOnTheEllipsoidWithHolesAndEitherDirection)
{
    imports::BoundaryTopology t;
    t.lines = {{rectangle(0, 0, 1, 1)}, {rectangle(139, 35, 140, 36)}, {rectangle(139.25, 35.25, 139.75, 35.5)}};
    const double equator = referenceAreaKm2(0, 1, 0, 1);
    EXPECT_NEAR(equator, 12308.46, 0.01); // not the 12,364 of a 6371 km sphere
    const double tokyo = referenceAreaKm2(139, 140, 35, 36);
    const double hole = referenceAreaKm2(139.25, 139.75, 35.25, 35.5);

    using miratos::imports::polygonAreaKm2;
    using miratos::imports::ringAreaKm2;
    EXPECT_NEAR(imports::ringAreaKm2(t, {{0, false}}), equator, 1e-6 * equator);
    EXPECT_NEAR(imports::ringAreaKm2(t, {{0, true}}), equator, 1e-6 * equator);
    EXPECT_NEAR(imports::polygonAreaKm2(t, imports::TopoPolygon{{{{1, false}}, {{2, false}}}}), tokyo - hole, 1e-6 * tokyo);
    EXPECT_NEAR(imports::polygonAreaKm2(t, imports::TopoPolygon{{{{1, true}}, {{2, true}}}}), tokyo - hole, 1e-6 * tokyo);
}

TEST(PrefectureArea, TableIsCp932InCodeOrderRoundedToOneDecimal)
{
    imports::BoundaryTopology t;
    t.lines = {{rectangle(0, 0, 1, 1)}, {rectangle(0, -1, 1, 0)}};
    const TopoPolygon north{{{{0, false}}}}, south{{{{1, true}}}};
    t.municipalities = {imports::TopoMunicipality{37, QStringLiteral("37000"), {QStringLiteral("香川県")}, {north}},
                        imports::TopoMunicipality{1, QStringLiteral("01100"), {}, {north}},
                        imports::TopoMunicipality{1, QStringLiteral("01202"), {}, {south}}};
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("MapData/demo/面積.csv"));
    const auto written = miratos::imports::writeAreaTable(t, csv);
    ASSERT_TRUE(written.ok()) << written.error().toStdString();

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // 12308.464 km² per square; "㎡" is 0x87 0x75, the names are CP932.
    const QByteArray expected = QByteArray("Code,\x92\x6e\x8b\xe6\x96\xbc,\x96\xca\x90\xcf(k\x87\x75)\r\n")
        + "01,\x96\x6b\x8a\x43\x93\xb9,24616.9\r\n" + "37,\x8d\x81\x90\xec\x8c\xa7,12308.5\r\n";
    EXPECT_EQ(file.readAll(), expected);
}

} // namespace
