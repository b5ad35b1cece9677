#include "cli/render_command.h"

#include "state/district_selection.h"
#include "state/mdl_main.h"
#include "state/prefectures.h"
#include "state/saved_map.h"
#include "state/water_fill.h"
#include "state/color_schemes.h"
#include "layers/label_declutter.h"
#include "layers/label_placement.h"
#include "layers/facility_layer.h"
#include "layers/railway_layer.h"
#include "layers/road_layer.h"
#include "layers/symbol_layer.h"
#include "mapview/label_edits.h"
#include "mapview/loaders.h"
#include "mapview/map_drawing.h"
#include "mapview/renderer.h"
#include "output/image_export.h"
#include "output/saved_map_sections.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "platform/path_part.h"
#include "stats/expression.h"
#include "stats/extraction.h"
#include "stats/join.h"
#include "stats/painted_regions.h"
#include "stats/ranking.h"
#include "stats/region_area.h"
#include "stats/scheme_ranking.h"
#include "store/extent_check.h"
#include "store/facility_files.h"
#include "store/pref_folder.h"
#include "store/railway_files.h"
#include "store/road_files.h"
#include "store/statistic_file.h"

#include <cmath>
#include <cstdio>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <variant>

namespace miratos::cli {
namespace {

struct Options {
    QString mode;
    QStringList prefs;
    QStringList districts;
    std::optional<int> style;
    int stat = 0;
    QString ownData;
    QString column;
    QStringList computes; // "NAME=EXPR", added to the table in order before the column is chosen
    int ranks = 5;
    int series = 0;
    QString classes = QStringLiteral("equal");
    bool labels = false;
    bool towns = false;
    bool railways = false; // 鉄道
    bool stations = false; // 駅名
    bool declutter = false; // 属性非重 once the labels are made
    // ラベル配置 and its companions: --place-labels, --qualify-wards[-two-lines], --city-for-wards, --stations-inside,
    // --main-stations, --place-by-statistic, --halo, --no-halo, --halo-color.
    layers::PlacementOptions placement;
    bool halo = false;
    layers::RoadClasses roads{}; // 高速, 国道, 地方道 (classes 1, 2, 3)
    bool facilities = false;      // 施設指標
    bool facilityNames = false;   // 施設名
    bool facilitySymbols = false; // 図
    bool facilityRanks = false;   // 施設ランク
    QString facilityCsv;          // 施設取込
    int noteLocation = 0;
    QString noteMaker;
    int noteFontSize = 10;
    QString out;
    // Proportional symbols, value labels and the table of what was painted.
    layers::SymbolOptions symbols;
    QString tableOut;
    // Published colour scheme, centring, no-data grey and round bounds.
    state::SchemeOptions scheme;
    // Size, smoothing and notes of the picture beside the specified one.
    output::ExportOptions exportOptions;
    bool dpiGiven = false;
    // Saved maps: --map fills the choices above from a file (options after it override them),
    // --save-map writes them; what only a saved map holds is kept in `saved`.
    QString saveMap;
    state::SavedMap saved;
    bool savedRanking = false; // saved.bounds/colors paint as they are (no later option changed the ranking)
    bool columnFromMap = false; // a missing column is a warning, not the end
    int mapLists = 0;          // bits: prefs, districts, computes still as the map gave them
    QStringList mapProblems;
};

const char* const kUsage =
    "usage: miratos render [--app-folder DIR] --mode Japan|Pref|City [--pref NAME]... [--district FILE|NAME]... "
    "[--style 0..3] [--stat N | --own-data FILE] [--compute \"NAME=EXPR\"]... [--column HEADER] [--ranks 3..10] [--series 赤|黄|緑|青] "
    "[--classes equal|quantile|jenks] [--scheme NAME] [--center X] [--nodata-grey] [--nice-breaks] [--labels] [--towns] [--railways] [--stations] [--roads 1,2,3] "
    "[--facilities] [--facility-names] [--facility-symbols] [--facility-ranks] [--facility-csv FILE] [--declutter] "
    "[--place-labels] [--qualify-wards | --qualify-wards-two-lines] [--city-for-wards] [--stations-inside] [--main-stations] [--place-by-statistic] "
    "[--halo | --no-halo] [--halo-color RRGGBB] [--note-location 0..4] [--note-maker TEXT] "
    "[--note-font-size N] [--symbols COLUMN] [--symbol-shape circle|square] [--symbol-size PX] [--flannery] "
    "[--value-labels under|alone] [--value-decimals N] [--table-out FILE.csv] "
    "[--paper A4L|A4P|A3L|A3P [--dpi 150|300] | --size WxH] [--antialias|--no-antialias] [--credit TEXT] "
    "[--north-arrow] [--legend-symbols] [--map FILE.miratos] [--save-map FILE.miratos] --out FILE.bmp|.png|.pdf|.svg";

// The options of the symbols, value labels and painted table; false when a is none of them.
std::optional<std::optional<QString>> parseSymbolOption(const QString& a, const QStringList& args, qsizetype& i, Options& o)
{
    if (a == QLatin1String("--flannery")) {
        o.symbols.flannery = true;
        return std::optional<QString>();
    }
    const QStringList valued = {QStringLiteral("--symbols"), QStringLiteral("--symbol-shape"), QStringLiteral("--symbol-size"),
                                QStringLiteral("--value-labels"), QStringLiteral("--value-decimals"), QStringLiteral("--table-out")};
    if (!valued.contains(a))
        return std::nullopt;
    if (i + 1 >= args.size())
        return std::optional<QString>(QStringLiteral("%1 needs a value").arg(a));
    const QString v = args.at(++i);
    bool ok = false;
    const int n = v.toInt(&ok);
    if (a == QLatin1String("--symbols")) {
        o.symbols.enabled = true;
        o.symbols.column = v;
    } else if (a == QLatin1String("--symbol-shape")) {
        if (v != QLatin1String("circle") && v != QLatin1String("square"))
            return std::optional<QString>(QStringLiteral("--symbol-shape must be circle or square"));
        o.symbols.shape = v == QLatin1String("square") ? layers::SymbolShape::Square : layers::SymbolShape::Circle;
    } else if (a == QLatin1String("--symbol-size")) {
        if (!ok || n < 2 || n > 200)
            return std::optional<QString>(QStringLiteral("--symbol-size must be 2..200 (pixels, the largest radius)"));
        o.symbols.maxRadius = n;
    } else if (a == QLatin1String("--value-labels")) {
        if (v != QLatin1String("under") && v != QLatin1String("alone"))
            return std::optional<QString>(QStringLiteral("--value-labels must be under or alone"));
        o.symbols.valueLabels = v == QLatin1String("alone") ? layers::ValueLabels::Alone : layers::ValueLabels::Under;
    } else if (a == QLatin1String("--value-decimals")) {
        if (!ok || n < 0 || n > 6)
            return std::optional<QString>(QStringLiteral("--value-decimals must be 0..6"));
        o.symbols.valueDecimals = n;
    } else {
        o.tableOut = v;
    }
    return std::optional<QString>();
}

// The schemes --scheme takes, for its message.
QString schemeNames()
{
    QStringList names;
    for (const state::SchemeInfo& scheme : state::colorSchemes()) {
        if (scheme.kind != state::SchemeKind::Qualitative)
            names << scheme.name;
    }
    return names.join(QStringLiteral(", "));
}

// A flag of label placement, set in the options; false when the argument is not one of them.
bool placementFlag(const QString& a, layers::PlacementOptions& p, bool& halo)
{
    using Halo = layers::PlacementOptions::Halo;
    using Ward = layers::PlacementOptions::WardStyle;
    if (a == QLatin1String("--place-labels")) p.placeLabels = true;
    else if (a == QLatin1String("--qualify-wards")) p.qualifyWards = Ward::Prefixed;
    else if (a == QLatin1String("--qualify-wards-two-lines")) p.qualifyWards = Ward::TwoLines;
    else if (a == QLatin1String("--city-for-wards")) p.cityForWards = true;
    else if (a == QLatin1String("--stations-inside")) p.stationsInside = true;
    else if (a == QLatin1String("--main-stations")) p.mainStations = true;
    else if (a == QLatin1String("--place-by-statistic")) p.orderByStatistic = true;
    else if (a == QLatin1String("--halo")) { p.halo.fill(Halo::On); halo = true; }
    else if (a == QLatin1String("--no-halo")) { p.halo.fill(Halo::Off); halo = true; }
    else return false;
    return true;
}

// Options from a saved map: every choice it holds replaces what came before.
std::optional<QString> loadMap(const QString& file, Options& o)
{
    QStringList problems;
    auto read = state::readSavedMap(file, problems);
    if (!read)
        return read.error();
    state::SavedMap m = std::move(*read);
    state::resolveSavedPaths(m, problems);
    o.mode = m.mode;
    o.prefs = m.prefs;
    o.districts = m.districts;
    o.style = m.style;
    o.labels = m.labels;
    o.towns = m.towns;
    o.railways = m.railways;
    o.stations = m.stations;
    o.declutter = m.declutter;
    o.roads = m.roads;
    o.facilities = m.facilities; // the window keeps 図 chosen while the markers are off
    o.facilityNames = m.facilityNames;
    o.facilitySymbols = m.facilitySymbols;
    o.facilityRanks = m.facilityRanks;
    o.facilityCsv = m.facilityCsv;
    o.stat = m.stat;
    o.ownData = m.ownData;
    o.computes = m.computes;
    o.column = m.column;
    o.classes = m.classes;
    o.ranks = m.ranks;
    o.series = m.series;
    o.noteLocation = m.noteLocation;
    o.noteMaker = m.noteMaker;
    o.noteFontSize = m.noteFontSize;
    o.scheme = state::schemeOf(m);
    o.symbols = output::symbolsOf(m);
    o.placement = output::placementOf(m);
    const layers::PlacementOptions plain;
    o.halo = o.placement.halo != plain.halo || o.placement.haloColor != plain.haloColor;
    o.exportOptions = output::exportSizeOf(m);
    o.savedRanking = !m.bounds.empty();
    o.columnFromMap = !m.column.isEmpty();
    o.mapLists = 7;
    o.mapProblems << problems;
    o.saved = std::move(m);
    return std::nullopt;
}

// What render drew, as a saved map: the options, the shared state's choices and ranks.
state::SavedMap savedMapOf(const Options& o, const state::MdlMain& s)
{
    state::SavedMap m = o.saved;
    state::takeSharedState(s, m);
    m.style = o.style;
    m.labels = o.labels;
    m.towns = o.towns;
    m.railways = o.railways;
    m.stations = o.stations;
    m.declutter = o.declutter;
    m.roads = o.roads;
    m.facilities = o.facilities;
    m.facilityNames = o.facilityNames;
    m.facilitySymbols = o.facilitySymbols;
    m.facilityRanks = o.facilityRanks;
    m.facilityCsv = o.facilityCsv.isEmpty() ? QString() : state::pathForSavedMap(o.facilityCsv).value_or(QString());
    m.stat = o.stat;
    m.ownData = o.ownData.isEmpty() ? QString() : state::pathForSavedMap(o.ownData).value_or(QString());
    m.computes = o.computes;
    m.classes = o.classes;
    m.series = o.series;
    if (o.column.isEmpty())
        m.column.clear();
    m.noteLocation = o.noteLocation;
    m.noteMaker = o.noteMaker;
    m.noteFontSize = o.noteFontSize;
    output::putSymbols(o.symbols, m);
    output::putPlacement(o.placement, m);
    output::putExportSize(o.exportOptions, m);
    return m;
}

// Parses the arguments; an error text on failure.
std::optional<QString> parse(const QStringList& args, Options& o)
{
    auto intIn = [](const QString& text, int low, int high, int& target) {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok || v < low || v > high)
            return false;
        target = v;
        return true;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (const auto symbol = parseSymbolOption(a, args, i, o)) {
            if (*symbol)
                return *symbol;
            continue;
        }
        if (a == QLatin1String("--labels")) {
            o.labels = true;
            continue;
        }
        if (a == QLatin1String("--towns")) {
            o.towns = true;
            continue;
        }
        if (a == QLatin1String("--railways")) {
            o.railways = true;
            continue;
        }
        if (a == QLatin1String("--stations")) {
            o.stations = true;
            continue;
        }
        if (a == QLatin1String("--declutter")) {
            o.declutter = true;
            continue;
        }
        if (placementFlag(a, o.placement, o.halo))
            continue;
        if (a == QLatin1String("--halo-color")) {
            const QString v = args.value(++i);
            bool ok = false;
            const uint rgb = v.toUInt(&ok, 16);
            if (!ok || v.size() != 6)
                return QStringLiteral("--halo-color must be six hexadecimal digits RRGGBB, for example FFFFFF");
            o.placement.haloColor = static_cast<int>(((rgb >> 16) & 0xff) | (rgb & 0xff00) | ((rgb & 0xff) << 16));
            o.halo = true;
            continue;
        }
        // Names and symbols are parts of the markers: either one shows the markers too.
        if (a == QLatin1String("--facilities") || a == QLatin1String("--facility-names") || a == QLatin1String("--facility-symbols")) {
            o.facilities = true;
            o.facilityNames = o.facilityNames || a == QLatin1String("--facility-names");
            o.facilitySymbols = o.facilitySymbols || a == QLatin1String("--facility-symbols");
            continue;
        }
        if (a == QLatin1String("--facility-ranks")) {
            o.facilityRanks = true;
            continue;
        }
        if (a == QLatin1String("--nodata-grey") || a == QLatin1String("--nice-breaks")) {
            (a == QLatin1String("--nodata-grey") ? o.scheme.noDataGrey : o.scheme.niceBreaks) = true;
            if (a == QLatin1String("--nice-breaks"))
                o.savedRanking = false; // after --map: the ranks are made anew on round bounds
            continue;
        }
        if (a == QLatin1String("--antialias") || a == QLatin1String("--no-antialias")) {
            o.exportOptions.antialias = a == QLatin1String("--antialias");
            continue;
        }
        if (a == QLatin1String("--north-arrow")) {
            o.exportOptions.northArrow = true;
            continue;
        }
        if (a == QLatin1String("--legend-symbols")) {
            o.exportOptions.symbolLegend = true;
            continue;
        }
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(a);
        const QString v = args.at(++i);
        int n = 0;
        // After --map, a list option replaces the map's list, and a ranking option its ranks.
        const int listBit = a == QLatin1String("--pref") ? 1 : a == QLatin1String("--district") ? 2 : a == QLatin1String("--compute") ? 4 : 0;
        if (o.mapLists & listBit) {
            (listBit == 1 ? o.prefs : listBit == 2 ? o.districts : o.computes).clear();
            o.mapLists &= ~listBit;
        }
        if (a == QLatin1String("--ranks") || a == QLatin1String("--classes") || a == QLatin1String("--series") || a == QLatin1String("--column") ||
            a == QLatin1String("--stat") || a == QLatin1String("--own-data") || a == QLatin1String("--compute") ||
            a == QLatin1String("--scheme") || a == QLatin1String("--center"))
            o.savedRanking = false;
        if (a == QLatin1String("--stat") && !o.saved.mode.isEmpty()) o.ownData.clear();
        if (a == QLatin1String("--own-data") && !o.saved.mode.isEmpty()) o.stat = 0;
        if (a == QLatin1String("--column")) o.columnFromMap = false;
        if (a == QLatin1String("--map")) {
            if (const auto problem = loadMap(v, o))
                return problem;
            continue;
        }
        if (a == QLatin1String("--save-map")) {
            o.saveMap = v;
            continue;
        }
        if (a == QLatin1String("--mode")) o.mode = v;
        else if (a == QLatin1String("--pref")) o.prefs << v;
        else if (a == QLatin1String("--district")) o.districts << v;
        else if (a == QLatin1String("--style")) { if (!intIn(v, 0, 3, n)) return QStringLiteral("--style must be 0..3"); o.style = n; }
        else if (a == QLatin1String("--stat")) { if (!intIn(v, 1, 11, o.stat)) return QStringLiteral("--stat must be a statistic number 1..11"); }
        else if (a == QLatin1String("--own-data")) o.ownData = v;
        else if (a == QLatin1String("--column")) o.column = v;
        else if (a == QLatin1String("--compute")) o.computes << v;
        else if (a == QLatin1String("--ranks")) { if (!intIn(v, 3, 10, o.ranks)) return QStringLiteral("--ranks must be 3..10"); }
        else if (a == QLatin1String("--series")) {
            const QStringList names = {QStringLiteral("赤"), QStringLiteral("黄"), QStringLiteral("緑"), QStringLiteral("青")};
            o.series = static_cast<int>(names.indexOf(v));
            if (o.series < 0)
                return QStringLiteral("--series must be 赤, 黄, 緑 or 青");
        }
        else if (a == QLatin1String("--classes")) {
            if (v != QLatin1String("equal") && v != QLatin1String("quantile") && v != QLatin1String("jenks"))
                return QStringLiteral("--classes must be equal, quantile or jenks");
            o.classes = v;
        }
        else if (a == QLatin1String("--scheme")) {
            const state::SchemeInfo* scheme = state::findScheme(v);
            if (!scheme || scheme->kind == state::SchemeKind::Qualitative)
                return QStringLiteral("--scheme must be a sequential or diverging scheme: %1").arg(schemeNames());
            o.scheme.scheme = v;
        }
        else if (a == QLatin1String("--center")) {
            const auto centre = platform::toNumber(v);
            if (!centre || !std::isfinite(*centre))
                return QStringLiteral("--center must be a number");
            o.scheme.centred = true;
            o.scheme.centre = *centre;
        }
        else if (a == QLatin1String("--note-location")) { if (!intIn(v, 0, 4, o.noteLocation)) return QStringLiteral("--note-location must be 0..4"); }
        else if (a == QLatin1String("--note-maker")) o.noteMaker = v;
        else if (a == QLatin1String("--note-font-size")) { if (!intIn(v, 6, 72, o.noteFontSize)) return QStringLiteral("--note-font-size must be 6..72"); }
        else if (a == QLatin1String("--roads")) {
            // Road classes as RoadName.dat numbers them: 1 高速, 2 国道, 3 地方道.
            for (const QString& part : v.split(QLatin1Char(','))) {
                if (part.size() != 1 || part < QLatin1String("1") || part > QLatin1String("3"))
                    return QStringLiteral("--roads must list road classes 1 (高速), 2 (国道), 3 (地方道), for example 1,2,3");
                o.roads[static_cast<size_t>(part.at(0).unicode() - u'1')] = true;
            }
        }
        else if (a == QLatin1String("--out")) o.out = v;
        else if (a == QLatin1String("--facility-csv")) o.facilityCsv = v;
        else if ((a == QLatin1String("--paper") || a == QLatin1String("--size")) && o.exportOptions.size != output::ExportSize::Specified)
            return QStringLiteral("--paper and --size exclude each other");
        else if (a == QLatin1String("--paper")) { if (!output::setPaper(o.exportOptions, v)) return QStringLiteral("--paper must be A4L, A4P, A3L or A3P"); }
        else if (a == QLatin1String("--dpi")) {
            if (v != QLatin1String("150") && v != QLatin1String("300"))
                return QStringLiteral("--dpi must be 150 or 300");
            o.exportOptions.dpi = v.toInt();
            o.dpiGiven = true;
        }
        else if (a == QLatin1String("--size")) {
            if (!output::setPixelSize(o.exportOptions, v))
                return QStringLiteral("--size must be WIDTHxHEIGHT, each %1..%2 pixels and at most %3 pixels in all")
                    .arg(output::kMinExportSide).arg(output::kMaxExportSide).arg(output::kMaxExportPixels);
        }
        else if (a == QLatin1String("--credit")) { o.exportOptions.credit = true; o.exportOptions.creditText = v; }
        else return QStringLiteral("unknown option %1").arg(a);
    }
    if (o.mode != QLatin1String("Japan") && o.mode != QLatin1String("Pref") && o.mode != QLatin1String("City"))
        return QStringLiteral("--mode must be Japan, Pref or City");
    if (o.out.isEmpty())
        return QStringLiteral("--out FILE is required");
    if (o.stat > 0 && !o.ownData.isEmpty())
        return QStringLiteral("--stat and --own-data exclude each other");
    if (!o.column.isEmpty() && o.stat == 0 && o.ownData.isEmpty())
        return QStringLiteral("--column needs --stat N or --own-data FILE");
    if (o.scheme.centred && (o.scheme.scheme.isEmpty() || state::findScheme(o.scheme.scheme)->kind != state::SchemeKind::Diverging))
        return QStringLiteral("--center needs a diverging --scheme (RdBu, PuOr, BrBG or RdYlBu)");
    if (!o.computes.isEmpty() && o.column.isEmpty())
        return QStringLiteral("--compute needs --column HEADER (the column to paint, which may be a computed one)");
    if ((o.symbols.enabled || o.symbols.valueLabels != layers::ValueLabels::Off) && o.column.isEmpty())
        return QStringLiteral("--symbols and --value-labels need --column HEADER (and --style 2 to draw symbols without the rank fill)");
    if (o.dpiGiven && o.exportOptions.size != output::ExportSize::Paper)
        return QStringLiteral("--dpi needs --paper");
    return std::nullopt;
}

// Marks the chosen prefectures (all that hold data when none is named) in PrefTable.
std::optional<QString> selectPrefectures(const Options& o, state::MdlMain& s)
{
    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        QString name = platform::GetINIValue(state::prefectureCodeText(i), QStringLiteral("Pref"), platform::AppFolder::initIni());
        if (name == QLatin1String("ERROR"))
            name = state::prefectureName(i);
        s.PrefTable[static_cast<size_t>(i)] = {QString(), name, QString()};
    }
    for (const QString& wanted : o.prefs) {
        bool found = false;
        for (int i = 1; i <= state::kPrefectureCount; ++i) {
            auto& row = s.PrefTable[static_cast<size_t>(i)];
            if (row[1] == wanted || state::prefectureCodeText(i) == wanted) {
                row[0] = QStringLiteral("TRUE");
                found = true;
            }
        }
        if (!found)
            return QStringLiteral("unknown prefecture: %1").arg(wanted);
    }
    if (o.prefs.isEmpty()) {
        bool any = false;
        for (int i = 1; i <= state::kPrefectureCount; ++i) {
            auto& row = s.PrefTable[static_cast<size_t>(i)];
            const QString folder = platform::AppFolder::prefFolder(row[1]);
            const bool has = o.mode == QLatin1String("City") ? !store::districtFiles(folder).isEmpty() : store::hasPrefectureData(folder);
            if (has) {
                row[0] = QStringLiteral("TRUE");
                any = true;
            }
        }
        if (!any)
            return QStringLiteral("no prefecture data in %1").arg(QDir::toNativeSeparators(platform::AppFolder::mapData()));
    }
    return std::nullopt;
}

