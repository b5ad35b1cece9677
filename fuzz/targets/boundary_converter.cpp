// The boundary XML converter: the input is the metadata XML, a "====" line, then the data XML
// (Shift_JIS or UTF-8). Whatever it converts, the six files it writes read back.
#include "convert/boundary_converter.h"
#include "read_back.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto parts = splitInput(FUZZ_INPUT, 2);
    convert::BoundarySources sources;
    sources.metaPath = writeScratch(QStringLiteral("KS-META-N03-13.xml"), parts[0]);
    sources.dataPath = writeScratch(QStringLiteral("N03-13.xml"), parts[1]);
    sources.prefCode = 13;
    auto built = convert::buildBoundaryFiles(sources);
    if (!built)
        return 0;
    const QString folder = freshFolder(QStringLiteral("東京都"));
    FUZZ_CHECK(convert::writeBoundaryFiles(folder, built->files).ok(), QString());
    readBackPrefectureFolder(folder);
    return 0;
}
