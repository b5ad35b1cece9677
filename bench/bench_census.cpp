// Census conversions: a census workbook of 2,000 rows × 30 columns reshaped into its statistic
// CSV (goal < 0.5 s), the Itabashi small-area shapefile imported (goal < 0.2 s), a generated
// small-area shapefile of 70,000 polygons (all of Tokyo's wards; goal < 5 s), the 2020
// results workbook (1,965 municipalities) turned into statistic files, and three e-Stat tables
// of Tokyo in today's layout (about 5,000 areas each; goal < 1 s for the three).
#include "convert/census_workbook.h"
#include "convert/small_area_converter.h"
#include "imports/census_results.h"
#include "imports/small_area_import.h"
#include "platform/cp932.h"
#include "platform/gis_reader.h"
#include "platform/spreadsheet.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace miratos;

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// An app folder with every prefecture listed in Init.ini; a fresh MapData for each run.
QString appFolder(const QString& name)
{
    const QString root = workDir().filePath(name);
    QDir().mkpath(root + QStringLiteral("/MapData"));
    QStringList ini{QStringLiteral("[Pref]")};
    for (int i = 1; i <= 47; ++i)
        ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
    ini[13] = QStringLiteral("13=東京都");
    (void)platform::writeTextLines(root + QStringLiteral("/Init.ini"), ini);
    return root;
}

// The prefecture table 12a001 with its data row repeated to 2,000 rows and widened to 30 columns.
platform::Sheet bigSheet()
{
    auto opened = platform::Sheet::open(QStringLiteral(MIRATOS_SOURCE_DIR "/tests/convert/fixtures/census/12a001.xls"));
    if (!opened)
        return platform::Sheet();
    platform::Sheet sheet = *opened;
    constexpr int dataRow = 6;
    const int columns = sheet.lastColumn();
    for (int i = 0; i < 2000; ++i) {
        sheet.insertRow(dataRow + 1);
        for (int c = 1; c <= columns; ++c)
            sheet.setValue(dataRow + 1, c, sheet.text(dataRow, c));
        sheet.setValue(dataRow + 1, 9, QString::number(100 + i % 900)); // a municipality code
        for (int c = columns + 1; c <= 30; ++c)
            sheet.setNumber(dataRow + 1, c, i * 1.5 + c);
    }
    return sheet;
}

void BM_CensusWorkbook2000Rows(benchmark::State& state)
{
    const platform::Sheet start = bigSheet();
    const convert::CensusWorkbook* table = convert::censusWorkbookFor(true, QStringLiteral("12a001.xls"));
    if (start.lastRow() < 2000 || !table) {
        state.SkipWithError("fixture workbook 12a001.xls not readable");
        return;
    }
    for (auto _ : state) {
        platform::Sheet sheet = start;
        if (!convert::reshapeCensusSheet(sheet, *table)) {
            state.SkipWithError("reshape failed");
            return;
        }
        benchmark::DoNotOptimize(sheet.csvLines());
    }
    state.counters["rows"] = start.lastRow();
}
BENCHMARK(BM_CensusWorkbook2000Rows)->Unit(benchmark::kMillisecond);

