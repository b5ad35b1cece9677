#include "platform/spreadsheet.h"
#include "platform/text_file.h"
#include "xlsx_writer.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using miratos::platform::Sheet;
using miratos::platform::SheetCell;
using miratos::platform::toWide;

namespace {

// Column A: 1, 2, gap, 4, 5, gap, gap, 8.
Sheet columnWithGaps()
{
    Sheet sheet(100);
    for (int r : {1, 2, 4, 5, 8})
        sheet.setValue(r, 1, QString::number(r));
    return sheet;
}

} // namespace

TEST(SpreadsheetTest, EndDownFollowsRunsAndJumpsGaps)
{
    const Sheet sheet = columnWithGaps();
    struct Case {
        int from;
        int expected;
    } cases[] = {
        {1, 2},   // end of the run 1..2
        {2, 4},   // last of a run: next non-empty below
        {3, 4},   // empty cell: next non-empty
        {4, 5},
        {5, 8},
        {8, 100}, // nothing below: the sheet's last row
    };
    for (const Case& c : cases)
        EXPECT_EQ(sheet.endDown(c.from, 1), c.expected) << "from row " << c.from;
    EXPECT_EQ(sheet.endDown(1, 2), 100) << "empty column";
}

TEST(SpreadsheetTest, DeletionsShiftFollowingCellsAndLastCellFollows)
{
    Sheet sheet;
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 6; ++c)
            sheet.setValue(r, c, QStringLiteral("%1%2").arg(QChar('A' + c - 1)).arg(r));
    }
    EXPECT_EQ(sheet.lastRow(), 4);
    EXPECT_EQ(sheet.lastColumn(), 6);
    sheet.deleteColumns(u"B:C");
    EXPECT_EQ(sheet.text(1, u"B"), "D1");
    EXPECT_EQ(sheet.lastColumn(), 4);
    sheet.deleteColumns(u"A");
    EXPECT_EQ(sheet.text(2, 1), "D2");
    sheet.deleteRows(1, 2);
    EXPECT_EQ(sheet.text(1, 1), "D3");
    EXPECT_EQ(sheet.lastRow(), 2);
    sheet.insertRow(1);
    EXPECT_TRUE(sheet.cell(1, 1).isEmpty());
    EXPECT_EQ(sheet.text(2, 1), "D3");
    EXPECT_EQ(sheet.lastRow(), 3);
    // Deleting beyond the used range changes nothing.
    sheet.deleteRows(10, 20);
    sheet.deleteColumns(10, 12);
    EXPECT_EQ(sheet.lastRow(), 3);
    EXPECT_EQ(sheet.csvLines(), (QStringList{",,", "D3,E3,F3", "D4,E4,F4"}));
}

TEST(SpreadsheetTest, ValuesBecomeNumbersUnlessTheColumnIsText)
{
    Sheet sheet;
    sheet.setColumnTextFormat(1);
    sheet.setValue(1, 1, QStringLiteral("01101")); // a text column keeps the code
    sheet.setValue(1, 2, QStringLiteral("01101")); // general: a number
    sheet.setValue(1, 3, QStringLiteral("-"));
    sheet.setValue(1, 4, QStringLiteral("12.50"));
    sheet.setValue(1, 5, QStringLiteral("a,b"));
    sheet.setNumber(1, 6, 5627.737);
    // A cell below the used range still follows its column's format.
    sheet.setValue(9, 1, QStringLiteral("007"));
    EXPECT_EQ(sheet.cell(1, 2).kind, SheetCell::Kind::Number);
    EXPECT_EQ(sheet.cell(1, 1).kind, SheetCell::Kind::Text);
    sheet.setGeneralFormat();
    sheet.setValue(2, 1, QStringLiteral("007"));
    const QStringList lines = sheet.csvLines();
    EXPECT_EQ(lines.first(), "01101,1101,-,12.5,a，b,5627.737");
    EXPECT_EQ(lines.at(1), "7,,,,,");
    EXPECT_EQ(lines.last(), "007,,,,,");
    // The text format follows its column when columns before it go.
    Sheet moved;
    moved.setColumnTextFormat(3);
    moved.deleteColumns(1, 1);
    moved.setValue(1, 2, QStringLiteral("01"));
    EXPECT_EQ(moved.text(1, 2), "01");
}

TEST(SpreadsheetTest, SavesCp932WithCrLf)
{
    QTemporaryDir dir;
    Sheet sheet;
    sheet.setValue(1, 1, QStringLiteral("Code"));
    sheet.setValue(1, 2, QStringLiteral("地区名"));
    sheet.setText(2, 1, QStringLiteral("01"));
    sheet.setValue(2, 2, QStringLiteral("札幌市"));
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(sheet.saveCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes, miratos::platform::encodeLines({"Code,地区名", "01,札幌市"}).value());
    EXPECT_TRUE(bytes.endsWith("\r\n"));
}

