// The census result tables and the prefecture time series with broken lines or without the
// rows Japan mode can use: each row gives its message, changes no file that existed and writes
// nothing outside the app folder. The README's "Bad input" section lists the same rows.
#include "bad_input_support.h"

#include "platform/cp932.h"

using namespace bad_input;

namespace {

const QString kSeriesHeader =
    QStringLiteral("\"都道府県コード\",\"都道府県名\",\"元号\",\"和暦（年）\",\"西暦（年）\",\"注\",\"人口（総数）\",\"人口（男）\",\"人口（女）\"");

QByteArray series(const QStringList& rows)
{
    return platform::toCp932((QStringList{kSeriesHeader} + rows).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).value();
}

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        {"PrefectureSeriesWithAShortLine",
         [](B& b) {
             return runImport(b.in(QStringLiteral("c01.csv"), series({QStringLiteral("\"13\",\"東京都\",\"大正\",9,1920,\"\",3699428,1952989,1746439"),
                                                                      QStringLiteral("\"14\",\"神奈川県\",\"大正\",9,1920,\"\",1323390")})));
         },
         "c01.csv: 3 行目の列が足りません"},
        {"PrefectureSeriesWithAYearThatIsNoYear",
         [](B& b) {
             return runImport(b.in(QStringLiteral("c01.csv"), series({QStringLiteral("\"13\",\"東京都\",\"大正\",9,\"大正九\",\"\",3699428,1952989,1746439")})));
         },
         "c01.csv: 2 行目の西暦「大正九」が年ではありません"},
        {"PrefectureSeriesOfTheNationAndExtraAreasOnly",
         [](B& b) {
             return runImport(b.in(QStringLiteral("c01.csv"), series({QStringLiteral("\"00\",\"全国\",\"大正\",9,1920,\"\",55963053,28044185,27918868"),
                                                                      QStringLiteral("\"0A\",\"人口集中地区\",\"昭和\",35,1960,\"\",1,1,0")})));
         },
         "c01.csv: 都道府県の行が 1 つもありません"},
        {"ResultsWithoutTheirPopulationColumns",
         [](B& b) {
             return runImport(b.in(QStringLiteral("results.csv"), "都道府県コード,市区町村コード,都道府県名,市区町村名,人口_総数\n"
                                                                  "13,13101,東京都,千代田区,66680\n"));
         },
         "results.csv: 人口・男・女の列がありません"},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputCensusTable);