// A --district value: a bare file name ("17_13101_千代田区.dat") is looked up in the chosen
// prefectures' folders, in code order, then taken as a path; anything else is a path. The error
// names every place looked at.
std::variant<QFileInfo, QString> findDistrictFile(const QString& value, const state::MdlMain& s)
{
    QStringList looked;
    if (platform::safePathPart(value) == value) {
        for (int i = 1; i <= state::kPrefectureCount; ++i) {
            const auto& row = s.PrefTable[static_cast<size_t>(i)];
            if (row[0] != QLatin1String("TRUE"))
                continue;
            const QFileInfo candidate(platform::AppFolder::prefFolder(row[1]) + value);
            if (candidate.isFile())
                return candidate;
            looked << QDir::toNativeSeparators(candidate.absolutePath());
        }
    }
    const QFileInfo asPath(value);
    if (asPath.isFile())
        return asPath;
    looked << QDir::toNativeSeparators(asPath.absolutePath());
    return QStringLiteral("cannot find district file %1 (looked in %2)").arg(QDir::toNativeSeparators(value), looked.join(QStringLiteral(", ")));
}

// City mode: the named district files, or every year-17 district file of the chosen prefectures.
std::optional<QString> selectDistricts(const Options& o, state::MdlMain& s, platform::KeyedTable& colours)
{
    s.DataYear = 17;
    QVector<state::DistrictListItem> chosen;
    if (o.districts.isEmpty()) {
        chosen = state::listDistrictFiles(s);
    } else {
        for (const QString& f : o.districts) {
            const auto found = findDistrictFile(f, s);
            if (const QString* problem = std::get_if<QString>(&found))
                return *problem;
            const QFileInfo& info = std::get<QFileInfo>(found);
            chosen.append({info.fileName(), info.absoluteFilePath()});
        }
    }
    if (chosen.isEmpty())
        return QStringLiteral("no district files to draw");
    state::fillDistrictSelection(chosen, s, colours);
    return std::nullopt;
}

