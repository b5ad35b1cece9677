#pragma once
// 公共施設: the public-facility data of one prefecture in the XML of the national land numerical
// information (points jps:GM_Point, facilities ksj:FB01) turned into the prefecture's Build.dat.
// Class and administrator codes become names through the sections BuildMa, BuildMi and BuildAd of
// Init.ini; a code missing there is written as "ERROR".
//
// Every facility is written as one whole line with its seven fields in the file's order
// (position, area code, major class, minor class, name, address, administrator), whatever order
// its elements stand in. The file is built in memory and written at the end: a facility without
// a position, with an unknown point, an element twice, or a value holding a line break stops the
// conversion with a message naming the file and the facility, and the old Build.dat stays.
#include "platform/result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace miratos::convert {

// The facility code tables of Init.ini, each code looked up once.
class FacilityCodeTables {
public:
    explicit FacilityCodeTables(QString initIni) : m_initIni(std::move(initIni)) {}
    QString major(const QString& code) { return lookUp(QStringLiteral("BuildMa"), code); }
    QString minor(const QString& code) { return lookUp(QStringLiteral("BuildMi"), code); }
    QString administrator(const QString& code) { return lookUp(QStringLiteral("BuildAd"), code); }
    // How many looked-up codes were missing from their table (each code counted once).
    int unknownCodes() const { return m_unknown; }

private:
    QString lookUp(const QString& section, const QString& code);

    QString m_initIni;
    QHash<QString, QString> m_cache; // section + "\t" + code -> name
    int m_unknown = 0;
};

struct FacilityProgress {
    // The node counter of both passes, called every 500 nodes.
    std::function<void(qint64 counter)> counter;
    std::function<void()> yield;
    std::function<void(const QString& step)> step;
};

struct FacilityReport {
    qint64 counter = 0;
    int points = 0;
    int facilities = 0;
    int unknownCodes = 0; // distinct codes written as "ERROR"
    QStringList notes;    // facilities written with a missing element or a changed "|"
};

struct FacilityConversion {
    QByteArray buildDat;
    FacilityReport report;
};

// Reads the data file and builds Build.dat in memory.
Result<FacilityConversion> buildFacilityFile(const QString& dataPath, const QString& initIni,
                                             const FacilityProgress& progress = {});

// The whole conversion into outputFolder (the prefecture's folder, which must exist).
Result<FacilityReport> 公共施設(const QString& dataPath, const QString& initIni, const QString& outputFolder,
                                const FacilityProgress& progress = {});

// A "|" inside a value would split the field: it is written as the full-width "｜".
QString withoutFieldSeparator(const QString& value, bool* changed = nullptr);

} // namespace miratos::convert