TEST(SpreadsheetTest, WideFormsOfNarrowCharacters)
{
    EXPECT_EQ(toWide(QStringLiteral("202 ABC Town")), QStringLiteral("２０２　ＡＢＣ　Ｔｏｗｎ"));
    EXPECT_EQ(toWide(QStringLiteral("ｶﾞｯｺｳ ﾊﾟﾝ ｳﾞ")), QStringLiteral("ガッコウ　パン　ヴ"));
    EXPECT_EQ(toWide(QStringLiteral("千代田区")), QStringLiteral("千代田区"));
}

TEST(SpreadsheetTest, ReadsXlsKeepingEmptyRowsAndColumnsInPlace)
{
    auto sheet = Sheet::open(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/census/12a001.xls"));
    ASSERT_TRUE(sheet) << sheet.error().toStdString();
    EXPECT_EQ(sheet->text(1, u"A"), QStringLiteral("第1表 人口，面積及び人口密度"));
    EXPECT_TRUE(sheet->cell(2, 1).isEmpty());
    EXPECT_EQ(sheet->text(5, u"I"), "01"); // imported as text: the leading zero stays
    EXPECT_EQ(sheet->cell(5, Sheet::columnNumber(u"M")).kind, SheetCell::Kind::Number);
    EXPECT_EQ(sheet->text(5, u"Q"), "83453.57");
    EXPECT_EQ(sheet->endDown(1, Sheet::columnNumber(u"I")), 5);
    EXPECT_EQ(sheet->lastRow(), 11);
    EXPECT_EQ(sheet->lastColumn(), Sheet::columnNumber(u"T"));
}

TEST(SpreadsheetTest, ReadsXlsxWithoutPhoneticRuns)
{
    const QString path = QStringLiteral(MIRATOS_SHARED_DATA "/census/major_results_2020.xlsx");
    if (!QFile::exists(path))
        GTEST_SKIP() << "shared data not found: " << path.toStdString();
    auto sheet = Sheet::open(path);
    ASSERT_TRUE(sheet) << sheet.error().toStdString();
    // Look for the header cell "地域" and the Sapporo row; the phonetic runs must not stick to them.
    bool region = false, sapporo = false;
    for (int r = 1; r <= 12; ++r) {
        for (int c = 1; c <= sheet->lastColumn(); ++c) {
            const QString t = sheet->text(r, c);
            region = region || t == QStringLiteral("地域");
            EXPECT_FALSE(t.contains(QStringLiteral("チイキ"))) << t.toStdString();
        }
    }
    for (int r = 1; r <= sheet->lastRow() && !sapporo; ++r) {
        for (int c = 1; c <= 4; ++c)
            sapporo = sapporo || sheet->text(r, c) == QStringLiteral("01100_札幌市");
    }
    EXPECT_TRUE(region);
    EXPECT_TRUE(sapporo);
    EXPECT_GT(sheet->lastRow(), 1900);
}

// A later sheet by its number; one the workbook does not have is an error naming the file.
TEST(SpreadsheetTest, OpensTheSheetOfTheNumberGiven)
{
    QTemporaryDir dir;
    const QString single = dir.filePath(QStringLiteral("single.xlsx"));
    QFile file(single);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(miratos::test_support::xlsxBytes("<row r=\"1\"><c r=\"A1\"><v>7</v></c></row>"));
    file.close();
    EXPECT_EQ(Sheet::open(single, 1).value().text(1, u"A"), QStringLiteral("7"));
    for (int number : {0, 2}) {
        const auto sheet = Sheet::open(single, number);
        ASSERT_FALSE(sheet) << number;
        EXPECT_EQ(sheet.error(), QStringLiteral("%1: %2 枚目のワークシートがありません").arg(single).arg(number));
    }
    const QString results = QStringLiteral(MIRATOS_SHARED_DATA "/census/major_results_2020.xlsx");
    if (!QFile::exists(results))
        GTEST_SKIP() << "shared data not found: " << results.toStdString();
    // The second sheet of the published results: the daytime population of Japan in BB10.
    const auto second = Sheet::open(results, 2);
    ASSERT_TRUE(second) << second.error().toStdString();
    EXPECT_EQ(second->text(10, u"BB"), QStringLiteral("126146099"));
    EXPECT_EQ(second->text(7, u"BB"), QStringLiteral("昼間人口"));
    EXPECT_TRUE(Sheet::open(results, 1).value().text(10, u"BB").isEmpty());
}

TEST(SpreadsheetTest, OpenFailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.xlsx"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a zip");
    file.close();
    for (const QString& path : {bad, dir.filePath(QStringLiteral("missing.xls")), dir.filePath(QStringLiteral("x.txt"))}) {
        const auto sheet = Sheet::open(path);
        ASSERT_FALSE(sheet);
        EXPECT_TRUE(sheet.error().contains(QFileInfo(path).fileName())) << sheet.error().toStdString();
    }
}
