// Census workbooks (.xls through FreeXL, .xlsx through the zip reader): opened, reshaped as each
// census table, and saved as CSV that reads back as a statistic file.
#include "convert/census_workbook.h"
#include "fuzz_support.h"
#include "platform/spreadsheet.h"
#include "store/statistic_file.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const bool zip = FUZZ_INPUT.startsWith(QByteArrayView("PK"));
    const QString path = writeScratch(zip ? QStringLiteral("book.xlsx") : QStringLiteral("book.xls"), FUZZ_INPUT);
    auto opened = platform::Sheet::open(path);
    if (!opened)
        return 0;
    (void)opened->lastRow();
    (void)opened->lastColumn();
    const QString csv = scratchFolder() + QStringLiteral("/statistic.csv");
    for (bool prefEdition : {true, false}) {
        for (const convert::CensusWorkbook& table : convert::censusWorkbooks(prefEdition)) {
            platform::Sheet sheet = *opened;
            if (!convert::reshapeCensusSheet(sheet, table).ok())
                continue;
            if (!sheet.saveCsv(csv).ok())
                continue;
            store::StatRows rows;
            int16_t cols = 0;
            int32_t count = 0;
            (void)store::appendStatisticFile(csv, rows, cols, count);
        }
    }
    return 0;
}
