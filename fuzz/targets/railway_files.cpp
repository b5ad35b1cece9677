// The four railway files of MapData/鉄道: the input holds Line_rr.dat, Rosen.dat, Eki.dat and
// Line_st.dat, separated by "====" lines. What was read, encoded and read again is the same.
#include "fuzz_support.h"
#include "store/railway_files.h"

#include <QDir>

using namespace miratos;
using namespace miratos::fuzz;

namespace {

bool sameTables(const store::RailwayTables& a, const store::RailwayTables& b)
{
    return a.sections == b.sections && a.stations == b.stations && a.railCurves == b.railCurves &&
           a.stationCurves == b.stationCurves;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto parts = splitInput(FUZZ_INPUT, 4);
    const QString folder = freshFolder(QStringLiteral("鉄道"));
    const char16_t* names[] = {store::kLineRrFile, store::kRosenFile, store::kEkiFile, store::kLineStFile};
    for (int i = 0; i < 4; ++i)
        writeScratch(QStringLiteral("鉄道/") + QString::fromUtf16(names[i]), parts[static_cast<size_t>(i)]);
    store::RailwayRead read = store::readRailwayFiles(folder);
    FUZZ_CHECK(read.present, QStringLiteral("Line_rr.dat is there"));
    if (!read.problems.isEmpty())
        return 0;
    auto bytes = store::encodeRailwayFiles(read.tables);
    if (!bytes)
        return 0;
    const QString again = freshFolder(QStringLiteral("again"));
    FUZZ_CHECK(store::writeRailwayFiles(again, *bytes).ok(), QString());
    store::RailwayRead back = store::readRailwayFiles(again);
    FUZZ_CHECK(back.present && back.problems.isEmpty(), back.problems.join(QLatin1Char('\n')));
    FUZZ_CHECK(sameTables(back.tables, read.tables), QStringLiteral("railway tables differ after writing"));
    return 0;
}
