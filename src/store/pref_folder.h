#pragma once
// A prefecture folder under MapData: the prefecture-level geometry files and the district files
// of its municipalities.
#include <QString>
#include <QStringList>

namespace miratos::store {

inline constexpr char16_t kPointFile[] = u"Point.dat";
inline constexpr char16_t kLineFile[] = u"Line.dat";
inline constexpr char16_t kPrefLineFile[] = u"PrefLine.dat";
inline constexpr char16_t kPolygonFile[] = u"Polygon.dat";
inline constexpr char16_t kTikuFile[] = u"Tiku.dat";
inline constexpr char16_t kNewsFile[] = u"NEWS.dat";

// The folder holds prefecture-level data when its Point.dat exists.
bool hasPrefectureData(const QString& folder);

// File names (without folder) of every district file: the *.dat files whose name starts with a
// digit, sorted by name.
QStringList districtFiles(const QString& folder);

// File names (without folder) of the district files of a census year: the *.dat files whose name
// starts with a digit and whose first two characters are the year, sorted by name: the order the
// district list shows.
QStringList districtFilesOfYear(const QString& folder, int year);

} // namespace miratos::store
