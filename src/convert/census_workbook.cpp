#include "convert/census_workbook.h"

#include "platform/import_lock.h"
#include "platform/number_text.h"

#include <QDir>
#include <QFileInfo>

namespace miratos::convert {
namespace {

using platform::Sheet;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QStringList header(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromUtf8(name);
    return list;
}

// Where the data rows are, how the cells are rewritten and which columns go.
struct Shape {
    int keepColumns;          // columns beyond this one are deleted first
    QStringList columnGroups; // then these, in order
};

Shape shapeOf(CensusLayout layout)
{
    switch (layout) {
    case CensusLayout::P12a001: return {18, {"N:P", "K:L", "A:H"}};
    case CensusLayout::P12a003: return {18, {"R", "K:L", "A:H"}};
    case CensusLayout::P17a002: return {13, {"J:L", "D:E", "A"}};
    case CensusLayout::P17a001: return {10, {"F:H", "C:D"}};
    case CensusLayout::P17a003: return {12, {"L", "E:F", "A:B"}};
    case CensusLayout::J17a001: return {20, {"P:R", "M:N", "K", "A:I"}};
    case CensusLayout::J17a002: return {13, {"G:H", "E", "A:C"}};
    }
    return {0, {}};
}

bool isDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    }
    return true;
}

// A code part written without its leading zeros (a cell holding the number 1 for "01") gets
// them back, so that codes keep the width the statistic files join by.
QString padded(const QString& part, int width)
{
    return isDigits(part) && part.size() < width ? part.rightJustified(width, QLatin1Char('0')) : part;
}

// Spaces around a name, narrow and ideographic.
QString trimmed(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && (text.at(begin) == QLatin1Char(' ') || text.at(begin) == QChar(0x3000)))
        ++begin;
    while (end > begin && (text.at(end - 1) == QLatin1Char(' ') || text.at(end - 1) == QChar(0x3000)))
        --end;
    return text.mid(begin, end - begin);
}

QString withoutIdeographicSpaces(QString text)
{
    return text.remove(QChar(0x3000));
}

// Males per 100 females to one decimal, halves to the even digit; "-" when a count is missing
// ("-" in the table) or the female count is zero.
void writeRatio(Sheet& sheet, int row, QStringView males, QStringView females, QStringView target)
{
    const auto m = platform::toNumber(sheet.text(row, males));
    const auto f = platform::toNumber(sheet.text(row, females));
    if (!m || !f || *f == 0)
        sheet.setValue(row, target, QStringLiteral("-"));
    else
        sheet.setNumber(row, target, platform::roundHalfEven(*m / *f * 100.0, 1));
}

void divideBy1000(Sheet& sheet, int row, QStringView column)
{
    if (const auto value = platform::toNumber(sheet.text(row, column)))
        sheet.setNumber(row, column, *value / 1000.0);
}

struct DataRows {
    int first = 0;
    int last = 0;
};

// The prefecture part is the first value in the code column below row `from` (End(xlDown) from
// its cell); the data rows are the run of codes below it.
Result<DataRows> searchCodes(Sheet& sheet, int from, QStringView codeColumn, QStringView lastColumn, QString* pc)
{
    const int code = Sheet::columnNumber(codeColumn);
    const int r0 = from == 1 ? sheet.endDown(1, code) : from;
    if (r0 >= sheet.maxRow() || sheet.cell(r0, code).isEmpty())
        return Error{QStringLiteral("列 %1 に都道府県コードが見つかりません").arg(codeColumn)};
    *pc = padded(sheet.text(r0, code), 2);
    DataRows rows;
    const int lastUsed = sheet.lastRow();
    for (int r = r0 + 1; r <= lastUsed; ++r) {
        if (!sheet.cell(r, code).isEmpty()) {
            rows.first = r;
            break;
        }
    }
    if (rows.first == 0)
        return Error{QStringLiteral("列 %1 の都道府県コードの下にデータ行がありません").arg(codeColumn)};
    rows.last = sheet.endDown(rows.first, Sheet::columnNumber(lastColumn));
    if (sheet.cell(rows.first, Sheet::columnNumber(lastColumn)).isEmpty() || rows.last >= sheet.maxRow())
        rows.last = std::max(rows.first, std::min(rows.last, sheet.lastRow()));
    return rows;
}

