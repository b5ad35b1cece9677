// The railway conversion: golden files from a hand-written XML, the record rules (RAS line,
// "rr" → "st", curves sorted by the stations), and malformed input stopping before anything is
// written.
#include "convert/railway_converter.h"
#include "platform/cp932.h"
#include "store/railway_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;

namespace {

const QString kFixtures = QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/railway/");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A golden file is kept as UTF-8 with LF; the converter writes CP932 with CR LF.
QByteArray golden(const QString& name)
{
    QString text = QString::fromUtf8(readAll(kFixtures + name + QStringLiteral(".golden")));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return *platform::toCp932(text);
}

class RailwayConversion : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(out())); }
    QString out() const { return m_dir.filePath(QStringLiteral("鉄道")); }
    QString file(const QString& name) const { return QDir(out()).filePath(name); }
    QString input(const QString& name, const QByteArray& xml) const
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
        return path;
    }

private:
    QTemporaryDir m_dir;
};

// The frame of a data file around its elements.
QByteArray dataset(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset xmlns:ksj=\"k\" xmlns:jps=\"j\">\n" + body + "</ksj:Dataset>\n";
}
QByteArray point(const char* id, const char* coord)
{
    return QByteArray("<jps:GM_Point id=\"") + id + "\"><jps:DirectPosition><DirectPosition.coordinate>" + coord
           + "</DirectPosition.coordinate></jps:DirectPosition></jps:GM_Point>\n";
}
QByteArray curve(const char* id, const char* from, const char* to)
{
    return QByteArray("<jps:GM_Curve id=\"") + id + "\"><GM_PointRef.point idref=\"" + from + "\"/><GM_PointRef.point idref=\""
           + to + "\"/></jps:GM_Curve>\n";
}
QByteArray station(const char* id, const char* loc, const char* name)
{
    return QByteArray("<ksj:EB03 id=\"") + id + "\"><ksj:LOC idref=\"" + loc + "\"/><ksj:STN>" + name + "</ksj:STN></ksj:EB03>\n";
}

} // namespace

