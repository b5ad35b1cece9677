// District files of City mode ("17_13101_千代田区.dat") and the coordinate lists in them.
#include "round_trip.h"
#include "store/coord_list.h"
#include "store/district_file.h"
#include "store/district_file_name.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeScratch(QStringLiteral("17_13101_千代田区.dat"), FUZZ_INPUT);
    checkRoundTrip(path, store::readDistrictFile, store::writeDistrictFile);
    QStringList skipped;
    auto file = store::readDistrictFileSkippingBad(path, skipped);
    if (!file)
        return 0;
    (void)store::parseDistrictHeader(file->header);
    for (const store::DistrictRecord& r : file->records) {
        QVector<store::Ring> rings;
        if (store::parseDistrictRings(r.rings, rings)) {
            // Rings written and parsed again are the same rings.
            QVector<store::Ring> again;
            FUZZ_CHECK(store::parseDistrictRings(store::formatDistrictRings(rings), again), r.rings);
            FUZZ_CHECK(again.size() == rings.size(), r.rings);
        }
        (void)store::parseDistrictFileName(r.townName);
    }
    return 0;
}
