// Writes public-facility XML for manual trials of the facility conversion from today's facility
// data (for example ../shared/data/facilities-p02-2006/P02-06_37-g_PublicFacility.geojson).
// Usage: gen_facility_xml FACILITIES.geojson|.shp OUT.xml [REPEAT]
#include "facility_xml_generator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: gen_facility_xml FACILITIES.geojson OUT.xml [REPEAT]\n");
        return 2;
    }
    const auto layers = miratos::platform::readGisFile(QString::fromLocal8Bit(argv[1]));
    if (!layers) {
        std::fprintf(stderr, "%s\n", layers.error().toLocal8Bit().constData());
        return 1;
    }
    const int repeat = argc > 3 ? std::atoi(argv[3]) : 1;
    const auto written = miratos::bench::writeFacilityXml(*layers, QString::fromLocal8Bit(argv[2]), repeat < 1 ? 1 : repeat);
    if (!written.ok()) {
        std::fprintf(stderr, "%s\n", written.error().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