// Extracts the statistic, joins the column and ranks it with the proposed bounds.
std::optional<QString> applyStatistic(const Options& o, state::MdlMain& s, mapview::MapTables& t, mapview::MapMode mode)
{
    s.StatTable.clear();
    s.StatColCount = 0;
    s.StatRowCount = 0;
    QString note; // a doubt about the encoding, added to "no column" below
    if (!o.ownData.isEmpty()) {
        if (!QFileInfo::exists(o.ownData))
            return QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(o.ownData));
        const Status read = store::appendStatisticFile(o.ownData, s.StatTable, s.StatColCount, s.StatRowCount, true, {}, &note);
        if (!read.ok())
            return read.error();
        if (!note.isEmpty())
            std::fprintf(stderr, "miratos render: %s\n", qPrintable(note));
    } else {
        for (const auto& [path, name] : stats::statisticFiles(mode, o.stat, s)) {
            if (!QFileInfo::exists(path))
                return QStringLiteral("missing statistic file %1").arg(QDir::toNativeSeparators(path));
            QString fileNote;
            const Status read = store::appendStatisticFile(path, s.StatTable, s.StatColCount, s.StatRowCount, false, {}, &fileNote);
            if (!read.ok())
                return read.error();
            if (!fileNote.isEmpty())
                note += (note.isEmpty() ? QString() : QStringLiteral("\n")) + fileNote;
        }
    }
    if (s.StatTable.empty())
        return QStringLiteral("the statistic table is empty");
    if (!o.computes.isEmpty()) {
        stats::RegionAreas areas;
        const stats::AreaLookup area = areas.lookup(t, mode);
        for (const QString& spec : o.computes) {
            const auto parts = stats::splitComputeSpec(spec);
            if (!parts)
                return QStringLiteral("--compute: ") + parts.error();
            const Status added = stats::addComputedColumn(parts->first, parts->second, s.StatTable, s.StatColCount, s.StatRowCount, area);
            if (!added.ok())
                return QStringLiteral("--compute: ") + added.error();
        }
    }
    const auto& header = s.StatTable.front();
    int column = -1;
    for (int c = 1; c < static_cast<int>(header.size()); ++c) {
        if (header[static_cast<size_t>(c)] == o.column)
            column = c;
    }
    if (column < 0)
        return QStringLiteral("no column \"%1\" in the statistic table").arg(o.column) +
               (note.isEmpty() ? QString() : QStringLiteral("\n") + note);
    if (!stats::canRankColumn(s.StatTable, column, s.StatRowCount))
        return QStringLiteral("column \"%1\" is not numeric").arg(o.column);
    s.StatColumn = static_cast<int16_t>(column);
    const stats::JoinResult joined = stats::joinStatistic(t, s, mode);
    if (!joined.rankProblem.isEmpty())
        return joined.rankProblem;

    const QVector<float> values = stats::joinedValues(t, mode);
    const stats::ClassMethod method = o.classes == QLatin1String("quantile") ? stats::ClassMethod::Quantile
                                      : o.classes == QLatin1String("jenks")  ? stats::ClassMethod::Jenks
                                                                             : stats::ClassMethod::EqualWidth;
    stats::RankProposal p = stats::proposeBounds(method, o.scheme.niceBreaks, values, s.StatMin, s.StatMax, o.ranks);
    const QVector<int> colours =
        stats::rankColors(o.scheme, o.series, stats::boundValues(p.lower), stats::boundValues(p.upper));
    s.RankScheme = o.scheme;
    s.RankCount = static_cast<int16_t>(o.ranks);
    if (o.savedRanking && static_cast<int>(o.saved.bounds.size()) == o.ranks) {
        // A saved map's ranks paint as they were saved, hand-set bounds and colours included.
        p.lower.clear();
        p.upper.clear();
        for (const auto& b : o.saved.bounds) {
            p.lower << platform::formatDouble(static_cast<float>(b[0]));
            p.upper << platform::formatDouble(static_cast<float>(b[1]));
        }
    }
    s.RankBound.assign(static_cast<size_t>(o.ranks) + 1, {0, 0});
    s.RankColor.assign(static_cast<size_t>(o.ranks) + 1, 0);
    for (int i = 1; i <= o.ranks; ++i) {
        s.RankBound[static_cast<size_t>(i)] = {static_cast<float>(platform::toNumber(p.lower.value(i - 1)).value_or(0)),
                                               static_cast<float>(platform::toNumber(p.upper.value(i - 1)).value_or(0))};
        s.RankColor[static_cast<size_t>(i)] = o.savedRanking ? o.saved.colors.at(static_cast<size_t>(i - 1)) : colours.value(i - 1);
    }
    s.RankReady = true;
    return std::nullopt;
}

