// Statistic files and own-data tables (CP932, UTF-8 with or without BOM), their export, and the
// rank colour file. First byte: bit 0 guesses the encoding as for tables users bring, bit 1
// reads the rank colour file instead.
#include "fuzz_support.h"
#include "store/statistic_file.h"

#include <QFile>

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString path = writeScratch(QStringLiteral("statistic.csv"), FUZZ_INPUT.sliced(1));
    if (data[0] & 2) {
        auto colours = store::readRankColorFile(path);
        if (colours) {
            FUZZ_CHECK(colours->rankCount >= 3 && colours->rankCount <= 10, QString::number(colours->rankCount));
            FUZZ_CHECK(colours->colors.size() <= 10, QString::number(colours->colors.size()));
            const QString again = scratchFolder() + QStringLiteral("/again.txt");
            FUZZ_CHECK(store::writeRankColorFile(again, colours->rankCount, colours->colors).ok(), QString());
            auto back = store::readRankColorFile(again);
            FUZZ_CHECK(back.ok() && back->rankCount == colours->rankCount && back->colors == colours->colors,
                       QStringLiteral("rank colours differ after writing"));
        }
        return 0;
    }
    store::StatRows table;
    int16_t colCount = 0;
    int32_t rowCount = 0;
    // An empty file is an empty table: nothing to check.
    if (!store::appendStatisticFile(path, table, colCount, rowCount, data[0] & 1).ok() || table.empty())
        return 0;
    FUZZ_CHECK(table.size() == static_cast<size_t>(rowCount) + 1, QString::number(rowCount));
    for (const auto& row : table)
        FUZZ_CHECK(row.size() == static_cast<size_t>(colCount) + 1, QString::number(row.size()));
    // The export of the table reads back as a table of as many rows and columns (the window exports
    // only a table with data rows).
    if (rowCount == 0)
        return 0;
    const QString exported = scratchFolder() + QStringLiteral("/export.csv");
    QFile::remove(exported);
    if (!store::exportStatisticTable(exported, table, colCount, rowCount, false).ok())
        return 0;
    store::StatRows back;
    int16_t backCols = 0;
    int32_t backRows = 0;
    const Status reread = store::appendStatisticFile(exported, back, backCols, backRows);
    FUZZ_CHECK(reread.ok(), QStringLiteral("export unreadable: ") + reread.error());
    // (A one-column table's empty last rows are blank lines, which a reader drops at the end; a
    // table of nothing but blank lines, its header included, reads back as no table.)
    size_t expected = table.size();
    while (colCount == 0 && expected > 0 && table[expected - 1][0].isEmpty())
        --expected;
    if (expected == 0) {
        FUZZ_CHECK(back.empty(), QString::number(back.size()));
        return 0;
    }
    FUZZ_CHECK(back.size() == expected && backCols == colCount, QStringLiteral("the exported table reads back differently: %1 rows of %2 columns, then %3 of %4\n%5")
                   .arg(table.size()).arg(colCount).arg(back.size()).arg(backCols)
                   .arg(QString::fromLatin1(readScratch(exported).toHex(' '))));
    // A second file appends its rows under the first one's header.
    FUZZ_CHECK(store::appendStatisticFile(exported, back, backCols, backRows).ok(), QString());
    FUZZ_CHECK(back.size() == 2 * expected - 1, QString::number(backRows));
    return 0;
}
