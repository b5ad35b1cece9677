// The road text converters (N～～.txt to Road.dat, N～～台.txt to RoadName.dat). First byte: which.
// What they build reads back without a problem.
#include "convert/road_converter.h"
#include "fuzz_support.h"
#include "store/road_files.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        const QString path = writeScratch(QStringLiteral("N00台.txt"), FUZZ_INPUT.sliced(1));
        auto built = convert::buildRoadNameFile(path);
        if (!built)
            return 0;
        const QString out = writeScratch(QStringLiteral("RoadName.dat"), built->bytes);
        store::RoadNameRead back = store::readRoadNames(out);
        // Every line splits into its five fields (a route number the source repeats is the source's
        // matter: the reader keeps the first).
        const QString problems = back.problems.join(QLatin1Char('\n'));
        FUZZ_CHECK(!problems.contains(QStringLiteral("分けられない")),
                   problems + QStringLiteral("\nwritten: ") + QString::fromLatin1(built->bytes.toHex(' ')));
        FUZZ_CHECK(static_cast<qint64>(back.rows.size()) <= built->records, QString::number(back.rows.size()));
        return 0;
    }
    const QString path = writeScratch(QStringLiteral("N13.txt"), FUZZ_INPUT.sliced(1));
    auto built = convert::buildRoadFile(path);
    if (!built)
        return 0;
    const QString out = writeScratch(QStringLiteral("Road.dat"), built->bytes);
    store::RoadSet set;
    store::RoadFileRead back = store::readRoadFile(out, set, [](double, double) { return true; });
    FUZZ_CHECK(back.problems.isEmpty(), back.problems.join(QLatin1Char('\n')));
    FUZZ_CHECK(back.lines == built->records, QStringLiteral("%1 roads read, %2 written").arg(back.lines).arg(built->records));
    return 0;
}