// The facilities of the chosen prefectures (City: of the chosen municipalities) and of the import
// table, as the map window loads them.
std::optional<QString> loadFacilities(const Options& o, const state::MdlMain& s, mapview::MapMode mode,
                                      layers::FacilityLayer& layer, QTextStream& err)
{
    std::vector<store::BuildRow> rows;
    for (int i = 1; i <= state::kPrefectureCount; ++i) {
        const auto& pref = s.PrefTable[static_cast<size_t>(i)];
        if (pref[0] != QLatin1String("TRUE"))
            continue;
        store::FacilityRead read = store::readBuildDat(platform::AppFolder::prefFolder(pref[1]) + QString::fromUtf16(store::kBuildFile));
        if (!read.problem.isEmpty())
            err << "miratos render: warning: " << read.problem << "\n";
        rows.insert(rows.end(), std::make_move_iterator(read.rows.begin()), std::make_move_iterator(read.rows.end()));
    }
    if (mode == mapview::MapMode::City) {
        QStringList codes;
        for (int k = 1; k <= s.TikuCount; ++k)
            codes << s.TikuTable[static_cast<size_t>(k)][3];
        rows = layers::FacilityLayer::keepChosen(std::move(rows), codes);
    }
    layer.append(std::move(rows));
    if (!o.facilityCsv.isEmpty()) {
        auto read = store::readFacilityCsv(o.facilityCsv);
        if (!read)
            return read.error();
        if (!read->problem.isEmpty())
            err << "miratos render: warning: " << read->problem << "\n";
        layer.BuildRankTitle = read->title;
        layer.append(std::move(read->rows));
    }
    if (layer.BuildCount() == 0)
        err << "miratos render: warning: no facilities in the chosen areas\n";
    layer.MarkerStyle = o.facilitySymbols ? 1 : 0;
    return std::nullopt;
}

} // namespace