Result<DataRows> rewriteP17a001(Sheet& sheet)
{
    const int a = 1, b = 2, c = 3;
    sheet.setColumnTextFormat(a);
    sheet.setValue(16, a, sheet.text(16, c).left(2));
    const QString pc = sheet.text(16, a);
    if (!isDigits(pc))
        return Error{QStringLiteral("C16 が都道府県コードで始まっていません")};
    const int lastUsed = sheet.lastRow();
    int r = 17;
    for (;; ++r) {
        if (r > lastUsed)
            return Error{QStringLiteral("17 行目から下にコードで始まる行がありません")};
        sheet.setValue(r, a, sheet.text(r, c).left(3));
        if (platform::isNumeric(sheet.text(r, a)))
            break;
    }
    DataRows rows{r, r};
    for (r = rows.first + 1;; ++r) {
        sheet.setValue(r, a, sheet.text(r, c).left(3));
        if (!platform::isNumeric(sheet.text(r, a)))
            break;
    }
    rows.last = r - 1;
    for (r = rows.first; r <= rows.last; ++r) {
        sheet.setValue(r, a, pc + sheet.text(r, a));
        const QString wide = platform::toWide(sheet.text(r, c));
        sheet.setValue(r, c, wide);
        const qsizetype p = wide.lastIndexOf(QChar(0x3000)) + 1; // 1-based, 0 when missing
        // The name stands between the 3-character code and the last ideographic space; without
        // such a space it is the rest of the cell.
        const QString name = p > 4 ? wide.mid(3, p - 4) : wide.mid(3);
        sheet.setText(r, b, withoutIdeographicSpaces(name));
    }
    return rows;
}

Result<DataRows> rewrite(Sheet& sheet, CensusLayout layout)
{
    QString pc;
    switch (layout) {
    case CensusLayout::P12a001:
    case CensusLayout::P12a003:
    case CensusLayout::P17a002: {
        const bool b = layout == CensusLayout::P17a002;
        const QString code = b ? QStringLiteral("B") : QStringLiteral("I");
        const QString name = b ? QStringLiteral("C") : QStringLiteral("J");
        auto rows = searchCodes(sheet, 1, code, code, &pc);
        if (!rows)
            return rows;
        for (int r = rows->first; r <= rows->last; ++r) {
            sheet.setText(r, code, pc + padded(sheet.text(r, code), 3));
            sheet.setText(r, name, trimmed(sheet.text(r, name)));
            if (layout == CensusLayout::P12a003)
                writeRatio(sheet, r, u"N", u"O", u"Q");
        }
        return rows;
    }
    case CensusLayout::P17a001:
        return rewriteP17a001(sheet);
    case CensusLayout::P17a003: {
        auto rows = searchCodes(sheet, 11, u"C", u"I", &pc);
        if (!rows)
            return rows;
        for (int r = rows->first; r <= rows->last; ++r) {
            sheet.setText(r, u"C", pc + padded(sheet.text(r, u"C"), 3));
            sheet.setText(r, u"D", withoutIdeographicSpaces(platform::toWide(sheet.text(r, u"D"))));
            writeRatio(sheet, r, u"H", u"I", u"K");
        }
        return rows;
    }
    case CensusLayout::J17a001:
    case CensusLayout::J17a002: {
        const bool first = layout == CensusLayout::J17a001;
        const DataRows rows = first ? DataRows{21, 67} : DataRows{14, 60};
        const QString code = first ? QStringLiteral("J") : QStringLiteral("D");
        for (int r = rows.first; r <= rows.last; ++r) {
            sheet.setText(r, code, padded(sheet.text(r, code), 2));
            if (first) {
                divideBy1000(sheet, r, u"O");
            } else {
                divideBy1000(sheet, r, u"I");
                writeRatio(sheet, r, u"J", u"K", u"M");
            }
        }
        return rows;
    }
    }
    return Error{QStringLiteral("未知の表です")};
}

bool isPrefLayout(CensusLayout layout)
{
    return layout != CensusLayout::J17a001 && layout != CensusLayout::J17a002;
}

} // namespace

