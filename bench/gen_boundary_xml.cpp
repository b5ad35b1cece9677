// Writes the boundary XML of one prefecture (metadata and data file, Shift_JIS) from a TopoJSON
// boundary file, for trials of the boundary conversion window and command:
//   gen_boundary_xml --topojson N03-21_13_210101.json --pref 13 --out DIR [--densify 50]
// The files are DIR/KS-META-N03-21_13.xml and DIR/N03-21_13.xml; the data file's name ends in
// "_13.xml", from which the conversion window takes the prefecture.
#include "boundary_xml_generator.h"
#include "imports/topojson_reader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace miratos;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Generates boundary XML of one prefecture (test data)."));
    parser.addHelpOption();
    const QCommandLineOption topojson(QStringLiteral("topojson"), QStringLiteral("Municipal boundaries (TopoJSON)."), QStringLiteral("file"));
    const QCommandLineOption pref(QStringLiteral("pref"), QStringLiteral("Prefecture code 1..47."), QStringLiteral("code"));
    const QCommandLineOption folder(QStringLiteral("out"), QStringLiteral("Output folder, created when missing."), QStringLiteral("folder"));
    const QCommandLineOption densify(QStringLiteral("densify"), QStringLiteral("Points per segment (default 1: as in the source)."),
                                     QStringLiteral("n"), QStringLiteral("1"));
    parser.addOptions({topojson, pref, folder, densify});
    parser.process(app);

    bool prefOk = false, densifyOk = false;
    const int code = parser.value(pref).toInt(&prefOk);
    const int times = parser.value(densify).toInt(&densifyOk);
    if (!parser.isSet(topojson) || !parser.isSet(folder) || !prefOk || code < 1 || code > 47 || !densifyOk || times < 1) {
        err << "gen_boundary_xml: --topojson, --pref (1..47) and --out are required; --densify is a positive number\n";
        return 2;
    }
    auto topo = imports::readTopoJson(parser.value(topojson));
    if (!topo) {
        err << topo.error() << '\n';
        return 1;
    }
    if (!QDir().mkpath(parser.value(folder))) {
        err << "gen_boundary_xml: cannot create " << parser.value(folder) << '\n';
        return 1;
    }
    const QString cc = QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
    const QDir dir(parser.value(folder));
    const QString meta = dir.filePath(QStringLiteral("KS-META-N03-21_%1.xml").arg(cc));
    const QString data = dir.filePath(QStringLiteral("N03-21_%1.xml").arg(cc));
    bench::BoundaryXmlCounts counts;
    if (Status s = bench::writeBoundaryXmlFiles(*topo, code, meta, data, times, &counts); !s) {
        err << s.error() << '\n';
        return 1;
    }
    out << QDir::toNativeSeparators(data) << ": " << QFileInfo(data).size() << " bytes, " << counts.points << " points, "
        << counts.curves << " curves, " << counts.vertices << " vertices, " << counts.polygons << " polygons, "
        << counts.holes << " holes\n";
    return 0;
}
