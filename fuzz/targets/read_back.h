#pragma once
// What a converter wrote must be readable by the map side: the files of a prefecture folder are
// read back with the MapData readers, and a failure aborts with the reader's message.
#include "fuzz_support.h"
#include "store/line_file.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/tiku_file.h"

#include <QFileInfo>

namespace miratos::fuzz {

template <class R>
void mustRead(const R& result, const QString& path)
{
    FUZZ_CHECK(result.ok(), QStringLiteral("written %1 cannot be read: %2").arg(path, result.ok() ? QString() : result.error()));
}

inline void readBackPrefectureFolder(const QString& folder)
{
    const QString line = folder + QStringLiteral("/Line.dat");
    if (!QFileInfo::exists(line))
        return;
    mustRead(store::readNewsFile(folder + QStringLiteral("/NEWS.dat")), QStringLiteral("NEWS.dat"));
    mustRead(store::readLineFile(line), QStringLiteral("Line.dat"));
    mustRead(store::readPolygonFile(folder + QStringLiteral("/Polygon.dat")), QStringLiteral("Polygon.dat"));
    mustRead(store::readPointFile(folder + QStringLiteral("/Point.dat")), QStringLiteral("Point.dat"));
    mustRead(store::readPrefLineFile(folder + QStringLiteral("/PrefLine.dat")), QStringLiteral("PrefLine.dat"));
    mustRead(store::readTikuFile(folder + QStringLiteral("/Tiku.dat")), QStringLiteral("Tiku.dat"));
}

} // namespace miratos::fuzz