const std::vector<CensusWorkbook>& censusWorkbooks(bool prefEdition)
{
    static const std::vector<CensusWorkbook> pref = {
        {CensusLayout::P12a001, "chk1", "12a001.xls", "statistic1.csv",
         header({"Code", "地区名", "人口(人)", "面積(k㎡)", "人口密度(人/k㎡)"})},
        {CensusLayout::P12a003, "chk2", "12a003.xls", "statistic2.csv",
         header({"Code", "地区名", "人口(人)", "男性(人)", "女性(人)", "世帯数", "男女比(男/女)"})},
        {CensusLayout::P17a002, "chk3", "17a002.xls", "statistic3.csv",
         header({"Code", "地区名", "人口(人)", "男性(人)", "女性(人)", "男女比(男/女)", "世帯数"})},
        {CensusLayout::P17a001, "chk4", "17a001.xls", "statistic4.csv",
         header({"Code", "地区名", "人口(人)", "面積(k㎡)", "人口密度(人/k㎡)"})},
        {CensusLayout::P17a003, "chk5", "17a003.xls", "statistic5.csv",
         header({"Code", "地区名", "人口(人)", "男性(人)", "女性(人)", "世帯数", "男女比(男/女)"})},
    };
    static const std::vector<CensusWorkbook> japan = {
        {CensusLayout::J17a001, "chk1", "17a001.xls", "statistic1.csv",
         header({"Code", "地区名", "人口(千人)", "面積(k㎡)", "人口密度(人/k㎡)"})},
        {CensusLayout::J17a002, "chk2", "17a002.xls", "statistic2.csv",
         header({"Code", "地区名", "人口(千人)", "男性(人)", "女性(人)", "世帯数", "男女比(男/女)"})},
    };
    return prefEdition ? pref : japan;
}

const CensusWorkbook* censusWorkbookFor(bool prefEdition, const QString& fileName)
{
    const QString base = QFileInfo(fileName).completeBaseName().toLower();
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != QLatin1String("xls") && suffix != QLatin1String("xlsx"))
        return nullptr;
    for (const CensusWorkbook& table : censusWorkbooks(prefEdition)) {
        if (QFileInfo(table.workbook).completeBaseName() == base)
            return &table;
    }
    return nullptr;
}

Status reshapeCensusSheet(Sheet& sheet, const CensusWorkbook& table)
{
    const auto rows = rewrite(sheet, table.layout);
    if (!rows)
        return Error{rows.error()};
    const Shape shape = shapeOf(table.layout);
    if (sheet.lastColumn() > shape.keepColumns)
        sheet.deleteColumns(shape.keepColumns + 1, sheet.lastColumn());
    for (const QString& group : shape.columnGroups)
        sheet.deleteColumns(group);
    if (sheet.lastRow() > rows->last)
        sheet.deleteRows(rows->last + 1, sheet.lastRow());
    if (isPrefLayout(table.layout)) {
        if (rows->first - 2 >= 1)
            sheet.deleteRows(1, rows->first - 2);
    } else {
        sheet.deleteRows(1, rows->first - 1);
        sheet.insertRow(1);
    }
    for (int c = 0; c < table.header.size(); ++c)
        sheet.setText(1, c + 1, table.header.at(c));
    sheet.setGeneralFormat();
    return {};
}

Status convertCensusWorkbook(const QString& workbookPath, const QString& outputPath, const CensusWorkbook& table)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    auto sheet = Sheet::open(workbookPath);
    if (!sheet)
        return Error{sheet.error()};
    if (Status reshaped = reshapeCensusSheet(*sheet, table); !reshaped)
        return Error{QStringLiteral("%1: %2").arg(shown(workbookPath), reshaped.error())};
    return sheet->saveCsv(outputPath);
}

CensusRunReport convertCensusFolder(bool prefEdition, const QString& convertFolder, const QString& outputFolder,
                                    const std::function<bool(const QString& checkBox)>& ticked)
{
    CensusRunReport report;
    platform::ImportLock lock; // held over all the workbooks of the run
    if (Status locked = lock.acquire(); !locked) {
        report.problems << locked.error();
        return report;
    }
    const QDir in(convertFolder), out(outputFolder);
    for (const CensusWorkbook& table : censusWorkbooks(prefEdition)) {
        if (!ticked(table.checkBox))
            continue;
        QString path = in.filePath(table.workbook);
        // Today's workbooks come as .xlsx; the same name with that suffix is taken as well.
        if (!QFileInfo::exists(path) && QFileInfo::exists(path + QLatin1Char('x')))
            path += QLatin1Char('x');
        if (!QFileInfo::exists(path))
            continue;
        const QString output = out.filePath(table.output);
        if (Status done = convertCensusWorkbook(path, output, table); !done)
            report.problems << done.error();
        else
            report.written << output;
    }
    return report;
}

} // namespace miratos::convert
