// TopoJSON municipal boundaries: read, written as prefecture folders the way "miratos import"
// writes them, and the written files read back.
#include "imports/prefecture_set_writer.h"
#include "imports/topojson_reader.h"
#include "read_back.h"

#include <QDir>

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = writeScratch(QStringLiteral("boundaries.topojson"), FUZZ_INPUT);
    auto topology = imports::readTopoJson(path);
    if (!topology)
        return 0;
    const QString mapData = freshFolder(QStringLiteral("MapData"));
    const QString initIni = scratchFolder() + QStringLiteral("/no-Init.ini"); // the built-in names
    if (!imports::writePrefectureSets(*topology, mapData, initIni, {}).ok())
        return 0;
    for (const QString& name : QDir(mapData).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        readBackPrefectureFolder(mapData + QLatin1Char('/') + name);
    return 0;
}
