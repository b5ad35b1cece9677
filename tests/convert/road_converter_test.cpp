// The road conversions: golden files from hand-written fixed-width sources (CP932), the
// tenths-of-a-second conversion, field borders counted in bytes, malformed lines reported with
// their line number while the rest is converted, and files replaced only when written whole.
#include "convert/road_converter.h"
#include "platform/number_text.h"
#include "store/road_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;

namespace {

const QString kFixtures = QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/road/");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

TEST(RoadDegrees, TenthsOfASecondOfArcBecomeSinglePrecisionDegrees)
{
    struct Case {
        qint64 tenths;
        const char* written;
    } cases[] = {
        {5030123, "139.7256"},   // 139°43'32.3"
        {1287000, "35.75"},      // 35°45'00.0": the last digit 0, whole seconds
        {1287001, "35.75003"},   // one tenth more
        {5036000, "139.8889"},   // 139°53'20"
        {4536004, "126.0001"},   // 126°00'00.4"
        {36000, "1"},            // exactly one degree
        {0, "0"},
        {1, "2.777778E-05"},     // 0.1": below 10^-4 the exponent form
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::formatSingle(convert::degreesFromTenths(c.tenths)), QString::fromLatin1(c.written)) << c.tenths;
        QByteArray bytes;
        store::appendRoadValue(bytes, convert::degreesFromTenths(c.tenths));
        EXPECT_EQ(bytes, QByteArray(c.written) + ' ') << c.tenths;
    }
    // The value is formed as specified: seconds with their tenth, then minutes and degrees added.
    EXPECT_EQ(convert::degreesFromTenths(5030123), static_cast<float>(32.3 / 3600 + (43.0 / 60 + 139)));
}

class RoadConversion : public ::testing::Test {
protected:
    QString folder(const QString& name) const
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

TEST_F(RoadConversion, RoadDataGivesOneLinePerRoadWithItsKey)
{
    const QString out = folder(QStringLiteral("東京都"));
    const auto result = convert::道路(kFixtures + QStringLiteral("N13.txt"), out);
    ASSERT_TRUE(result.ok()) << result.error().toStdString();
    // Header lines skipped; "0" in column 35 and an unreadable flag give "@"; two "L" lines in a
    // row give a road without points; coordinate lines of one road joined on its line; no line
    // end after the last road.
    EXPECT_EQ(readAll(QDir(out).filePath(QStringLiteral("Road.dat"))), readAll(kFixtures + QStringLiteral("Road.expected.dat")));
    EXPECT_EQ(result->sourceLines, 14);
    EXPECT_EQ(result->records, 5);
    EXPECT_EQ(result->problems,
              (QStringList{QStringLiteral("N13.txt 11 行目: 座標が整数ではありません（この行を飛ばしました）"),
                           QStringLiteral("N13.txt 13 行目: 35 桁目が数字ではありません（路線番号なしとしました）")}));
}

TEST_F(RoadConversion, RoadNamesAreCutAtBytePositions)
{
    const QString mapData = folder(QStringLiteral("MapData"));
    const auto result = convert::道路名(kFixtures + QStringLiteral("N00台.txt"), mapData);
    ASSERT_TRUE(result.ok()) << result.error().toStdString();
    // Double-byte names fill their 24 and 22 bytes exactly (12 characters are 24 bytes, not 12
    // characters of 24); half-width katakana count one byte; a short line ends its fields early.
    EXPECT_EQ(readAll(QDir(mapData).filePath(QStringLiteral("RoadName.dat"))), readAll(kFixtures + QStringLiteral("RoadName.expected.dat")));
    EXPECT_EQ(result->records, 5);
    EXPECT_EQ(result->problems,
              (QStringList{QStringLiteral("N00台.txt 6 行目: 全角文字が 42/43 バイト目にまたがっています（前の欄に入れました）"),
                           QStringLiteral("N00台.txt 7 行目: 路線番号がありません（この行を飛ばしました）"),
                           QStringLiteral("N00台.txt 8 行目: 「@」を含む欄があります（この行を飛ばしました）")}));

    // The written file reads back with the five fields.
    const store::RoadNameRead read = store::readRoadNames(QDir(mapData).filePath(QStringLiteral("RoadName.dat")));
    ASSERT_EQ(read.rows.size(), 5u);
    EXPECT_EQ(read.rows[1], (store::RoadNameRow{QStringLiteral("R357"), QStringLiteral("2"), QStringLiteral("東京湾岸道路千葉県区間一"),
                                                QStringLiteral("湾岸 ﾜﾝｶﾞﾝ"), QStringLiteral("千葉県")}));
    EXPECT_TRUE(read.problems.isEmpty());
}

TEST_F(RoadConversion, FailuresLeaveTheOldFileAndNameTheCause)
{
    const QString out = folder(QStringLiteral("東京都"));
    const QString road = QDir(out).filePath(QStringLiteral("Road.dat"));
    writeFile(road, "R1@139 35 ");

    struct Case {
        const char* name;
        QByteArray source; // empty: the file does not exist
        QString folder;
        const char* says;
    } cases[] = {
        {"no road line", "H header\r\n5030123 1287000\r\n", out, "先頭が「L」の行"},
        {"missing source", QByteArray(), out, "がありません"},
        {"missing folder", "L\r\n", path(QStringLiteral("神奈川県")), "フォルダがありません"},
    };
    for (const Case& c : cases) {
        const QString source = path(QStringLiteral("N14.txt"));
        QFile::remove(source);
        if (!c.source.isEmpty())
            writeFile(source, c.source);
        const auto result = convert::道路(source, c.folder);
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_TRUE(result.error().contains(QString::fromUtf8(c.says))) << c.name << ": " << result.error().toStdString();
        EXPECT_EQ(readAll(road), "R1@139 35 ") << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("神奈川県"))));
}

TEST(RoadPaths, OnlyPathsEndingInTxtAreConverted)
{
    EXPECT_TRUE(convert::isTxtPath(QStringLiteral("/d/N13.txt")));
    EXPECT_TRUE(convert::isTxtPath(QStringLiteral("/d/N00台.txt")));
    EXPECT_FALSE(convert::isTxtPath(QString()));
    EXPECT_FALSE(convert::isTxtPath(QStringLiteral("/d/N13.TXT")));
    EXPECT_FALSE(convert::isTxtPath(QStringLiteral("/d/N13.xml")));
}

} // namespace
