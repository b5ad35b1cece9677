// "miratos convert boundary": the boundary conversion without a window, its exit codes and report.
#include "../convert/boundary_fixture.h"
#include "cli/convert_command.h"

namespace {

using miratos::bench::BoundaryXmlWriter;

class ConvertCommand : public BoundaryFolder {
protected:
    int run(const QStringList& args)
    {
        m_out.clear();
        m_err.clear();
        QTextStream out(&m_out), err(&m_err);
        return miratos::cli::runConvertCommand(args, out, err);
    }
    QString m_out, m_err;
};

TEST_F(ConvertCommand, ConvertsIntoThePrefectureFolderAndReportsProblems)
{
    const QString meta = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), metaXml());
    const QString data = inputFile(QStringLiteral("N03-21_13.xml"), dataXml([](BoundaryXmlWriter& w) {
        w.point("n1", "35 139");
        w.curve("cv1", "n1", {"35 140", "36 140"}, "n1");
        w.surface("sf1ec", {{"rn1_ec1", {"cv1"}}});
        w.feature("ec1", "sf1ec", QStringLiteral("東京都"), {}, QStringLiteral("島"), QStringLiteral("13999"));
    }));
    const QString pref = QStringLiteral("--pref"), m = QStringLiteral("--meta"), d = QStringLiteral("--data");
    const QString boundary = QStringLiteral("boundary");

    ASSERT_EQ(run({boundary, pref, QStringLiteral("13"), m, meta, d, data}), 0) << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("東京都: 変換終了！ 点 1, 線 1, 面 1, 外周 1, 市区町村 1 件"))) << m_out.toStdString();
    EXPECT_EQ(fileText(QStringLiteral("PrefLine.dat")), "13c1\r\n");

    // The prefecture's folder must exist.
    EXPECT_EQ(run({boundary, pref, QStringLiteral("14"), m, meta, d, data}), 1);
    EXPECT_TRUE(m_err.startsWith(QStringLiteral("miratos convert: 出力先のフォルダ"))) << m_err.toStdString();
    EXPECT_TRUE(m_err.contains(QStringLiteral("県14"))) << m_err.toStdString();

    const QStringList wrong[] = {
        {},
        {QStringLiteral("railway"), pref, QStringLiteral("13"), m, meta, d, data},
        {boundary, pref, QStringLiteral("13"), m, meta},
        {boundary, pref, QStringLiteral("48"), m, meta, d, data},
        {boundary, pref, QStringLiteral("13"), m, meta, d, data, QStringLiteral("--force")},
        {boundary, pref, QStringLiteral("13"), m, meta, d, QStringLiteral("N03-21_13.XML")},
    };
    for (const QStringList& args : wrong) {
        EXPECT_EQ(run(args), 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(m_err.contains(QStringLiteral("usage: miratos convert boundary"))) << m_err.toStdString();
    }
}

// A [Pref] value that is no plain folder name gives way to the built-in prefecture name, so the
// output stays in MapData; a feature left out is printed with its identifier.
TEST_F(ConvertCommand, PrefValueLeadingOutOfMapDataFallsBackAndSkippedFeaturesArePrinted)
{
    QStringList ini{QStringLiteral("[Pref]")};
    for (int i = 1; i <= 47; ++i)
        ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
    ini[13] = QStringLiteral("13=..\\x");
    ASSERT_TRUE(miratos::platform::writeTextLines(path(QStringLiteral("Init.ini")), ini).ok());
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("x"))));
    const QString meta = inputFile(QStringLiteral("KS-META-N03-21_13.xml"), metaXml());
    const QString data = inputFile(QStringLiteral("N03-21_13.xml"), dataXml([](BoundaryXmlWriter& w) {
        w.point("n1", "35 139");
        w.curve("cv1", "n1", {"35 140", "36 140"}, "n1");
        w.curve("cv2", "n1", {}, "n9");
        w.surface("sf1ec", {{"rn1_ec1", {"cv1"}}});
        w.feature("ec1", "sf1ec", QStringLiteral("東京都"), {}, QStringLiteral("島"), QStringLiteral("13999"));
    }));
    ASSERT_EQ(run({QStringLiteral("boundary"), QStringLiteral("--pref"), QStringLiteral("13"), QStringLiteral("--meta"), meta,
                   QStringLiteral("--data"), data}),
              0)
        << m_err.toStdString();
    EXPECT_EQ(fileText(QStringLiteral("PrefLine.dat")), "13c1\r\n");
    EXPECT_TRUE(QDir(path(QStringLiteral("x"))).isEmpty());
    EXPECT_TRUE(m_out.contains(QStringLiteral("東京都: 注意: "))) << m_out.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("jps:GM_Curve「cv2」"))) << m_out.toStdString();
}

} // namespace

namespace {

TEST_F(ConvertCommand, ConvertsRailwaysIntoTheRailwayFolder)
{
    QFile fixture(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/railway/N02-test.xml"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QString data = inputFile(QStringLiteral("N02-07.xml"), fixture.readAll());
    const QStringList args = {QStringLiteral("railway"), QStringLiteral("--data"), data};

    EXPECT_EQ(run(args), 1) << "MapData/鉄道 does not exist yet";
    EXPECT_TRUE(m_err.contains(QStringLiteral("出力先のフォルダがありません"))) << m_err.toStdString();

    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("MapData/鉄道"))));
    ASSERT_EQ(run(args), 0) << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("鉄道: 変換終了！ 点 7, 鉄道区間 3, 駅 3, 鉄道の曲線 3, 駅の曲線 2 件"))) << m_out.toStdString();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("MapData/鉄道/Eki.dat"))));

    EXPECT_EQ(run({QStringLiteral("railway"), QStringLiteral("--data"), data + QStringLiteral(".txt")}), 2);
    EXPECT_TRUE(m_err.contains(QStringLiteral("miratos convert railway [--app-folder DIR] --data"))) << m_err.toStdString();
}

