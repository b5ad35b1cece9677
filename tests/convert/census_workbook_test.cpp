#include "convert/census_workbook.h"
#include "platform/spreadsheet.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace miratos;
using namespace miratos::convert;

namespace {

const QString kFixtures = QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/census/");

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Case {
    bool pref;
    const char* fixture; // workbook in the fixture folder
    const char* golden;
};

const Case kCases[] = {
    {true, "12a001.xls", "P_12a001.csv"},  {true, "12a003.xls", "P_12a003.csv"},
    {true, "17a002.xls", "P_17a002.csv"},  {true, "17a001.xls", "P_17a001.csv"},
    {true, "17a003.xls", "P_17a003.csv"},  {false, "J17a001.xls", "J_17a001.csv"},
    {false, "J17a002.xls", "J_17a002.csv"},
};

} // namespace

// Every layout against its golden statistic file: code search and completion (leading zeros
// kept), trimmed and widened names, "-" ratios, the row-16 rule of 17a001, the 47 prefecture
// rows of the nationwide tables with populations in thousands.
TEST(CensusWorkbookTest, EachLayoutMatchesItsGoldenFile)
{
    QTemporaryDir dir;
    for (const Case& c : kCases) {
        const QString name = QString::fromLatin1(c.fixture);
        const CensusWorkbook* table = censusWorkbookFor(c.pref, name.startsWith(QLatin1Char('J')) ? name.mid(1) : name);
        ASSERT_NE(table, nullptr) << c.fixture;
        const QString out = dir.filePath(QString::fromLatin1(c.golden));
        const Status done = convertCensusWorkbook(kFixtures + name, out, *table);
        ASSERT_TRUE(done) << c.fixture << ": " << done.error().toStdString();
        EXPECT_EQ(bytesOf(out), bytesOf(kFixtures + QString::fromLatin1(c.golden))) << c.fixture;
    }
}

TEST(CensusWorkbookTest, NationwideTableHasHeaderAnd47Rows)
{
    auto sheet = platform::Sheet::open(kFixtures + QStringLiteral("J17a001.xls"));
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(reshapeCensusSheet(*sheet, *censusWorkbookFor(false, QStringLiteral("17a001.xls"))));
    const QStringList lines = sheet->csvLines();
    ASSERT_EQ(lines.size(), 48);
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("01,県1,")));
    EXPECT_TRUE(lines.at(47).startsWith(QStringLiteral("47,県47,")));
}

// The window's run: only ticked tables whose workbook is present are written; the hidden
// chk3's 17a002 is converted when present; a workbook that is no workbook is reported and the
// others still go.
TEST(CensusWorkbookTest, FolderRunWritesOnlyPresentTickedWorkbooks)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("変換フォルダ")), out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(in) && QDir().mkpath(out));
    ASSERT_TRUE(QFile::copy(kFixtures + QStringLiteral("12a001.xls"), in + QStringLiteral("/12a001.xls")));
    ASSERT_TRUE(QFile::copy(kFixtures + QStringLiteral("17a003.xls"), in + QStringLiteral("/17a003.xls")));
    auto all = [](const QString&) { return true; };
    CensusRunReport report = convertCensusFolder(true, in, out, all);
    EXPECT_TRUE(report.problems.isEmpty());
    EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"statistic1.csv", "statistic5.csv"}));

    ASSERT_TRUE(QFile::copy(kFixtures + QStringLiteral("17a002.xls"), in + QStringLiteral("/17a002.xls")));
    QFile bad(in + QStringLiteral("/12a003.xls"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("garbage");
    bad.close();
    report = convertCensusFolder(true, in, out, [](const QString& box) { return box != QLatin1String("chk5"); });
    EXPECT_EQ(report.problems.size(), 1);
    EXPECT_TRUE(report.problems.first().contains(QStringLiteral("12a003.xls")));
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/statistic3.csv")));
    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/statistic2.csv")));

    // Nothing ticked: nothing written, nothing reported.
    QTemporaryDir empty;
    report = convertCensusFolder(true, in, empty.path(), [](const QString&) { return false; });
    EXPECT_TRUE(report.written.isEmpty() && report.problems.isEmpty());
    EXPECT_TRUE(QDir(empty.path()).entryList(QDir::Files).isEmpty());
}

// A sheet without the expected layout fails instead of writing a wrong table.
TEST(CensusWorkbookTest, LayoutNotFoundIsAnError)
{
    platform::Sheet sheet;
    sheet.setValue(1, 1, QStringLiteral("x"));
    for (const CensusWorkbook& table : censusWorkbooks(true))
        EXPECT_FALSE(reshapeCensusSheet(sheet, table)) << table.workbook.toStdString();
}
