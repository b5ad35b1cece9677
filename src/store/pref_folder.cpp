#include "store/pref_folder.h"

#include "store/district_file_name.h"

#include <QDir>
#include <QFileInfo>

namespace miratos::store {

bool hasPrefectureData(const QString& folder)
{
    return QFileInfo::exists(QDir(folder).filePath(QString::fromUtf16(kPointFile)));
}

QStringList districtFiles(const QString& folder)
{
    // Sorted by name: the file system's own order (hash order on ext4) looks random in the list.
    QStringList names = QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    names.removeIf([](const QString& name) { return !isDistrictFileName(name); });
    return names;
}

QStringList districtFilesOfYear(const QString& folder, int year)
{
    QStringList names = districtFiles(folder);
    names.removeIf([year](const QString& name) { return districtFileYear(name) != year; });
    return names;
}

} // namespace miratos::store