void BM_ItabashiShapefileImport(benchmark::State& state)
{
    const QString shp = QStringLiteral(MIRATOS_SHARED_DATA "/small-area-itabashi-2015/h27ka13119.shp");
    if (!QFile::exists(shp)) {
        state.SkipWithError("shared data not found");
        return;
    }
    const QString app = appFolder(QStringLiteral("itabashi"));
    for (auto _ : state) {
        const auto written = imports::importSmallAreaShapefile(shp, 0, app + QStringLiteral("/MapData"), app + QStringLiteral("/Init.ini"));
        if (!written) {
            state.SkipWithError(written.error().toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(BM_ItabashiShapefileImport)->Unit(benchmark::kMillisecond);

// 70,000 small areas: 23 wards of about 3,000 areas each, every area a square of sixteen
// points with the attributes of the published boundary data; written as GeoJSON and turned
// into a CP932 shapefile by GDAL once.
QString tokyoWardsShapefile()
{
    static const QString path = [] {
        const QString json = workDir().filePath(QStringLiteral("wards.geojson"));
        QFile out(json);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        out.write("{\"type\":\"FeatureCollection\",\"features\":[\n");
        constexpr int wards = 23, perWard = 3044;
        constexpr double step = 0.002;
        for (int w = 0; w < wards; ++w) {
            for (int k = 0; k < perWard; ++k) {
                const double x = 139.5 + (k % 60) * step + (w % 5) * 0.13, y = 35.5 + (k / 60) * step + (w / 5) * 0.11;
                QByteArray ring;
                const double corners[5][2] = {{x, y}, {x + step, y}, {x + step, y + step}, {x, y + step}, {x, y}};
                for (int side = 0; side < 4; ++side) {
                    for (int p = 0; p < 4; ++p) {
                        const double t = p / 4.0;
                        const double px = corners[side][0] + (corners[side + 1][0] - corners[side][0]) * t;
                        const double py = corners[side][1] + (corners[side + 1][1] - corners[side][1]) * t;
                        ring += "[" + QByteArray::number(px, 'f', 6) + "," + QByteArray::number(py, 'f', 6) + "],";
                    }
                }
                ring += "[" + QByteArray::number(x, 'f', 6) + "," + QByteArray::number(y, 'f', 6) + "]";
                const QByteArray city = QByteArray::number(101 + w);
                const QByteArray key = QByteArray::number(1000001 + k);
                out.write("{\"type\":\"Feature\",\"properties\":{\"KEN\":\"13\",\"CITY\":\"" + city + "\",\"KEYCODE2\":\"" + city + key +
                          "\",\"HCODE\":8101,\"AREA\":40000.5,\"AREA_MAX_F\":\"M\",\"MOJI\":\"" +
                          QStringLiteral("町%1丁目").arg(k).toUtf8() + "\",\"X_CODE\":" + QByteArray::number(x + step / 2, 'f', 6) +
                          ",\"Y_CODE\":" + QByteArray::number(y + step / 2, 'f', 6) + ",\"GST_NAME\":\"" +
                          QStringLiteral("区%1").arg(w).toUtf8() + "\",\"CSS_NAME\":\"\"},\"geometry\":{\"type\":\"Polygon\",\"coordinates\":[[" +
                          ring + "]]}}");
                out.write(w == wards - 1 && k == perWard - 1 ? "\n" : ",\n");
            }
        }
        out.write("]}\n");
        out.close();
        const QString shp = workDir().filePath(QStringLiteral("h27ka13100.shp"));
        if (!platform::translateGisFile(json, shp, QStringLiteral("ESRI Shapefile"), {QStringLiteral("-lco"), QStringLiteral("ENCODING=CP932")}))
            return QString();
        return shp;
    }();
    return path;
}

void BM_TokyoWardsShapefileImport(benchmark::State& state)
{
    const QString shp = tokyoWardsShapefile();
    if (shp.isEmpty()) {
        state.SkipWithError("could not generate the shapefile");
        return;
    }
    const QString app = appFolder(QStringLiteral("wards"));
    for (auto _ : state) {
        const auto written = imports::importSmallAreaShapefile(shp, 0, app + QStringLiteral("/MapData"), app + QStringLiteral("/Init.ini"));
        if (!written) {
            state.SkipWithError(written.error().toStdString().c_str());
            return;
        }
        state.counters["files"] = static_cast<double>(written->size());
    }
    state.counters["polygons"] = 23 * 3044;
}
BENCHMARK(BM_TokyoWardsShapefileImport)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ResultsWorkbookImport(benchmark::State& state)
{
    const QString xlsx = QStringLiteral(MIRATOS_SHARED_DATA "/census/major_results_2020.xlsx");
    if (!QFile::exists(xlsx)) {
        state.SkipWithError("shared data not found");
        return;
    }
    const QString app = appFolder(QStringLiteral("results"));
    for (auto _ : state) {
        const auto written = imports::importMunicipalResults(xlsx, app + QStringLiteral("/MapData"), app + QStringLiteral("/Init.ini"));
        if (!written) {
            state.SkipWithError(written.error().toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(BM_ResultsWorkbookImport)->Unit(benchmark::kMillisecond);

// Today's e-Stat small-area tables of 東京都 (tblT001082C13.txt and its kind): CP932, column codes
// on line 1, their titles on line 2 under empty first fields, then for each of 48 municipalities
// its total, 13 towns and 7 blocks in each (5,040 rows), with "-", "X" and secret areas. Tables 1
// (population and households), 2 (age groups, 66 columns) and 3 (household sizes).
QStringList tokyoSmallAreaTables(const QString& folder)
{
    QStringList files;
    int t = 0;
    for (const convert::SmallAreaTable& table : convert::smallAreaTables()) {
        if (table.n > 3)
            break;
        QStringList codes{QStringLiteral("KEY_CODE"), QStringLiteral("HYOSYO"), QStringLiteral("CITYNAME"), QStringLiteral("NAME"),
                          QStringLiteral("HTKSYORI"), QStringLiteral("HTKSAKI"), QStringLiteral("GASSAN")};
        QStringList titles(7, QString());
        for (qsizetype c = 0; c < table.valueHeaders.size(); ++c) {
            codes << QStringLiteral("T00108%1%2").arg(2 + t).arg(c + 1, 3, 10, QLatin1Char('0'));
            titles << table.valueHeaders.at(c);
        }
        QStringList lines{codes.join(QLatin1Char(',')), titles.join(QLatin1Char(','))};
        const auto values = [&](int seed) {
            QStringList v;
            for (qsizetype c = 0; c < table.valueHeaders.size(); ++c)
                v << ((seed + c) % 97 == 0 ? QStringLiteral("-") : QString::number((seed * 7 + c * 13) % 5000));
            return v.join(QLatin1Char(','));
        };
        for (int m = 0; m < 48; ++m) {
            const QString code = QString::number(m < 23 ? 13101 + m : 13201 + m - 23);
            const QString city = QStringLiteral("市%1").arg(m);
            lines << QStringLiteral("%1,1,%2,,,,,%3").arg(code, city, values(m));
            for (int town = 1; town <= 13; ++town) {
                const QString townCode = code + QStringLiteral("%1").arg(town * 10, 4, 10, QLatin1Char('0'));
                lines << QStringLiteral("%1,2,%2,町%3,,,,%4").arg(townCode, city).arg(town).arg(values(m * 100 + town));
                for (int block = 1; block <= 7; ++block) {
                    const QString blockCode = townCode + QStringLiteral("%1").arg(block, 2, 10, QLatin1Char('0'));
                    const bool secret = block == 7 && town % 4 == 0;
                    lines << QStringLiteral("%1,3,%2,町%3%4丁目,%5,%6,,%7")
                                 .arg(blockCode, city)
                                 .arg(town)
                                 .arg(block)
                                 .arg(secret ? QStringLiteral("1") : QString(), secret ? townCode + QStringLiteral("01") : QString(),
                                      values(m * 10000 + town * 10 + block));
                }
            }
        }
        const QString path = QDir(folder).filePath(QStringLiteral("tblT00108%1C13.txt").arg(2 + t++));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return {};
        out.write(platform::toCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).value());
        files << path;
    }
    return files;
}

void BM_TokyoSmallAreaTablesImport(benchmark::State& state)
{
    const QString app = appFolder(QStringLiteral("tables"));
    const QStringList tables = tokyoSmallAreaTables(workDir().path());
    // The boundaries of every municipality are imported first: the tables are written beside
    // their district files (only the names matter to the table import).
    const QString tokyo = app + QStringLiteral("/MapData/東京都");
    QDir().mkpath(tokyo);
    for (int m = 0; m < 48; ++m) {
        const QString name = QStringLiteral("32_%1_市%2.dat").arg(m < 23 ? 13101 + m : 13201 + m - 23).arg(m);
        (void)platform::writeTextLines(QDir(tokyo).filePath(name), {QStringLiteral("139 35 140 36")});
    }
    if (tables.size() != 3) {
        state.SkipWithError("could not generate the tables");
        return;
    }
    for (auto _ : state) {
        for (const QString& table : tables) {
            const auto written = imports::importSmallAreaTable(table, 0, app + QStringLiteral("/MapData"), app + QStringLiteral("/Init.ini"));
            if (!written || written->size() != 48) {
                state.SkipWithError(written ? "not every municipality written" : written.error().toStdString().c_str());
                return;
            }
        }
    }
    state.counters["rows"] = 48 * (1 + 13 * 8);
}
BENCHMARK(BM_TokyoSmallAreaTablesImport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
