#include "imports/census_results.h"

#include "imports/statistic_output.h"
#include "platform/import_lock.h"
#include "platform/number_text.h"
#include "platform/safe_write.h"
#include "platform/spreadsheet.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <map>

namespace miratos::imports {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

const QString kResultsHeader = QStringLiteral("都道府県コード,市区町村コード,");
const QStringList kPopulationTitles = {QStringLiteral("人口(人)"), QStringLiteral("男性(人)"), QStringLiteral("女性(人)"),
                                       QStringLiteral("男女比(男/女)")};

bool isWorkbook(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls");
}

// The results workbook: on its first sheet row 9 names the columns ("都道府県名",
// "都道府県・市区町村名", ...) and gives the units, rows 5 and 7 the titles; from row 10 on
// column A holds "01_北海道", column B "01100_札幌市", from column E on the values (E, F, G the
// population, men and women).
bool isResultsSheet(const platform::Sheet& sheet)
{
    return sheet.text(9, u"A") == QStringLiteral("都道府県名") && sheet.text(9, u"B").startsWith(QStringLiteral("都道府県・市区町村名"));
}

// A header text as one field of a statistic file: no line breaks, no comma (the files know no
// quoting).
QString cleanTitle(QString title)
{
    title.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return title.replace(QLatin1Char(','), QStringLiteral("，")).trimmed();
}

// A field of a CSV line, quotes removed; a quoted field may hold commas and doubled quotes.
QStringList csvFields(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                field += line.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

// The results as one table, whichever edition they come in.
struct ResultsTable {
    QStringList titles; // of the value columns, the population, men and women first
    struct Row {
        QString pref, code, prefName, name;
        QStringList values;
    };
    std::vector<Row> rows;
};

// "A" for column 1, "AN" for column 40.
QString columnLetters(int column)
{
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

// Workbook column titles: the title of row 7 (row 5's group before it where row 7 repeats
// within the sheet, as "15歳未満" does under each age group) and the unit of row 9.
QStringList workbookTitles(const platform::Sheet& sheet, int lastColumn)
{
    const int first = platform::Sheet::columnNumber(u"E");
    QStringList own, grouped;
    QString group;
    for (int c = first; c <= lastColumn; ++c) {
        if (const QString g = cleanTitle(sheet.text(5, c)); !g.isEmpty())
            group = g;
        const QString title = cleanTitle(sheet.text(7, c)) + cleanTitle(sheet.text(9, c));
        own << title;
        grouped << (group.isEmpty() ? title : group + QLatin1Char(' ') + title);
    }
    QStringList titles;
    for (qsizetype i = 0; i < own.size(); ++i)
        titles << (own.count(own.at(i)) > 1 ? grouped.at(i) : own.at(i));
    // What is still the same twice is told apart by its column in the sheet.
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (titles.indexOf(titles.at(i)) < i)
            titles[i] += QStringLiteral("（%1 列）").arg(columnLetters(first + static_cast<int>(i)));
    }
    return titles;
}

Result<ResultsTable> readResults(const QString& path)
{
    ResultsTable table;
    static const QRegularExpression codeAndName(QStringLiteral("^(\\d{2,5})_(.*)$"));
    if (isWorkbook(path)) {
        const auto sheet = platform::Sheet::open(path);
        if (!sheet)
            return Error{sheet.error()};
        if (!isResultsSheet(*sheet))
            return Error{QStringLiteral("%1: 都道府県・市区町村別の主な結果の表ではありません").arg(shown(path))};
        const int first = platform::Sheet::columnNumber(u"E"), last = sheet->lastColumn();
        if (last < first + 2)
            return Error{QStringLiteral("%1: 人口・男・女の列がありません").arg(shown(path))};
        table.titles = workbookTitles(*sheet, last);
        for (int row = 10; row <= sheet->lastRow(); ++row) {
            const auto pref = codeAndName.match(sheet->text(row, u"A"));
            const auto area = codeAndName.match(sheet->text(row, u"B"));
            if (!pref.hasMatch() || !area.hasMatch())
                continue;
            ResultsTable::Row r{pref.captured(1), area.captured(1), pref.captured(2), area.captured(2), {}};
            for (int c = first; c <= last; ++c)
                r.values << sheet->text(row, c);
            table.rows.push_back(std::move(r));
        }
        // The second sheet of the published workbook (labour force, industries, daytime
        // population) has the same layout; its columns follow, joined by the area's code.
        const auto second = platform::Sheet::open(path, 2);
        if (!second || !isResultsSheet(*second) || second->lastColumn() < first)
            return table;
        const int secondLast = second->lastColumn();
        QHash<QString, int> rowOf;
        for (int row = 10; row <= second->lastRow(); ++row) {
            if (const auto area = codeAndName.match(second->text(row, u"B")); area.hasMatch())
                rowOf.insert(area.captured(1), row);
        }
        for (const QString& title : workbookTitles(*second, secondLast))
            table.titles << (table.titles.contains(title) ? title + QStringLiteral("（2 枚目）") : title);
        for (ResultsTable::Row& r : table.rows) {
            const int row = rowOf.value(r.code, 0);
            for (int c = first; c <= secondLast; ++c)
                r.values << (row > 0 ? second->text(row, c) : QString());
        }
        return table;
    }
    const auto lines = platform::readTextLinesGuessing(path);
    if (!lines)
        return Error{lines.error()};
    if (lines->isEmpty())
        return Error{QStringLiteral("%1: 空です").arg(shown(path))};
    const QStringList head = csvFields(lines->first());
    if (head.size() < 7)
        return Error{QStringLiteral("%1: 人口・男・女の列がありません").arg(shown(path))};
    for (qsizetype c = 4; c < head.size(); ++c)
        table.titles << cleanTitle(head.at(c));
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const QStringList f = csvFields(lines->at(i));
        if (f.size() < 4)
            continue;
        ResultsTable::Row r{f.at(0), f.at(1), f.at(2), f.at(3), f.mid(4)};
        while (r.values.size() < table.titles.size())
            r.values << QString();
        r.values.resize(table.titles.size());
        table.rows.push_back(std::move(r));
    }
    return table;
}

// A value as the statistic file holds it: a number with ".", or the mark the source gives.
QString valueText(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("-");
    if (const auto number = platform::toNumber(value))
        return platform::formatDouble(*number);
    return cleanTitle(value);
}

// Writes each table with its marks noted; the paths written are appended to written.
Status writeTables(const std::vector<std::pair<QString, QStringList>>& tables, QStringList* notes, QStringList* written)
{
    for (const auto& [out, lines] : tables) {
        if (Status s = platform::writeTextLines(out, markedForCp932(lines, out, notes)); !s)
            return s;
        *written << out;
    }
    return {};
}

} // namespace

