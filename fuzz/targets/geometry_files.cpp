// Prefecture-level geometry files: NEWS.dat, Line.dat (both readers), PrefLine.dat, Polygon.dat,
// Point.dat and Tiku.dat. The first byte picks the file kind; the rest is the file.
#include "round_trip.h"
#include "store/line_file.h"
#include "store/line_geometry.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView file = FUZZ_INPUT.sliced(1);
    const QString path = writeScratch(QStringLiteral("geometry.dat"), file);
    QStringList skipped;
    switch (data[0] % 6) {
    case 0: {
        auto news = store::readNewsFile(path);
        if (news) {
            // Doubles go through 15 significant digits: written twice, the text must not move.
            const QString a = scratchFolder() + QStringLiteral("/a.dat"), b = scratchFolder() + QStringLiteral("/b.dat");
            FUZZ_CHECK(store::writeNewsFile(a, *news).ok(), QString());
            auto back = store::readNewsFile(a);
            FUZZ_CHECK(back.ok(), QString());
            FUZZ_CHECK(store::writeNewsFile(b, *back).ok(), QString());
            FUZZ_CHECK(readScratch(a) == readScratch(b), QString::fromUtf8(readScratch(a)));
        }
        break;
    }
    case 1: {
        checkRoundTrip(path, store::readLineFile, store::writeLineFile);
        auto records = store::readLineFile(path);
        auto geometry = store::readLineGeometry(path);
        if (records && geometry)
            FUZZ_CHECK(records->size() == geometry->size(), QStringLiteral("both Line.dat readers count records alike"));
        break;
    }
    case 2:
        checkRoundTrip(path, store::readPrefLineFile, store::writePrefLineFile);
        (void)store::readPrefLineFileSkippingBad(path, skipped);
        break;
    case 3:
        checkRoundTrip(path, store::readPolygonFile, store::writePolygonFile);
        (void)store::readPolygonFileSkippingBad(path, skipped);
        break;
    case 4:
        checkRoundTrip(path, store::readPointFile, store::writePointFile);
        (void)store::readPointFileSkippingBad(path, skipped);
        break;
    case 5:
        checkRoundTrip(path, store::readTikuFile, store::writeTikuFile);
        (void)store::readTikuFileSkippingBad(path, skipped);
        break;
    }
    return 0;
}
