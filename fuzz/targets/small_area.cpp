// Small-area conversions of City mode: the boundary XML (first byte even) into a district file
// that must read back, or a census table CSV (first byte odd) into a statistic file that must
// read back.
#include "convert/small_area_converter.h"
#include "fuzz_support.h"
#include "store/district_file.h"
#include "store/statistic_file.h"

#include <QDir>

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString folder = freshFolder(QStringLiteral("東京都"));
    if (data[0] & 1) {
        const auto& tables = convert::smallAreaTables();
        const auto& table = tables[static_cast<size_t>(data[0] >> 1) % tables.size()];
        const QString input = writeScratch(QStringLiteral("tblT000572C13101.txt"), FUZZ_INPUT.sliced(1));
        const QString output = folder + QStringLiteral("/17_13101_statistic1.csv");
        if (!convert::convertSmallAreaTable(input, output, table).ok())
            return 0;
        store::StatRows rows;
        int16_t cols = 0;
        int32_t count = 0;
        const Status back = store::appendStatisticFile(output, rows, cols, count);
        FUZZ_CHECK(back.ok(), back.ok() ? QString() : back.error());
        return 0;
    }
    const QString input = writeScratch(QStringLiteral("h17ka13101.xml"), FUZZ_INPUT.sliced(1));
    auto report = convert::convertSmallAreaBoundary(input, 2005, QStringLiteral("13101"), folder);
    if (!report)
        return 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        auto back = store::readDistrictFile(folder + QLatin1Char('/') + name);
        FUZZ_CHECK(back.ok(), back.ok() ? QString() : back.error() + QStringLiteral("\nwritten:\n") +
                                                          QString::fromUtf8(readScratch(folder + QLatin1Char('/') + name)));
    }
    return 0;
}
