// The railway XML converter; the four files it builds read back without a problem.
#include "convert/railway_converter.h"
#include "fuzz_support.h"
#include "store/railway_files.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeScratch(QStringLiteral("N02-test.xml"), FUZZ_INPUT);
    auto built = convert::buildRailwayFiles(path);
    if (!built)
        return 0;
    const QString folder = freshFolder(QStringLiteral("鉄道"));
    FUZZ_CHECK(store::writeRailwayFiles(folder, built->files).ok(), QString());
    store::RailwayRead back = store::readRailwayFiles(folder);
    FUZZ_CHECK(back.present && back.problems.isEmpty(), back.problems.join(QLatin1Char('\n')));
    return 0;
}