bool isMunicipalResults(const QString& path)
{
    if (isWorkbook(path)) {
        const auto sheet = platform::Sheet::open(path);
        return sheet && isResultsSheet(*sheet);
    }
    if (QFileInfo(path).suffix().toLower() != QLatin1String("csv"))
        return false;
    const auto head = platform::readFirstLineGuessing(path);
    return head && head->startsWith(kResultsHeader);
}

Result<QStringList> importMunicipalResults(const QString& path, const QString& mapData, const QString& initIni,
                                           QStringList* notes)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    const auto table = readResults(path);
    if (!table)
        return Error{table.error()};
    const QString header = (QStringList{QStringLiteral("Code"), QStringLiteral("地区名")} + kPopulationTitles +
                            table->titles.mid(3))
                               .join(QLatin1Char(','));
    QStringList japan{header};
    QHash<QString, QStringList> byPref;
    QStringList order;
    for (const ResultsTable::Row& r : table->rows) {
        if (r.pref == QLatin1String("00") || r.code.size() != 5)
            continue;
        QStringList values;
        for (const QString& v : r.values)
            values << valueText(v);
        const auto m = platform::toNumber(r.values.at(1)), w = platform::toNumber(r.values.at(2));
        values.insert(3, m && w && *w != 0 ? platform::formatDouble(platform::roundHalfEven(*m / *w * 100.0, 1)) : QStringLiteral("-"));
        if (r.code.endsWith(QLatin1String("000"))) {
            japan << (QStringList{r.pref, cleanTitle(r.prefName)} + values).join(QLatin1Char(','));
            continue;
        }
        if (!byPref.contains(r.pref)) {
            order << r.pref;
            byPref.insert(r.pref, {header});
        }
        byPref[r.pref] << (QStringList{r.code, cleanTitle(r.name)} + values).join(QLatin1Char(','));
    }
    if (japan.size() == 1 && order.isEmpty())
        return Error{QStringLiteral("%1: 都道府県・市区町村の行が 1 つもありません").arg(shown(path))};
    std::vector<std::pair<QString, QStringList>> tables{{QDir(mapData).filePath(QStringLiteral("statistic3.csv")), japan}};
    for (const QString& pref : order) {
        QString error;
        const QString folder = prefectureFolder(pref, mapData, initIni, &error);
        if (folder.isEmpty())
            return Error{QStringLiteral("%1: %2").arg(shown(path), error)};
        tables.emplace_back(QDir(folder).filePath(QStringLiteral("statistic6.csv")), byPref.value(pref));
    }
    // The national table and every prefecture's table are put in place together, or none.
    platform::WriteBatch batch;
    QStringList written;
    if (Status s = writeTables(tables, notes, &written); !s)
        return Error{s.error()};
    if (Status s = batch.commit(); !s)
        return Error{s.error()};
    return written;
}

