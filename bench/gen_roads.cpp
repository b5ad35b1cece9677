// Writes road text in the road conversions' source layouts for manual trials.
// Usage: gen_roads OUT_FOLDER CODE... [--local N]   (N local roads per prefecture, default 80000)
#include "road_generator.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    miratos::bench::RoadGeneratorOptions options;
    const qsizetype local = args.indexOf(QStringLiteral("--local"));
    if (local >= 0 && local + 1 < args.size()) {
        options.localRoadsPerPrefecture = args.at(local + 1).toInt();
        args.remove(local, 2);
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: gen_roads OUT_FOLDER CODE... [--local N]\n");
        return 2;
    }
    QVector<int> codes;
    for (const QString& c : args.mid(1))
        codes.append(c.toInt());
    const auto written = miratos::bench::writeRoadSources(QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson"), codes, args.at(0), options);
    if (!written) {
        std::fprintf(stderr, "%s\n", written.error().toLocal8Bit().constData());
        return 1;
    }
    std::printf("%lld roads, %lld named routes\n", static_cast<long long>(written->roads), static_cast<long long>(written->namedRoutes));
    return 0;
}