std::optional<QString> applyMapChoices(const QString& mode, const QStringList& prefs, const QStringList& districts,
                                       state::MdlMain& s, platform::KeyedTable& colours)
{
    Options o;
    o.mode = mode;
    o.prefs = prefs;
    o.districts = districts;
    s.MapMode = mode;
    s.UseSpecialCoordinate = true;
    s.HideSeparate = false;
    if (const auto problem = selectPrefectures(o, s))
        return problem;
    state::prepareMode(s);
    if (mapview::mapModeOf(mode) == mapview::MapMode::City)
        return selectDistricts(o, s, colours);
    return std::nullopt;
}

int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Options o;
    if (const auto problem = parse(args, o)) {
        err << "miratos render: " << *problem << "\n" << QString::fromUtf8(kUsage) << "\n";
        return 2;
    }
    auto fail = [&err](const QString& problem) {
        err << "miratos render: " << problem << "\n";
        return 1;
    };

    state::resetMdlMain();
    state::MdlMain& s = state::mdlMain();
    const mapview::MapMode mode = mapview::mapModeOf(o.mode);
    mapview::MapTables tables;
    if (const auto problem = applyMapChoices(o.mode, o.prefs, o.districts, s, tables.lvwTikuColor))
        return fail(*problem);
    if (!o.saved.mode.isEmpty())
        state::applySharedState(o.saved, s);
    for (const QString& problem : o.mapProblems)
        err << "miratos render: warning: " << problem << "\n";
    const state::WaterFill water = state::readWaterFill(platform::AppFolder::initIni());
    // Roads: the name table first, then each prefecture's roads while its boundaries load.
    const bool roads = o.roads[0] || o.roads[1] || o.roads[2];
    layers::RoadLayer road;
    mapview::LoadHooks hooks;
    QStringList roadProblems;
    if (roads) {
        const QString names = QDir(platform::AppFolder::mapData()).filePath(QString::fromUtf16(store::kRoadNameFile));
        s.UseRoad = road.loadNames(names, &roadProblems);
        if (!s.UseRoad)
            err << "miratos render: warning: no " << QDir::toNativeSeparators(names) << ": no roads are drawn\n";
        hooks.loadRoads = [&](int prefCode) {
            const QString name = s.PrefTable[static_cast<size_t>(prefCode)][1];
            if (!platform::safePathPart(name).isEmpty())
                roadProblems << road.loadRoads(platform::AppFolder::prefFolder(name) + QString::fromUtf16(store::kRoadFile), tables.DataExtent);
        };
    }
    mapview::LoadReport report;
    if (mode == mapview::MapMode::Japan)
        report = mapview::loadJapan(tables, s, platform::AppFolder::initIni(), hooks);
    else if (mode == mapview::MapMode::Pref)
        report = mapview::loadPref(tables, s, platform::AppFolder::initIni(), hooks);
    else
        report = mapview::loadCity(tables, s, hooks);
    report.problems << roadProblems;
    if (roads && s.UseRoad && !road.hasRoads())
        err << "miratos render: warning: no Road.dat with roads in the chosen prefectures\n";
    for (const QString& problem : report.problems)
        err << "miratos render: warning: " << problem << "\n";

    if (!o.column.isEmpty()) {
        if (const auto problem = applyStatistic(o, s, tables, mode)) {
            if (!o.columnFromMap)
                return fail(*problem);
            // An older map whose column is gone still draws, without its statistic.
            err << "miratos render: warning: " << *problem << "\n";
            o.column.clear();
            s.StatTable.clear();
            s.StatColumn = 0;
            s.RankReady = false;
        }
    }

    // No extent read (every NEWS.dat refused or missing) would paint an empty map around 0°, 0°.
    const mapview::Extent& e = tables.DataExtent;
    if (e.minLon == e.maxLon || e.minLat == e.maxLat)
        return fail(QStringLiteral("nothing to draw: no extent could be read for the chosen areas"));
    mapview::Viewport viewport;
    viewport.setInitialView(tables.DataExtent);
    if (viewport.view.isEmpty())
        return fail(QStringLiteral("nothing to draw: the chosen areas hold no data"));
    // An extent off the globe would scale the map to nothing or to a canvas beyond any size, and
    // the painter would only warn: it is refused here, saying which extent.
    const mapview::ViewRect& v = viewport.view;
    QString extentWrong = store::extentProblem(e.minLon, e.maxLon, e.minLat, e.maxLat);
    if (extentWrong.isEmpty() && !(std::isfinite(v.X1) && std::isfinite(v.X2) && std::isfinite(v.Y1) && std::isfinite(v.Y2)))
        extentWrong = QStringLiteral("the view is not finite");
    if (!extentWrong.isEmpty())
        return fail(QStringLiteral("the data's extent (%1 %2 %3 %4) makes no map: %5")
                        .arg(platform::formatDouble(e.minLon), platform::formatDouble(e.maxLon), platform::formatDouble(e.minLat),
                             platform::formatDouble(e.maxLat), extentWrong));
    platform::Canvas canvas(600, 600);
    mapview::LabelLayer labels;
    for (int k = 0; k < mapview::kLabelKinds; ++k)
        labels.array(static_cast<mapview::LabelKind>(k)).restyle(mapview::labelStyleOf(s, static_cast<mapview::LabelKind>(k)));
    bool colorCacheValid = false;
    mapview::DrawOptions draw;
    draw.style = o.style.value_or(o.column.isEmpty() ? 0 : 3);
    draw.cityNames = o.labels;
    draw.townNames = o.towns;
    layers::RailwayLayer railway;
    const layers::RailwayColors railColors = layers::railwayColorsOf(s);
    if (o.railways || o.stations) {
        const QString folder = store::railwayFolder(platform::AppFolder::mapData());
        for (const QString& problem : railway.load(folder))
            err << "miratos render: warning: " << problem << "\n";
        if (!railway.hasData())
            err << "miratos render: warning: no railway data in " << QDir::toNativeSeparators(folder) << "\n";
        // Without a window there is no earlier railway draw: the station table is built here.
        railway.buildTables(tables.DataExtent);
    }
    if (o.railways)
        draw.railways = [&](platform::Canvas& c) { railway.draw(c, tables.DataExtent, railColors); };
    if (o.stations)
        draw.stationNames = [&](mapview::LabelLayer& l) { railway.stationLabels(l, true); };
    const layers::RoadColors roadColors = layers::roadColorsOf(s);
    if (roads)
        draw.roads = [&](platform::Canvas& c) { road.draw(c, roadColors, o.roads); };
    layers::FacilityLayer facilities;
    if (o.facilities || o.facilityRanks || !o.facilityCsv.isEmpty()) {
        s.UseBuild = true;
        if (const auto problem = loadFacilities(o, s, mode, facilities, err))
            return fail(*problem);
    }
    // The redraw on any canvas: the screen-sized one, or a fresh one at a paper or pixel size.
    auto drawOn = [&](platform::Canvas& target, mapview::LabelLayer& l, const mapview::ViewRect& view) {
        mapview::DrawOptions d = draw;
        d.facilityMarkers = [&](mapview::LabelLayer& ll) {
            facilities.markers(ll, o.facilities, o.facilityNames, platform::AppFolder::buildSymbolFile(), target);
        };
        d.facilityCircles = [&](mapview::LabelLayer& ll) { facilities.rankCircles(ll, o.facilityRanks, layers::rankSettingsOf(s)); };
        d.valueLabels = [&](mapview::LabelLayer& ll) { layers::applyValueLabels(ll, tables, mode, o.symbols, target); };
        mapview::drawScene({tables, target, l, water, colorCacheValid}, view, s, mode, d);
        layers::applyPlacementOptions(l, target, tables, mode, s.StatDrawn, railway.stationLines(), o.placement, o.halo);
        if (o.declutter)
            layers::declutter(l, target, {mode == mapview::MapMode::City, o.labels, o.stations, o.towns});
    };
    const std::vector<stats::PaintedRegion> regions = stats::paintedRegions(tables, mode);
    std::vector<layers::Symbol> symbols;
    layers::SymbolLegend symbolLegend;
    if (o.symbols.enabled) {
        auto found = stats::symbolsOf(regions, s, mode, o.symbols.column);
        if (!found)
            return fail(found.error());
        symbols = std::move(*found);
        draw.symbols = [&](platform::Canvas& c) { symbolLegend = layers::drawSymbols(c, symbols, o.symbols, o.symbols.column); };
    }
    drawOn(canvas, labels, viewport.view);
    for (const QString& problem : mapview::applyLabelEdits(o.saved.labelEdits, labels))
        err << "miratos render: warning: " << problem << "\n";

    s.NoteFontSize = static_cast<int16_t>(o.noteFontSize);
    // Without a statistic legend the note always goes to the bottom right.
    s.NoteLocation = static_cast<int16_t>(s.StatDrawn ? o.noteLocation : 4);
    s.NoteMaker = o.noteMaker;
    const mapview::ScaleBar bar = mapview::scaleBarFor(viewport.view, canvas.height());
    output::ExportScene scene;
    scene.map = &canvas;
    scene.view = viewport.view;
    scene.data = tables.DataExtent;
    scene.labels = &labels;
    scene.buildNames = o.facilityNames;
    scene.buildRank = o.facilityRanks;
    scene.buildRankTitle = facilities.BuildRankTitle;
    scene.scaleVisible = bar.visible;
    scene.scaleLengthPx = bar.lengthPx;
    scene.scaleText = bar.text;
    // Placed names are spread over the map; the scale bar then takes the corner they leave free.
    scene.placeScaleBar = o.placement.placeLabels;
    scene.symbolLegend = symbolLegend;
    scene.symbolLegend.decimals = o.symbols.valueDecimals;
    scene.drawVectorMap = [&](QPainter& p, const platform::Canvas& at) {
        const mapview::ViewRect view{static_cast<float>(at.scaleLeft()), static_cast<float>(at.scaleTop()),
                                     static_cast<float>(at.scaleRight()), static_cast<float>(at.scaleBottom())};
        // The boundaries read only the canvas's size and scale.
        mapview::drawBoundariesOn(p, {tables, const_cast<platform::Canvas&>(at), labels, water, colorCacheValid}, view, s, mode, draw.style);
        if (o.railways)
            layers::drawRailwaysOn(p, railway, at, tables.DataExtent, railColors);
        if (roads)
            layers::drawRoadsOn(p, road, at, roadColors, o.roads);
        if (o.symbols.enabled)
            layers::drawSymbolsOn(p, at, symbols, o.symbols);
    };
    if (!o.tableOut.isEmpty()) {
        const Status table = stats::writePaintedTable(o.tableOut, regions, s);
        if (!table.ok())
            return fail(table.error());
    }
    scene.redraw = [&](platform::Canvas& at, mapview::LabelLayer& l) {
        drawOn(at, l, {static_cast<float>(at.scaleLeft()), static_cast<float>(at.scaleTop()), static_cast<float>(at.scaleRight()),
                       static_cast<float>(at.scaleBottom())});
    };
    scene.drawn = {mode != mapview::MapMode::City, mode == mapview::MapMode::City, o.railways || o.stations,
                   o.facilities || o.facilityRanks || !o.facilityCsv.isEmpty(), s.StatDrawn && o.stat > 0,
                   output::boundaryCreditsOf(s)};
    if (o.facilities)
        scene.symbols = facilities.symbolKey(platform::AppFolder::buildSymbolFile());
    const Status saved = output::saveExport(o.out, scene, s, o.exportOptions);
    if (!saved.ok())
        return fail(saved.error());
    if (!o.saveMap.isEmpty()) {
        state::SavedMap m = savedMapOf(o, s);
        m.labelEdits = o.saved.labelEdits;
        const Status written = state::writeSavedMap(o.saveMap, m);
        if (!written.ok())
            return fail(written.error());
        out << "miratos render: wrote " << QDir::toNativeSeparators(QFileInfo(o.saveMap).absoluteFilePath()) << "\n";
    }
    out << "miratos render: wrote " << QDir::toNativeSeparators(QFileInfo(o.out).absoluteFilePath()) << "\n";
    return 0;
}

} // namespace miratos::cli