TEST_F(ConvertCommand, ConvertsRoadsAndRoadNamesWithoutAWindow)
{
    auto fixture = [](const char* name) {
        QFile f(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/road/") + QString::fromUtf8(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QString roads = inputFile(QStringLiteral("N13.txt"), fixture("N13.txt"));
    const QString names = inputFile(QStringLiteral("N00台.txt"), fixture("N00台.txt"));

    ASSERT_EQ(run({QStringLiteral("road"), QStringLiteral("--pref"), QStringLiteral("13"), QStringLiteral("--data"), roads}), 0)
        << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("東京都: 注意: N13.txt 11 行目"))) << m_out.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("東京都: 変換終了！ 14 行から 5 本の道路を"))) << m_out.toStdString();
    QFile road(path(QStringLiteral("MapData/東京都/Road.dat")));
    ASSERT_TRUE(road.open(QIODevice::ReadOnly));
    EXPECT_EQ(road.readAll(), fixture("Road.expected.dat"));

    ASSERT_EQ(run({QStringLiteral("road-name"), QStringLiteral("--data"), names}), 0) << m_err.toStdString();
    QFile roadNames(path(QStringLiteral("MapData/RoadName.dat")));
    ASSERT_TRUE(roadNames.open(QIODevice::ReadOnly));
    EXPECT_EQ(roadNames.readAll(), fixture("RoadName.expected.dat"));

    // Wrong options: the usage, nothing converted.
    for (const QStringList& args : {QStringList{QStringLiteral("road"), QStringLiteral("--data"), roads},
                                    QStringList{QStringLiteral("road"), QStringLiteral("--pref"), QStringLiteral("48"), QStringLiteral("--data"), roads},
                                    QStringList{QStringLiteral("road-name"), QStringLiteral("--data"), names + QStringLiteral(".xml")}}) {
        EXPECT_EQ(run(args), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(m_err.contains(QStringLiteral("miratos convert road-name [--app-folder DIR] --data"))) << m_err.toStdString();
    }
}

TEST_F(ConvertCommand, ConvertsFacilitiesIntoThePrefectureFolder)
{
    QFile fixture(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/facility/P37-facilities.xml"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QString data = inputFile(QStringLiteral("P13-06.xml"), fixture.readAll());
    ASSERT_EQ(run({QStringLiteral("facility"), QStringLiteral("--pref"), QStringLiteral("13"), QStringLiteral("--data"), data}), 0)
        << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("公共施設: 変換終了！ 点 3, 施設 3 件"))) << m_out.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("「ERROR」"))) << "the test's Init.ini has no code tables";
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("MapData/東京都/Build.dat"))));

    EXPECT_EQ(run({QStringLiteral("facility"), QStringLiteral("--pref"), QStringLiteral("48"), QStringLiteral("--data"), data}), 2);
    EXPECT_TRUE(m_err.contains(QStringLiteral("miratos convert facility"))) << m_err.toStdString();
    EXPECT_EQ(run({QStringLiteral("facility"), QStringLiteral("--pref"), QStringLiteral("14"), QStringLiteral("--data"), data}), 1)
        << "神奈川県 has no folder";
    EXPECT_TRUE(m_err.contains(QStringLiteral("出力先のフォルダがありません"))) << m_err.toStdString();
}

} // namespace

// "miratos convert census": the prefecture edition with --pref, the nationwide one without;
// the table comes from the workbook's name.
TEST_F(ConvertCommand, CensusWorkbooksWithoutAWindow)
{
    const QString fixtures = QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/census/");
    const auto same = [](const QString& a, const QString& b) {
        QFile x(a), y(b);
        return x.open(QIODevice::ReadOnly) && y.open(QIODevice::ReadOnly) && x.readAll() == y.readAll();
    };
    const QString census = QStringLiteral("census");
    ASSERT_EQ(run({census, QStringLiteral("--pref"), QStringLiteral("13"), fixtures + QStringLiteral("12a003.xls")}), 0)
        << m_err.toStdString();
    EXPECT_TRUE(m_out.contains(QStringLiteral("変換終了！")));
    EXPECT_TRUE(same(tokyoFolder() + QStringLiteral("/statistic2.csv"), fixtures + QStringLiteral("P_12a003.csv")));

    const QString nationwide = path(QStringLiteral("変換フォルダ/17a002.xls"));
    ASSERT_TRUE(QFile::copy(fixtures + QStringLiteral("J17a002.xls"), nationwide));
    ASSERT_EQ(run({census, nationwide}), 0) << m_err.toStdString();
    EXPECT_TRUE(same(path(QStringLiteral("MapData/statistic2.csv")), fixtures + QStringLiteral("J_17a002.csv")));

    // A name that is no table of the edition, and a missing file, fail and name the file.
    EXPECT_EQ(run({census, fixtures + QStringLiteral("12a001.xls")}), 1);
    EXPECT_TRUE(m_err.contains(QStringLiteral("12a001.xls"))) << m_err.toStdString();
    EXPECT_EQ(run({census, QStringLiteral("--pref"), QStringLiteral("13"), path(QStringLiteral("12a001.xls"))}), 1);
    EXPECT_TRUE(m_err.contains(QStringLiteral("12a001.xls"))) << m_err.toStdString();
    EXPECT_EQ(run({census}), 2);
    EXPECT_EQ(run({census, QStringLiteral("--pref"), QStringLiteral("0"), nationwide}), 2);
}
