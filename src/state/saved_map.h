#pragma once
// A saved map (".miratos"): the choices a map is made of, kept as a small UTF-8 text file of
// sections and key=value lines, so that a user can read it and a later version can add keys.
// Sections, one per concern: [miratos-map] (the format version), [map], [layers], [statistic],
// [ranking], [labels], [export]. Keys this version does not know are kept and written back.
// Paths are stored relative to the app folder with "/" between the parts.
#include "state/scheme_options.h"
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

namespace miratos::state {

struct MdlMain;

constexpr int kSavedMapVersion = 1;

// A label moved, renamed or hidden by hand: which label (its kind and number as the map builds
// them, and the caption it was built with) and what it became.
struct LabelEdit {
    int kind = 0;
    int index = 0;
    QString builtCaption;
    QString caption;
    double left = 0;
    double top = 0;
    bool visible = true;
};

struct SavedMap {
    int version = kSavedMapVersion;
    // [map]
    QString mode;             // Japan, Pref or City
    QStringList prefs;        // prefecture names; empty: every prefecture with data
    QStringList districts;    // City: district files, relative to the app folder
    std::optional<int> style; // 表示スタイル 0..3; unset: the mode's default
    // The prefecture dialog's choices.
    bool specialCoordinate = true; // 特殊座標 (Japan, Pref)
    bool hideSeparate = false;     // Japan
    bool townLevel = false;
    int dataYear = 0;              // City; 0: the current data
    // [layers]
    bool labels = false;
    bool towns = false;
    bool railways = false;
    bool stations = false;
    bool declutter = false;
    std::array<bool, 3> roads{}; // 高速, 国道, 地方道
    bool facilities = false;
    bool facilityNames = false;
    bool facilitySymbols = false;
    bool facilityRanks = false;
    QString facilityCsv; // relative to the app folder
    // Display settings that differ from the mode's defaults: (row, column) = value.
    std::vector<std::pair<std::array<int, 2>, QVariant>> layerProperty;
    // [statistic]
    int stat = 0;       // the statistic kind (1..), 0: none or own data
    QString ownData;    // own table, relative to the app folder
    QStringList computes; // "NAME=EXPR", in the order they were added
    QString column;     // the painted column; empty: no statistic
    // [ranking]
    QString classes = QStringLiteral("equal"); // equal, quantile or jenks
    int ranks = 5;
    int series = 0; // 赤 黄 緑 青
    // The bounds and colours the map was painted with (ranks 1..n); when present they are used
    // as they are instead of a new proposal.
    std::vector<std::array<double, 2>> bounds;
    std::vector<int> colors;
    // [labels]
    std::vector<LabelEdit> labelEdits;
    // [export]
    int noteLocation = 0;
    QString noteMaker;
    int noteFontSize = 10;

    // Keys this file's reader does not read: "section/key" and value, in file order. The layers
    // above keep their own sections here ([symbols], [placement], the export size in [export])
    // through sectionValue and setSectionValue; keys no one reads are written back as they came.
    std::vector<std::pair<QString, QString>> unknown;
};

// A key of a section kept by the layers above ("symbols/column"); fallback when absent.
QString sectionValue(const SavedMap& map, const QString& sectionKey, const QString& fallback = QString());
// Sets such a key (replacing one there is); an empty value removes it.
void setSectionValue(SavedMap& map, const QString& sectionKey, const QString& value);
// A flag or a number of such a key, with the fallback when absent or not of that form.
bool sectionFlag(const SavedMap& map, const QString& sectionKey, bool fallback);
double sectionNumber(const SavedMap& map, const QString& sectionKey, double fallback);

// The colour scheme beside the specified series, in [ranking]; only what differs from the
// specified ranking is written, so a map without one reads as before.
void putScheme(const SchemeOptions& options, SavedMap& map);
SchemeOptions schemeOf(const SavedMap& map);

// The text of a saved map (UTF-8, "\n" line ends, numbers with ".").
QByteArray savedMapText(const SavedMap& map);

// Parses a saved map. Problems that leave the rest usable (an unknown version newer than this
// one, a value out of range) are added to problems naming the file and the line; a file that is
// not a saved map at all is an error.
Result<SavedMap> parseSavedMap(const QByteArray& text, const QString& fileName, QStringList& problems);

// Reads and writes the file (written through a save-file).
Result<SavedMap> readSavedMap(const QString& path, QStringList& problems);
Status writeSavedMap(const QString& path, const SavedMap& map);

// The path a saved map stores for a file: relative to the app folder, "/" between the parts.
// Nothing for a file outside the app folder (a saved map names only files of its app folder).
std::optional<QString> pathForSavedMap(const QString& absolutePath);

// The file a stored path names, below the app folder. An error naming the path when it is
// absolute, climbs out with "..", holds a part that is not a plain name, leads out through a
// link, or names no file.
Result<QString> resolveSavedPath(const QString& stored);

// Resolves every path of map in place; a path that fails is dropped (with what depended on it:
// the statistic needs its own table) and named in problems, so the rest of the map opens.
void resolveSavedPaths(SavedMap& map, QStringList& problems);

// What the shared state holds of a map: the mode, the chosen prefectures and districts, the
// display settings that differ from the mode's defaults, the painted column with its ranks,
// bounds, colours and colour scheme, and the export note. The rest (boxes ticked, the statistic's source) is
// the caller's.
void takeSharedState(const MdlMain& s, SavedMap& m);

// Sets the saved display settings, the prefecture dialog's choices and the colour scheme into s; prepareMode
// resets the display settings, so this comes after it.
void applySharedState(const SavedMap& m, MdlMain& s);

} // namespace miratos::state