TEST_F(RailwayConversion, WritesTheGoldenFilesFromAHandWrittenDataFile)
{
    qint64 lastCounter = 0;
    convert::RailwayProgress progress;
    progress.counter = [&](qint64 c) { lastCounter = c; };
    const auto report = convert::鉄道(kFixtures + QStringLiteral("N02-test.xml"), out(), progress);
    ASSERT_TRUE(report) << report.error().toStdString();
    for (const char* name : {"Rosen.dat", "Eki.dat", "Line_rr.dat", "Line_st.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readAll(file(QString::fromLatin1(name))), golden(QString::fromLatin1(name)));
    }
    EXPECT_EQ(report->points, 7);
    EXPECT_EQ(report->sections, 3);
    EXPECT_EQ(report->stations, 3);
    EXPECT_EQ(report->railCurves, 3);
    EXPECT_EQ(report->stationCurves, 2); // a curve two stations share is written once
    EXPECT_GT(report->counter, 0);
    EXPECT_EQ(lastCounter, 0); // fewer nodes than the first progress interval
}

TEST(RailwayConverterIds, EveryRrIsReplacedLeftToRight)
{
    EXPECT_EQ(convert::stationCurveId(QStringLiteral("cv_rr5_rr")), QStringLiteral("cv_st5_st"));
    EXPECT_EQ(convert::stationCurveId(QStringLiteral("rrr")), QStringLiteral("str"));
    EXPECT_EQ(convert::stationCurveId(QStringLiteral("cv1")), QStringLiteral("cv1"));
}

TEST_F(RailwayConversion, ASecondRunClassifiesCurvesByItsOwnStationsOnly)
{
    const QByteArray points = point("p1", "35 139") + point("p2", "35.1 139.1");
    const QString first = input(QStringLiteral("a.xml"), dataset(points + curve("cv_rr1", "p1", "p2") + station("s1", "cv_rr1", "A")));
    const QString second = input(QStringLiteral("b.xml"), dataset(points + curve("cv_rr1", "p1", "p2") + curve("cv_rr2", "p2", "p1")
                                                                  + station("s2", "cv_rr2", "B")));
    ASSERT_TRUE(convert::鉄道(first, out()));
    EXPECT_EQ(readAll(file(QStringLiteral("Line_rr.dat"))), QByteArray());
    ASSERT_TRUE(convert::鉄道(second, out()));
    EXPECT_EQ(readAll(file(QStringLiteral("Line_rr.dat"))), QByteArray("cv_rr1\r\n35 139 35.1 139.1\r\n"));
    EXPECT_EQ(readAll(file(QStringLiteral("Line_st.dat"))), QByteArray("cv_st2\r\n35.1 139.1 35 139\r\n"));
}

// Input that would shift the records stops the conversion; the files of an earlier run stay.
TEST_F(RailwayConversion, MalformedInputIsReportedWithFileAndElementAndWritesNothing)
{
    const QByteArray points = point("p1", "35 139") + point("p2", "35.1 139.1");
    const QByteArray section = "<ksj:EB02 id=\"e1\"><ksj:LOC idref=\"cv_rr1\"/><ksj:RAC>11</ksj:RAC><ksj:INT>2</ksj:INT>";
    const struct {
        const char* name;
        QByteArray xml;
        const char* expected;
    } cases[] = {
        {"unknown point", dataset(points + curve("cv_rr1", "p1", "p9")), "jps:GM_Curve「cv_rr1」: 点「p9」がありません"},
        {"section without line name", dataset(points + section + "</ksj:EB02>\n"), "ksj:EB02「e1」: ksj:LIN がありません"},
        {"two RAS", dataset(points + section + "<ksj:LIN>L</ksj:LIN><ksj:RAS idref=\"r\"/><ksj:RAS idref=\"r\"/></ksj:EB02>\n"),
         "ksj:EB02「e1」: ksj:RAS が重複しています"},
        {"station without name", dataset(points + "<ksj:EB03 id=\"s1\"><ksj:LOC idref=\"cv_rr1\"/></ksj:EB03>\n"),
         "ksj:EB03「s1」: ksj:STN がありません"},
        {"curve without end point",
         dataset(points + "<jps:GM_Curve id=\"cv_rr1\"><GM_PointRef.point idref=\"p1\"/></jps:GM_Curve>\n"),
         "jps:GM_Curve「cv_rr1」: 終点（GM_PointRef.point）がありません"},
        {"coordinate that is not a number", dataset(point("p1", "35 east")), "jps:GM_Point「p1」: 座標「35 east」が「緯度 経度」ではありません"},
        {"not XML", "<ksj:Dataset><jps:GM_Point", ""},
    };
    ASSERT_TRUE(convert::鉄道(kFixtures + QStringLiteral("N02-test.xml"), out()));
    const QByteArray before = readAll(file(QStringLiteral("Rosen.dat")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = input(QStringLiteral("bad.xml"), c.xml);
        const auto report = convert::鉄道(path, out());
        ASSERT_FALSE(report);
        EXPECT_TRUE(report.error().startsWith(QDir::toNativeSeparators(path))) << report.error().toStdString();
        EXPECT_TRUE(report.error().contains(QString::fromUtf8(c.expected))) << report.error().toStdString();
        EXPECT_EQ(readAll(file(QStringLiteral("Rosen.dat"))), before);
    }
}

TEST_F(RailwayConversion, AMissingFolderOrFileIsReported)
{
    const auto noFolder = convert::鉄道(kFixtures + QStringLiteral("N02-test.xml"), out() + QStringLiteral("/none"));
    ASSERT_FALSE(noFolder);
    EXPECT_TRUE(noFolder.error().contains(QStringLiteral("フォルダがありません"))) << noFolder.error().toStdString();
    const auto noFile = convert::鉄道(out() + QStringLiteral("/missing.xml"), out());
    ASSERT_FALSE(noFile);
    EXPECT_TRUE(noFile.error().contains(QStringLiteral("missing.xml")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("Rosen.dat"))));
}
