#pragma once
// Road text in the fixed layouts the road conversions read, generated for prefectures of the
// shared boundary data: per prefecture "N<code>.txt" (an "L" line per road with the route flag in
// byte 35 and the route number in bytes 36 to 45, then coordinate lines in tenths of a second of
// arc), and one nationwide "N00台.txt" naming every numbered route. The network: expressways
// chaining the municipalities' label points, national roads joining each label point to its
// nearest neighbours, and dense local roads inside every municipality, some of them without a
// route number. Deterministic for a given seed.
#include "platform/result.h"

#include <QString>
#include <QVector>

namespace miratos::bench {

struct RoadGeneratorOptions {
    int localRoadsPerPrefecture = 80000; // spread over the municipalities by area
    unsigned seed = 13;
};

struct GeneratedRoads {
    QVector<QString> roadFiles; // one per prefecture, in the order given
    QString nameFile;
    qint64 roads = 0;
    qint64 namedRoutes = 0;
};

// Writes the files into outFolder (which must exist) for the prefectures (JIS codes) whose
// TopoJSON lies in topoJsonFolder ("N03-21_<code>_210101.json").
Result<GeneratedRoads> writeRoadSources(const QString& topoJsonFolder, const QVector<int>& prefCodes, const QString& outFolder,
                                        const RoadGeneratorOptions& options = {});

} // namespace miratos::bench
