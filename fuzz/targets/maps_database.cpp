// The binary map databases of R's "maps" family (base.L, base.G, base.N), given as the three
// files separated by "====" lines.
#include "imports/maps_reader.h"
#include "fuzz_support.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto parts = splitInput(FUZZ_INPUT, 3);
    writeScratch(QStringLiteral("japan.L"), parts[0]);
    writeScratch(QStringLiteral("japan.G"), parts[1]);
    writeScratch(QStringLiteral("japan.N"), parts[2]);
    (void)imports::readMapsDatabase(scratchFolder() + QStringLiteral("/japan"));
    return 0;
}
