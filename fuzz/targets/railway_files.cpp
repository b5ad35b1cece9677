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

// The first curve row that differs, for the report.
QString firstDifference(const store::RailwayTables& a, const store::RailwayTables& b)
{
    QString out = QStringLiteral("rows %1/%2 %3/%4 %5/%6 %7/%8\n")
                      .arg(a.sections.size()).arg(b.sections.size()).arg(a.stations.size()).arg(b.stations.size())
                      .arg(a.railCurves.size()).arg(b.railCurves.size()).arg(a.stationCurves.size()).arg(b.stationCurves.size());
    for (size_t i = 0; i < std::min(a.railCurves.size(), b.railCurves.size()); ++i)
        for (size_t j = 0; j < 2; ++j)
            if (a.railCurves[i][j] != b.railCurves[i][j])
                return out + QStringLiteral("curve %1.%2: [%3] != [%4]").arg(i).arg(j).arg(a.railCurves[i][j], b.railCurves[i][j]);
    return out;
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
    // As many records after writing; from then on writing and reading changes nothing (the first
    // write may turn a few characters of a UTF-8 file into their CP932 forms).
    const QString again = freshFolder(QStringLiteral("again"));
    FUZZ_CHECK(store::writeRailwayFiles(again, *bytes).ok(), QString());
    store::RailwayRead back = store::readRailwayFiles(again);
    FUZZ_CHECK(back.present && back.problems.isEmpty(), back.problems.join(QLatin1Char('\n')));
    FUZZ_CHECK(back.tables.sections.size() == read.tables.sections.size() &&
                   back.tables.stations.size() == read.tables.stations.size() &&
                   back.tables.railCurves.size() == read.tables.railCurves.size() &&
                   back.tables.stationCurves.size() == read.tables.stationCurves.size(),
               firstDifference(read.tables, back.tables));
    auto bytes2 = store::encodeRailwayFiles(back.tables);
    FUZZ_CHECK(bytes2.ok(), bytes2.error());
    const QString third = freshFolder(QStringLiteral("third"));
    FUZZ_CHECK(store::writeRailwayFiles(third, *bytes2).ok(), QString());
    store::RailwayRead last = store::readRailwayFiles(third);
    FUZZ_CHECK(sameTables(last.tables, back.tables), firstDifference(back.tables, last.tables));
    return 0;
}
