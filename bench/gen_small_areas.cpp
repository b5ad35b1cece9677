// Writes a made-up census small-area district file for one municipality of a TopoJSON boundary
// file, for manual trials of the City mode:
//   gen_small_areas --topojson N03-21_13_210101.json --code 13119 --areas 3000 --year 17 --out DIR
#include "imports/topojson_reader.h"
#include "small_area_generator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

using namespace miratos;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Generates a census small-area district file (test data)."));
    parser.addHelpOption();
    const QCommandLineOption topojson(QStringLiteral("topojson"), QStringLiteral("Municipal boundaries (TopoJSON)."), QStringLiteral("file"));
    const QCommandLineOption code(QStringLiteral("code"), QStringLiteral("Five-digit municipality code."), QStringLiteral("code"));
    const QCommandLineOption areas(QStringLiteral("areas"), QStringLiteral("About this many polygons (default 3000)."), QStringLiteral("n"), QStringLiteral("3000"));
    const QCommandLineOption year(QStringLiteral("year"), QStringLiteral("Census year, 12 or 17 (default 17)."), QStringLiteral("yy"), QStringLiteral("17"));
    const QCommandLineOption folder(QStringLiteral("out"), QStringLiteral("Output folder, created when missing."), QStringLiteral("folder"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."), QStringLiteral("n"), QStringLiteral("1"));
    parser.addOptions({topojson, code, areas, year, folder, seed});
    parser.process(app);

    bool areasOk = false, yearOk = false, seedOk = false;
    const int areaCount = parser.value(areas).toInt(&areasOk);
    const int yearValue = parser.value(year).toInt(&yearOk);
    const quint32 seedValue = parser.value(seed).toUInt(&seedOk);
    if (!parser.isSet(topojson) || !parser.isSet(code) || !parser.isSet(folder) || !areasOk || areaCount < 1
        || !yearOk || yearValue < 0 || yearValue > 99 || !seedOk) {
        err << "gen_small_areas: --topojson, --code and --out are required; --areas is a positive number, "
               "--year two digits\n";
        return 2;
    }

    auto topo = imports::readTopoJson(parser.value(topojson));
    if (!topo) {
        err << topo.error() << '\n';
        return 1;
    }
    const auto m = std::find_if(topo->municipalities.begin(), topo->municipalities.end(),
                                [&](const imports::TopoMunicipality& t) { return t.code == parser.value(code); });
    if (m == topo->municipalities.end()) {
        err << "gen_small_areas: no municipality " << parser.value(code) << " in " << parser.value(topojson) << '\n';
        return 1;
    }
    if (!QDir().mkpath(parser.value(folder))) {
        err << "gen_small_areas: cannot create " << parser.value(folder) << '\n';
        return 1;
    }
    bench::SmallAreaCounts counts;
    const auto path = bench::writeSmallAreas(*m, *topo, areaCount, yearValue, parser.value(folder), seedValue, &counts);
    if (!path) {
        err << path.error() << '\n';
        return 1;
    }
    out << QDir::toNativeSeparators(*path) << ": " << counts.records << " polygons, " << counts.districts
        << " districts, " << counts.towns << " towns, " << counts.water << " water, " << counts.holes << " with a hole\n";
    return 0;
}
