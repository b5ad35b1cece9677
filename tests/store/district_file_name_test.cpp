// District file names and the files a prefecture folder offers.
#include "store/district_file_name.h"
#include "store/pref_folder.h"
#include "store_fixture.h"

#include <QDir>

using namespace miratos::store;

namespace {

TEST(DistrictFileName, BuildsYearCodeName)
{
    EXPECT_EQ(districtFileName(17, "13101", "千代田区"), "17_13101_千代田区.dat");
    EXPECT_EQ(districtFileName(7, "13101", "千代田区"), "07_13101_千代田区.dat");
    // Names come from source data: separators must not lead out of the folder.
    EXPECT_EQ(districtFileName(17, "13101", "../a\\b/c"), "17_13101_..abc.dat");
}

TEST(DistrictFileName, ParsesYearCodeAndNameCutAtTheFirstDot)
{
    struct Case {
        const char* file;
        std::optional<DistrictFileName> parsed;
    };
    const Case cases[] = {
        {"17_13101_千代田区.dat", DistrictFileName{17, "13101", "千代田区"}},
        {"12_01101_札幌市.中央区.dat", DistrictFileName{12, "01101", "札幌市"}},
        {"17_13101_千代_田区.dat", DistrictFileName{17, "13101", "千代_田区"}}, // a "_" of the name stays in it
        {"17_13101.dat", std::nullopt}, // written when the source names no municipality
        {"Point.dat", std::nullopt},
        {"1_13101_x.dat", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(parseDistrictFileName(QString::fromUtf8(c.file)), c.parsed);
    }
}

TEST(DistrictFileName, YearDigitTestAndPrefix)
{
    EXPECT_TRUE(isDistrictFileName(u"17_13101_x.dat"));
    EXPECT_TRUE(isDistrictFileName(u"1x.dat"));
    EXPECT_FALSE(isDistrictFileName(u"Point.dat"));
    EXPECT_FALSE(isDistrictFileName(u""));
    EXPECT_EQ(districtFileYear(u"12_13101_x.dat"), 12);
    EXPECT_EQ(districtFileYear(u"1x.dat"), std::nullopt);
    EXPECT_EQ(districtFilePrefix(u"17_13101_千代田区.dat"), "17_13101_");
    EXPECT_EQ(districtFilePrefix(u"Point.dat"), "");
    // Cut at the file name's second "_", whatever "_" the name or the folders hold.
    EXPECT_EQ(districtFilePrefix(u"17_13101_千代_田区.dat"), "17_13101_");
    EXPECT_EQ(districtFilePrefix(u"/a_b/東京都/17_13101_千代_田区.dat"), "/a_b/東京都/17_13101_");
    EXPECT_EQ(districtFilePrefix(u"C:\\a_b\\17_13101_x.dat"), "C:\\a_b\\17_13101_");
}

using PrefFolder = StoreFiles;

TEST_F(PrefFolder, ListsDistrictFilesOfTheYearOnly)
{
    for (const char* name : {"12_13101_千代田区.dat", "17_13101_千代田区.dat", "17_13102_中央区.dat", "Line.dat",
                             "Road.dat", "A17_13103_港区.dat", "17_13104_新宿区.txt"})
        writeBytes(QString::fromUtf8(name), "");
    ASSERT_TRUE(QDir(path(QString())).mkdir(QStringLiteral("17_13105_dir.dat")));

    EXPECT_FALSE(hasPrefectureData(path(QString())));
    writeBytes(QStringLiteral("Point.dat"), "");
    EXPECT_TRUE(hasPrefectureData(path(QString())));

    const auto sorted = [](QStringList names) {
        names.sort();
        return names;
    };
    EXPECT_EQ(sorted(districtFilesOfYear(path(QString()), 17)),
              (QStringList{"17_13101_千代田区.dat", "17_13102_中央区.dat"}));
    EXPECT_EQ(districtFilesOfYear(path(QString()), 12), QStringList{"12_13101_千代田区.dat"});
    EXPECT_EQ(sorted(districtFiles(path(QString()))),
              (QStringList{"12_13101_千代田区.dat", "17_13101_千代田区.dat", "17_13102_中央区.dat"}));
}

TEST_F(PrefFolder, ListsDistrictFilesSortedByName)
{
    // Created out of order; the folder's own order (creation or hash order) is not the list's.
    QStringList expected;
    for (int code = 13101; code <= 13123; ++code)
        expected << QStringLiteral("17_%1_x.dat").arg(code);
    for (qsizetype i = 0; i < expected.size(); ++i)
        writeBytes(expected.at((i * 7 + 5) % expected.size()), "");
    writeBytes(QStringLiteral("12_13100_x.dat"), "");

    EXPECT_EQ(districtFilesOfYear(path(QString()), 17), expected);
    EXPECT_EQ(districtFiles(path(QString())), QStringList{QStringLiteral("12_13100_x.dat")} + expected);
}

} // namespace