namespace {

struct SeriesColumns {
    int code = -1, name = -1, year = -1, total = -1, men = -1, women = -1;
    bool complete() const { return code >= 0 && name >= 0 && year >= 0 && total >= 0 && men >= 0 && women >= 0; }
};

SeriesColumns seriesColumns(const QString& headerLine)
{
    const QStringList head = csvFields(headerLine);
    SeriesColumns c;
    c.code = static_cast<int>(head.indexOf(QStringLiteral("都道府県コード")));
    c.name = static_cast<int>(head.indexOf(QStringLiteral("都道府県名")));
    c.year = static_cast<int>(head.indexOf(QStringLiteral("西暦（年）")));
    c.total = static_cast<int>(head.indexOf(QStringLiteral("人口（総数）")));
    c.men = static_cast<int>(head.indexOf(QStringLiteral("人口（男）")));
    c.women = static_cast<int>(head.indexOf(QStringLiteral("人口（女）")));
    return c;
}

} // namespace

bool isPrefectureSeries(const QString& path)
{
    if (QFileInfo(path).suffix().toLower() != QLatin1String("csv"))
        return false;
    const auto head = platform::readFirstLineGuessing(path);
    return head && seriesColumns(*head).complete();
}

Result<QStringList> importPrefectureSeries(const QString& path, const QString& mapData, const QString&, QStringList* notes)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    const auto lines = platform::readTextLinesGuessing(path);
    if (!lines)
        return Error{lines.error()};
    if (lines->isEmpty())
        return Error{QStringLiteral("%1: 空です").arg(shown(path))};
    const SeriesColumns col = seriesColumns(lines->first());
    if (!col.complete())
        return Error{QStringLiteral("%1: 都道府県コード, 都道府県名, 西暦（年）, 人口（総数）, 人口（男）, 人口（女）の列がある表ではありません")
                         .arg(shown(path))};
    static const QRegularExpression prefCode(QStringLiteral("^(0[1-9]|[1-3]\\d|4[0-7])$"));
    static const QRegularExpression censusYear(QStringLiteral("^(1[89]|20)\\d\\d$"));
    std::map<QString, QString> names;                      // code -> name, in code order
    std::map<int, QHash<QString, QStringList>> byYear;     // year -> code -> population, men, women
    const int needed = std::max({col.code, col.name, col.year, col.total, col.men, col.women}) + 1;
    for (qsizetype i = 1; i < lines->size(); ++i) {
        if (lines->at(i).trimmed().isEmpty())
            continue;
        const QStringList f = csvFields(lines->at(i));
        if (f.size() < needed)
            return Error{QStringLiteral("%1: %2 行目の列が足りません").arg(shown(path)).arg(i + 1)};
        const QString code = f.at(col.code);
        if (!prefCode.match(code).hasMatch())
            continue; // the nation (00) and the extra areas (0A, 0B): no prefecture of the map
        if (!censusYear.match(f.at(col.year)).hasMatch())
            return Error{QStringLiteral("%1: %2 行目の西暦「%3」が年ではありません").arg(shown(path)).arg(i + 1).arg(f.at(col.year))};
        names.emplace(code, cleanTitle(f.at(col.name)));
        byYear[f.at(col.year).toInt()].insert(code, {valueText(f.at(col.total)), valueText(f.at(col.men)), valueText(f.at(col.women))});
    }
    if (names.empty())
        return Error{QStringLiteral("%1: 都道府県の行が 1 つもありません").arg(shown(path))};
    QStringList header{QStringLiteral("Code"), QStringLiteral("地区名")};
    for (const auto& entry : byYear) {
        for (const char* kind : {"人口", "男", "女"})
            header << QStringLiteral("%1 %2年").arg(QString::fromUtf8(kind)).arg(entry.first);
    }
    QStringList out{header.join(QLatin1Char(','))};
    const QStringList missing{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    for (const auto& [code, name] : names) {
        QStringList row{code, name};
        for (const auto& entry : byYear)
            row << entry.second.value(code, missing);
        out << row.join(QLatin1Char(','));
    }
    platform::WriteBatch batch;
    QStringList written;
    if (Status s = writeTables({{QDir(mapData).filePath(QStringLiteral("statistic4.csv")), out}}, notes, &written); !s)
        return Error{s.error()};
    if (Status s = batch.commit(); !s)
        return Error{s.error()};
    return written;
}

} // namespace miratos::imports
