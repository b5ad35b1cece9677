// Road.dat and RoadName.dat: reading keys and points (longitude first, single-precision values
// read back exactly), the first-point filter, the open cases of the name table (short lines,
// repeated keys), and writing names that would shift the fields.
#include "store/road_files.h"
#include "platform/cp932.h"
#include "platform/number_text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace miratos;
using store::RoadNameRow;

namespace {

class RoadFiles : public ::testing::Test {
protected:
    QString write(const QString& name, const QString& text)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(*platform::toCp932(text));
        return path;
    }

private:
    QTemporaryDir m_dir;
};

TEST_F(RoadFiles, RoadLinesKeepTheirKeyAndPointsLongitudeFirstWhateverTheLineEnds)
{
    for (const QString& eol : {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")}) {
        SCOPED_TRACE(eol.toStdString() == "\r" ? "CR" : eol.size() == 2 ? "CR LF" : "LF");
        // The last line has no line end, as the converter writes it.
        const QString path = write(QStringLiteral("Road.dat"), QStringLiteral("R357@139.7654 35.6789 139.8 35.7 %1@139.5 35.5 139.6 35.6 %1R20@%1R16@140.1 35.9 ").arg(eol));
        store::RoadSet set;
        const auto read = store::readRoadFile(path, set, {});
        ASSERT_TRUE(read.problems.isEmpty()) << read.problems.join('\n').toStdString();
        EXPECT_EQ(read.lines, 4);
        ASSERT_EQ(set.roads.size(), 4u);
        EXPECT_EQ(set.roads[0].key, QStringLiteral("R357"));
        EXPECT_EQ(set.roads[1].key, QString()); // an empty key is read like any other
        EXPECT_EQ(set.roads[2].count, 0u);      // a road without points
        EXPECT_EQ(set.roads[3].key, QStringLiteral("R16"));
        ASSERT_EQ(set.roads[0].count, 2u);
        // 139.7654 is read back exactly as written.
        EXPECT_EQ(set.lon(set.roads[0], 0), 139.7654);
        EXPECT_EQ(platform::formatSingle(static_cast<float>(set.lon(set.roads[0], 0))), QStringLiteral("139.7654"));
        EXPECT_EQ(set.lat(set.roads[0], 0), 35.6789);
        EXPECT_EQ(set.lon(set.roads[3], 0), 140.1);
    }
}

TEST_F(RoadFiles, KeepIsAskedWithTheFirstPointOnly)
{
    const QString path = write(QStringLiteral("Road.dat"),
                               QStringLiteral("R1@139.5 35.5 150 50 \r\nR2@141 35.5 139.5 35.5 \r\nR3@\r\nR4@139.6 35.6 \r\n"));
    store::RoadSet set;
    std::vector<std::pair<double, double>> asked;
    const auto read = store::readRoadFile(path, set, [&asked](double lon, double lat) {
        asked.emplace_back(lon, lat);
        return lon < 140; // NaN (no point) is not below 140
    });
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[1], std::make_pair(141.0, 35.5));
    EXPECT_TRUE(std::isnan(asked[2].first));
    EXPECT_EQ(read.kept, 2);
    ASSERT_EQ(set.roads.size(), 2u);
    EXPECT_EQ(set.roads[0].key, QStringLiteral("R1"));
    EXPECT_EQ(set.roads[0].count, 2u); // kept whole, though it leaves
    EXPECT_EQ(set.roads[1].key, QStringLiteral("R4"));
    EXPECT_EQ(set.coords, (std::vector<double>{139.5, 35.5, 150, 50, 139.6, 35.6})); // nothing of the others stays
}

TEST_F(RoadFiles, BadCoordinatesEndTheRoadAndAreReportedOnce)
{
    const QString path = write(QStringLiteral("Road.dat"),
                               QStringLiteral("R1@139.5 35.5 x 35.6 139.7 35.7 \r\nno separator\r\nR2@139.5 35.5 139.6 \r\n"));
    store::RoadSet set;
    const auto read = store::readRoadFile(path, set, {});
    ASSERT_EQ(set.roads.size(), 2u);
    EXPECT_EQ(set.roads[0].count, 1u); // up to the bad value
    EXPECT_EQ(set.roads[1].count, 1u); // a longitude without latitude is dropped
    ASSERT_EQ(read.problems.size(), 1);
    EXPECT_TRUE(read.problems[0].contains(QStringLiteral("2 行がありました（1, 2 行目）"))) << read.problems[0].toStdString();
}

TEST_F(RoadFiles, NameTableSkipsShortLinesAndKeepsTheFirstOfARepeatedKey)
{
    const QString path = write(QStringLiteral("RoadName.dat"), QStringLiteral("R1@1@東名高速道路@ﾄｳﾒｲ@東京都\r\n"
                                                                              "R2@2@short\r\n"
                                                                              "R357@2@湾岸道路@@千葉県@市川市\r\n"
                                                                              "R1@3@again@@\r\n"
                                                                              "R9\r\n"));
    const auto read = store::readRoadNames(path);
    EXPECT_TRUE(read.present);
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0], (RoadNameRow{QStringLiteral("R1"), QStringLiteral("1"), QStringLiteral("東名高速道路"),
                                         QStringLiteral("ﾄｳﾒｲ"), QStringLiteral("東京都")}));
    EXPECT_EQ(read.rows[1].name3, QStringLiteral("千葉県@市川市")); // extra parts stay in the rest
    ASSERT_EQ(read.problems.size(), 2);
    EXPECT_TRUE(read.problems[0].contains(QStringLiteral("5 つに分けられない 2 行"))) << read.problems[0].toStdString();
    EXPECT_TRUE(read.problems[0].contains(QStringLiteral("（2, 5 行目）")));
    EXPECT_TRUE(read.problems[1].contains(QStringLiteral("同じ道路番号の 1 行"))) << read.problems[1].toStdString();

    const auto missing = store::readRoadNames(path + QStringLiteral(".none"));
    EXPECT_FALSE(missing.present);
    EXPECT_TRUE(missing.problems.isEmpty());
}

TEST_F(RoadFiles, NamesAreWrittenAsFiveFieldsOrRefused)
{
    const std::vector<RoadNameRow> rows{{QStringLiteral("R1"), QStringLiteral("1"), QStringLiteral("東名"), QString(), QStringLiteral("東京都")}};
    const auto bytes = store::encodeRoadNames(rows);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(*bytes, *platform::toCp932(QStringLiteral("R1@1@東名@@東京都\r\n")));

    for (const QString& bad : {QStringLiteral("a@b"), QStringLiteral("a\nb"), QStringLiteral("€")}) {
        auto shifted = rows;
        shifted[0].name2 = bad;
        const auto refused = store::encodeRoadNames(shifted);
        ASSERT_FALSE(refused.ok()) << bad.toStdString();
        EXPECT_TRUE(refused.error().contains(QStringLiteral("RoadName.dat"))) << refused.error().toStdString();
    }
}

} // namespace
