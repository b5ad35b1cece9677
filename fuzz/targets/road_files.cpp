// Road.dat of a prefecture and the nationwide RoadName.dat. First byte: which file.
#include "fuzz_support.h"
#include "platform/text_file.h"
#include "store/road_files.h"

#include <cmath>

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString path = writeScratch(QStringLiteral("road.dat"), FUZZ_INPUT.sliced(1));
    if (data[0] & 1) {
        store::RoadNameRead names = store::readRoadNames(path);
        FUZZ_CHECK(names.present, QString());
        auto bytes = store::encodeRoadNames(names.rows);
        if (!bytes)
            return 0;
        const QString again = writeScratch(QStringLiteral("again.dat"), *bytes);
        store::RoadNameRead back = store::readRoadNames(again);
        FUZZ_CHECK(back.problems.isEmpty(), back.problems.join(QLatin1Char('\n')));
        FUZZ_CHECK(back.rows == names.rows, QStringLiteral("road names differ after writing"));
        return 0;
    }
    store::RoadSet set;
    int offered = 0;
    store::RoadFileRead read = store::readRoadFile(path, set, [&](double, double) { return ++offered % 2 == 1; });
    FUZZ_CHECK(read.present, QString());
    FUZZ_CHECK(static_cast<int>(set.roads.size()) == read.kept && read.kept <= read.lines, QString::number(read.kept));
    for (const store::RoadSet::Road& road : set.roads) {
        FUZZ_CHECK(2 * (static_cast<size_t>(road.first) + road.count) <= set.coords.size(), road.key);
        for (quint32 i = 0; i < road.count; ++i)
            FUZZ_CHECK(std::isfinite(set.lon(road, i)) && std::isfinite(set.lat(road, i)), road.key);
    }
    return 0;
}
