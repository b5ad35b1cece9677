// Throughput of the pieces every loader and converter leans on: CP932 decoding of large files,
// number parsing, and keyed-table look-ups.
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/keyed_table.h"
#include "platform/number_text.h"
#include "platform/text_file.h"

#include <benchmark/benchmark.h>

using namespace miratos::platform;

static void BM_Cp932DecodeAndSplit(benchmark::State& state)
{
    // 1 MB of CP932 text shaped like a geometry file: keys, Japanese names, coordinate lists.
    QByteArray chunk = "13c123\r\n35.6812345 139.7612345 35.6823456 139.7623456 35.6834567 139.7634567\r\n";
    chunk += *toCp932(QStringLiteral("東京都@千代田区\r\n"));
    QByteArray data;
    while (data.size() < (1 << 20))
        data += chunk;
    for (auto _ : state) {
        QStringList lines = splitLines(decodeText(data, TextEncoding::Cp932));
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_Cp932DecodeAndSplit);

static void BM_ParseNumber(benchmark::State& state)
{
    const QByteArray text = "139.7612345";
    for (auto _ : state)
        benchmark::DoNotOptimize(parseNumber(text));
}
BENCHMARK(BM_ParseNumber);

static void BM_KeyedTableLookup(benchmark::State& state)
{
    KeyedTable table;
    const int rows = static_cast<int>(state.range(0));
    for (int i = 0; i < rows; ++i)
        table.add(QStringLiteral("G%1").arg(i), QString::number(i));
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.find(QStringLiteral("G%1").arg(i)));
        i = (i + 7919) % rows;
    }
}
BENCHMARK(BM_KeyedTableLookup)->Arg(1000)->Arg(100000);

// A facility import looks up one code per facility: 100,000 look-ups in the shipped Init.ini.
static void BM_IniLookups100k(benchmark::State& state)
{
    const QString ini = QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini");
    qsizetype found = 0;
    for (auto _ : state) {
        for (int i = 0; i < 100000; ++i)
            found += GetINIValue(QStringLiteral("%1").arg(i % 47 + 1, 2, 10, QLatin1Char('0')), QStringLiteral("Pref"), ini).size();
    }
    if (found == 0)
        state.SkipWithError("Init.ini gave no prefecture names");
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_IniLookups100k)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
