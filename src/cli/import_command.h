#pragma once
// "miratos import FILE...": published municipal boundary files (TopoJSON, or Shapefile, GeoJSON,
// GML and GeoPackage through GDAL) turned into the prefecture-level
// geometry files under the app folder's MapData; railway datasets (lines and stations, read
// through GDAL) into the four files of MapData/鉄道.
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

// Reads each file with the reader its name calls for ("--snap[=DEGREES]" snaps nearly equal
// borders of GDAL-read files, see GisBoundaryOptions) and writes its prefectures into
// AppFolder::mapData() (created when missing), folder names from AppFolder::initIni(). Files are
// taken in order, so a prefecture found in two of them ends up as the later one has it. Progress
// goes to out; each failure is one line "miratos import: FILE: problem" on err, and the other
// files are still imported. A file without a single municipality to import is a failure too.
// Returns 0 when all went well, 1 when a file failed, 2 without files.
int runImportCommand(const QStringList& files, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
