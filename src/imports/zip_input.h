#pragma once
// Inputs as downloaded: zip files (the government's and e-Stat's) and folders are turned into the
// plain files the importers read. Zip members are read through GDAL's /vsizip/ and copied into a
// private temporary folder (under sanitised names, never a path built from the member's name), so
// that every probe and reader sees an ordinary file; the copies go when the inputs are dropped.
#include "platform/result.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTemporaryDir;

namespace miratos::imports {

// Of the same data in several formats (same base name, e.g. X.geojson, X.shp, X.xml) one is read:
// GeoJSON first (the smallest to parse and always longitude/latitude), then TopoJSON, Shapefile,
// GeoPackage, GML. Returns the index in names of the one to read for each group, in input order,
// and a note naming what was skipped for each group that had more than one. Names that are no GIS
// file are kept as they are.
struct FormatChoice {
    std::vector<qsizetype> chosen;
    QHash<qsizetype, QStringList> skippedSuffixes; // chosen index -> suffixes passed over (".shp")
};
FormatChoice chooseFormats(const QStringList& names);

struct ExpandedInputs {
    QStringList paths;  // files to import, zip members as their copies
    QStringList notes;  // which format was taken, what was passed over
    QStringList errors; // one per input that gave nothing (a corrupt, empty or hostile zip)
    // A message with the copies' paths written as "ZIP名 の member".
    QString shown(const QString& message) const;

    std::vector<std::shared_ptr<QTemporaryDir>> copies;
    QHash<QString, QString> shownFolders; // native path of a copy's folder + separator -> "ZIP の dir/"
};

// What a zip holds, read from its directory alone (nothing is unpacked): every member file, and
// those to import with the notes on the formats passed over. The error names the zip.
struct ZipListing {
    QStringList members; // relative paths with "/", names decoded (UTF-8, else CP932)
    QStringList inputs;
    QStringList notes;
};
Result<ZipListing> zipListing(const QString& zipPath);

// One zip's members to import, copied out; the error names the zip.
Result<ExpandedInputs> zipInputs(const QString& zipPath);

// Every path as given, with each .zip replaced by its members and each folder walked (with its
// subfolders) for the files import reads. A file named directly stays, whatever its suffix, for
// the caller to report.
ExpandedInputs expandInputs(const QStringList& paths);

} // namespace miratos::imports
