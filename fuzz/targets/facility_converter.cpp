// The facility XML converter and the facility import of today's GeoJSON: what they build is a
// Build.dat that the map reads back whole, one row a facility. First byte: bit 0 picks the import.
#include "convert/facility_converter.h"
#include "imports/facility_import.h"
#include "fuzz_support.h"
#include "platform/cp932.h"
#include "platform/gis_reader.h"
#include "store/facility_files.h"

#include <QDir>

using namespace miratos;
using namespace miratos::fuzz;

namespace {

const QString& initIni()
{
    static const QString path = writeScratch(
        QStringLiteral("Init.ini"),
        *platform::toCp932(QStringLiteral("[BuildMa]\r\n3=文化施設\r\n16=学校\r\n[BuildMi]\r\n03001=美術館\r\n16001=小学校\r\n"
                                          "[BuildAd]\r\n2=都道府県\r\n3=市区町村\r\n")));
    return path;
}

void readsBackWhole(const QByteArray& buildDat, size_t facilities)
{
    const QString folder = freshFolder(QStringLiteral("pref"));
    FUZZ_CHECK(store::writeBuildDat(folder, buildDat).ok(), folder);
    store::FacilityRead back = store::readBuildDat(QDir(folder).filePath(QStringLiteral("Build.dat")));
    FUZZ_CHECK(back.badLines == 0, back.problem);
    FUZZ_CHECK(back.rows.size() == facilities, QStringLiteral("%1 rows for %2 facilities").arg(back.rows.size()).arg(facilities));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        const QString path = writeScratch(QStringLiteral("P02.geojson"), FUZZ_INPUT.sliced(1));
        auto layers = platform::readGisFile(path);
        if (!layers)
            return 0;
        convert::FacilityCodeTables codes(initIni());
        auto built = imports::buildFacilityImport({*layers}, codes);
        if (!built)
            return 0;
        for (const auto& records : built->byPrefecture) {
            auto bytes = store::encodeBuildDat(records);
            if (bytes)
                readsBackWhole(*bytes, records.size());
        }
        return 0;
    }
    const QString path = writeScratch(QStringLiteral("P02-test.xml"), FUZZ_INPUT.sliced(1));
    auto built = convert::buildFacilityFile(path, initIni());
    if (!built)
        return 0;
    readsBackWhole(built->buildDat, static_cast<size_t>(built->report.facilities));
    return 0;
}
