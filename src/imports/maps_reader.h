#pragma once
// Reader of the binary map databases of R's "maps" family (base.L, base.G, base.N), as Debian's
// r-cran-mapdata ships the prefectures of Japan ("japan"). Each prefecture becomes one
// municipality-level entry whose code is the prefecture code followed by "000".
#include "imports/boundary_topology.h"
#include "platform/result.h"

#include <QString>

namespace miratos::imports {

// basePath is the database path without extension, or the path of its .L, .G or .N file.
// Region names ("Hokkaido", "Hokkaido:…") are romanised prefecture names; a name that is not one
// is an error that lists it. Short or corrupt files are errors that name the file.
Result<BoundaryTopology> readMapsDatabase(const QString& basePath);

// True when path (or path + ".L") is an existing file whose database has all three files.
bool isMapsDatabase(const QString& path);

// JIS code 1..47 of a romanised prefecture name (any case, macrons allowed), 0 when unknown.
int prefectureCodeFromRomaji(const QString& name);

} // namespace miratos::imports
