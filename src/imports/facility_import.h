#pragma once
// Today's public-facility data (national land numerical information P02 as GeoJSON or Shapefile)
// turned into the Build.dat files of the prefectures, read through the GIS reader. Attributes:
// P02_001 area code, P02_002 major class code, P02_003 minor class code, P02_004 name, P02_005
// address, P02_006 administrator code; the codes become names through the same Init.ini tables
// as the XML converter, so both write the same lines for the same facilities. A facility goes to
// the prefecture of the first two digits of its area code, in file order.
#include "convert/facility_converter.h"
#include "platform/gis_reader.h"
#include "platform/result.h"
#include "store/facility_files.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace miratos::imports {

// True for a file that holds public-facility data (looked up by its attribute names).
bool isFacilityDataset(const QString& path);

struct FacilityImport {
    QMap<int, std::vector<store::BuildDatRecord>> byPrefecture; // prefecture code -> records
    int skipped = 0;      // features without a point or a usable area code
    QString firstSkipped; // which one was first, and why
    int unknownCodes = 0;
    qsizetype marked = 0; // characters CP932 cannot hold, written as "〓"
    QString firstMarked;  // the facility of the first
};

// Builds the records from the layers of the files.
Result<FacilityImport> buildFacilityImport(const std::vector<std::vector<platform::GisLayer>>& files, convert::FacilityCodeTables& codes);

struct FacilityImportReport {
    QStringList written; // one line per Build.dat: folder and number of facilities
    int skipped = 0;
    QString firstSkipped;
    int unknownCodes = 0;
    qsizetype marked = 0; // characters CP932 cannot hold, written as "〓"
    QString firstMarked;  // the facility of the first
};

// Reads the files, builds every prefecture's Build.dat and writes them into mapData/<prefecture>/
// (created when missing). Nothing is written when any file cannot be read or encoded.
Result<FacilityImportReport> importFacilities(const QStringList& files, const QString& mapData, const QString& initIni,
                                              const std::function<void(const QString&)>& progress = {});

} // namespace miratos::imports
