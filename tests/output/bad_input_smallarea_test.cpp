// e-Stat's small-area tables as published today, given to the wrong converter or covering
// municipalities that cannot be written: each row gives its message, changes no file that
// existed and writes nothing outside the app folder. The README's "Bad input" section lists the
// same rows.
#include "bad_input_support.h"

#include "cli/import_command.h"
#include "convert/small_area_converter.h"
#include "platform/cp932.h"

using namespace bad_input;

namespace {

// A table in today's layout (CP932, titles on line 2) with the given rows.
QByteArray todaysTable(const QStringList& rows)
{
    QStringList lines{QStringLiteral("KEY_CODE,HYOSYO,CITYNAME,NAME,HTKSYORI,HTKSAKI,GASSAN,T001082001,T001082002,T001082003,T001082004"),
                      QStringLiteral(",,,,,,,人口総数,男,女,世帯総数")};
    lines << rows;
    return platform::toCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).value();
}

const QString kChiyoda = QStringLiteral("13101,1,千代田区,,,,,66680,33637,33043,35000");
const QString kChuo = QStringLiteral("13102,1,中央区,,,,,169179,80216,88963,100000");

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        {"TodaysSmallAreaTableToTheOlderConverter",
         [](B& b) {
             const QString txt = b.in(QStringLiteral("tblT001082C13.txt"), todaysTable({kChiyoda}));
             return messageOf(convert::convertSmallAreaTable(txt, b.tokyo(QStringLiteral("32_13101_statistic1.csv")),
                                                             convert::smallAreaTables().at(0)));
         },
         "tblT001082C13.txt: 今の形式の小地域集計（KEY_CODE, …, GASSAN の後に値）です。この変換では値の列がずれるので、miratos import で取り込んでください"},
        {"SmallAreaTableWithoutAnyBoundary",
         [](B& b) { return importNotes({b.in(QStringLiteral("tblT001082C13.txt"), todaysTable({kChiyoda, kChuo}))}); },
         "tblT001082C13.txt: 13101 千代田区、13102 中央区 の小地域の境界がまだ取り込まれていません（先に境界を取り込むか --year で指定してください）"},
        {"SmallAreaTablePartlyWithoutBoundaries",
         [](B& b) {
             b.put(b.tokyo(QStringLiteral("32_13101_千代田区.dat")), "139 35 140 36\r\n"); // its boundaries
             return importNotes({b.in(QStringLiteral("tblT001082C13.txt"), todaysTable({kChiyoda, kChuo}))});
         },
         "tblT001082C13.txt: 小地域の境界がまだ取り込まれていない 1 市区町村は書きませんでした（13102 中央区）",
         {QStringLiteral("app/MapData/東京都/32_13101_statistic1.csv")}},
        {"SmallAreaTableWithAnUnlistedPrefecture",
         [](B& b) {
             return importNotes({QStringLiteral("--year"), QStringLiteral("2020"),
                                 b.in(QStringLiteral("tblT001082C13.txt"), todaysTable({kChiyoda, QStringLiteral("99101,1,どこか市,,,,,1,1,0,1")}))});
         },
         "tblT001082C13.txt: 都道府県コード 99 が Init.ini の [Pref] にありません"},
        {"SmallAreaTableWithoutGassan",
         [](B& b) {
             return importNotes({QStringLiteral("--year"), QStringLiteral("32"),
                                 b.in(QStringLiteral("table.txt"), "KEY_CODE,HYOSYO,CITYNAME,NAME,T001082001\r\n13101,1,千代田区,,66680\r\n")});
         },
         "table.txt: KEY_CODE, CITYNAME, MOJI（または NAME）, GASSAN の後に値の列がある表ではありません"},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputSmallAreaTable);
