// What readers accept besides the exact written form, and how readers and writers fail.
#include "store/district_file.h"
#include "store/line_file.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"
#include "store_fixture.h"

#include <QDir>
#include <functional>

using namespace miratos;
using namespace miratos::store;

namespace {

// The error of reading a file with one of the readers, or empty text when the read succeeded.
using ReadError = std::function<QString(const QString&)>;

template <class Read>
ReadError errorOf(Read read)
{
    return [read](const QString& path) {
        const auto result = read(path);
        return result.ok() ? QString() : result.error();
    };
}

using RecordReading = StoreFiles;

TEST_F(RecordReading, TikuReaderAcceptsLfCrLfMissingLastLineEndAndUtf8WithBom)
{
    const QVector<TikuRecord> expected{{"13a1ec", "東京都@千代田区", "13101"}, {"13a2ec", "", "13101"}};
    const char* const variants[] = {
        "13a1ec\r\n\x93\x8c\x8b\x9e\x93\x73@\x90\xe7\x91\xe3\x93\x63\x8b\xe6\r\n13101\r\n13a2ec\r\n\r\n13101\r\n",
        "13a1ec\n\x93\x8c\x8b\x9e\x93\x73@\x90\xe7\x91\xe3\x93\x63\x8b\xe6\n13101\n13a2ec\n\n13101\n",
        "13a1ec\r\n\x93\x8c\x8b\x9e\x93\x73@\x90\xe7\x91\xe3\x93\x63\x8b\xe6\r\n13101\r\n13a2ec\r\n\r\n13101",
        "13a1ec\n\x93\x8c\x8b\x9e\x93\x73@\x90\xe7\x91\xe3\x93\x63\x8b\xe6\n13101\n13a2ec\n\n13101",
        ("\xef\xbb\xbf" "13a1ec\r\n東京都@千代田区\r\n13101\r\n13a2ec\r\n\r\n13101\r\n"), // BOM, then UTF-8
    };
    for (const char* bytes : variants) {
        SCOPED_TRACE(bytes);
        const auto tiku = readTikuFile(writeBytes(QStringLiteral("Tiku.dat"), bytes));
        ASSERT_TRUE(tiku.ok()) << tiku.error().toStdString();
        EXPECT_EQ(*tiku, expected);
    }
}

TEST_F(RecordReading, DistrictReaderAcceptsLfWithoutLastLineEnd)
{
    const auto district = readDistrictFile(writeBytes(QStringLiteral("17_13101_x.dat"),
                                                      "139 35 140 36\n1 2 3 4 5 6@1.5 2.5 1.6 2.6 1.7 2.7\n10\n8101\n"
                                                      "13101001001\nM\nT\n139.5\n35.5"));
    ASSERT_TRUE(district.ok()) << district.error().toStdString();
    ASSERT_EQ(district->records.size(), 1);
    EXPECT_EQ(district->records[0].rings, "1 2 3 4 5 6@1.5 2.5 1.6 2.6 1.7 2.7");
    EXPECT_EQ(district->records[0].labelY, "35.5");
}

TEST_F(RecordReading, RecordCutShortIsAnErrorNamingFileRecordAndLine)
{
    struct Case {
        const char* file;
        const char* bytes;
        ReadError read;
        const char* where; // record number and first line of the short record
    };
    const Case cases[] = {
        {"Line.dat", "13c1\r\n35 139 36 140\r\n13c2\r\n", errorOf(readLineFile), "2 番目のレコード（3 行目から）"},
        {"Point.dat", "13p1ec", errorOf(readPointFile), "1 番目のレコード（1 行目から）"},
        {"Polygon.dat", "13a1ec\r\n13c1\r\n13a2ec", errorOf(readPolygonFile), "2 番目のレコード（3 行目から）"},
        {"Tiku.dat", "13a1ec\r\nN\r\n13101\r\n13a2ec\r\nN\r\n", errorOf(readTikuFile), "2 番目のレコード（4 行目から）"},
        {"17_13101_x.dat", "139 35 140 36\r\n1 2 3 4\r\n10\r\n8101\r\n", errorOf(readDistrictFile),
         "1 番目のレコード（2 行目から）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = writeBytes(QString::fromUtf8(c.file), c.bytes);
        const QString error = c.read(file);
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.where))) << error.toStdString();
    }
}

TEST_F(RecordReading, MissingFileIsAnErrorNamingTheFile)
{
    const std::pair<const char*, ReadError> readers[] = {
        {"NEWS.dat", errorOf(readNewsFile)},         {"Line.dat", errorOf(readLineFile)},
        {"PrefLine.dat", errorOf(readPrefLineFile)}, {"Polygon.dat", errorOf(readPolygonFile)},
        {"Point.dat", errorOf(readPointFile)},       {"Tiku.dat", errorOf(readTikuFile)},
        {"17_13101_x.dat", errorOf(readDistrictFile)},
    };
    for (const auto& [name, read] : readers) {
        SCOPED_TRACE(name);
        const QString file = path(QString::fromUtf8(name));
        const QString error = read(file);
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(file))) << error.toStdString();
    }
}

TEST_F(RecordReading, NewsNeedsExactlyFourNumbers)
{
    const char* const bad[] = {
        "138\r\n139\r\n35\r\n",              // three lines
        "138\r\n139\r\n35\r\n36\r\n\r\n",    // a fifth, empty line
        "138\r\n139\r\nX\r\n36\r\n",         // not a number
        "",                                  // empty file
    };
    for (const char* bytes : bad) {
        SCOPED_TRACE(bytes);
        const QString file = writeBytes(QStringLiteral("NEWS.dat"), bytes);
        const auto news = readNewsFile(file);
        ASSERT_FALSE(news.ok());
        EXPECT_TRUE(news.error().contains(QDir::toNativeSeparators(file))) << news.error().toStdString();
    }
}

TEST_F(RecordReading, DistrictFileNeedsAHeaderOfFourNumbers)
{
    for (const char* bytes : {"", "139 35 140\r\n", "west south east north\r\n"}) {
        SCOPED_TRACE(bytes);
        EXPECT_FALSE(readDistrictFile(writeBytes(QStringLiteral("17_13101_x.dat"), bytes)).ok());
    }
    const Status written = writeDistrictFile(path(QStringLiteral("17_13101_y.dat")), DistrictFile{"139 35", {}});
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("17_13101_y.dat"))));
}

TEST_F(RecordReading, WriterRefusesLineBreaksAndCharactersOutsideCp932AndKeepsTheOldFile)
{
    const QVector<QVector<TikuRecord>> bad{
        {{"13a1ec", "東京都@千代田区\r\n13a9ec", "13101"}}, // would add a record line
        {{"13a1ec", "東京都@千代田区", "13101\n"}},
        {{"13a1ec", "東京都@😀", "13101"}},
    };
    const QString file = writeBytes(QStringLiteral("Tiku.dat"), "old\r\nfile\r\n13101\r\n");
    for (const auto& records : bad) {
        const Status written = writeTikuFile(file, records);
        ASSERT_FALSE(written.ok());
        EXPECT_TRUE(written.error().contains(QDir::toNativeSeparators(file))) << written.error().toStdString();
        EXPECT_EQ(bytesOf(file), "old\r\nfile\r\n13101\r\n");
    }
}

} // namespace
