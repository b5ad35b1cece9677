// Writes railway XML for manual trials of the railway conversion from a railway folder
// (MapData/鉄道, for example after "miratos import" of today's railway data).
// Usage: gen_railway_xml RAILWAY_FOLDER OUT.xml [DENSIFY]
#include "railway_xml_generator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: gen_railway_xml RAILWAY_FOLDER OUT.xml [DENSIFY]\n");
        return 2;
    }
    const auto read = miratos::store::readRailwayFiles(QString::fromLocal8Bit(argv[1]));
    if (!read.present) {
        std::fprintf(stderr, "no Line_rr.dat in %s\n", argv[1]);
        return 1;
    }
    const int densify = argc > 3 ? std::atoi(argv[3]) : 1;
    const auto written = miratos::bench::writeRailwayXml(read.tables, QString::fromLocal8Bit(argv[2]), densify < 1 ? 1 : densify);
    if (!written.ok()) {
        std::fprintf(stderr, "%s\n", written.error().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
