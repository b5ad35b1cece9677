// "miratos import" of the 47 prefecture GeoJSON files of the shared data (10 MB), and of the same
// files densified 50 times (49 points put on every segment, about 500 MB, generated into a
// temporary folder on first use), side by side with the time GDAL alone needs to read every
// feature of the same files. Each import runs in a fresh process, whose peak memory is reported
// (peak_MB) next to the input size (input_MB). Goals: import at most twice GDAL's bare read, peak
// at most three times the input, the densified country under 60 s.
#include "cli/import_command.h"
#include "platform/app_folder.h"
#include "platform/gis_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace miratos;

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QStringList sourceFiles()
{
    QStringList files;
    for (int p = 1; p <= 47; ++p)
        files << QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/geojson/N03-21_%1_210101.json").arg(p, 2, 10, QLatin1Char('0'));
    return QFileInfo::exists(files.first()) ? files : QStringList();
}

void writeNumber(QByteArray& out, double v)
{
    char buffer[32];
    out.append(buffer, std::snprintf(buffer, sizeof buffer, "%.15g", v));
}

// A copy of a GeoJSON file with `factor - 1` points interpolated on every segment.
bool densify(const QString& from, const QString& to, int factor)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QJsonArray features = QJsonDocument::fromJson(in.readAll()).object().value(QLatin1String("features")).toArray();
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write("{\"type\":\"FeatureCollection\",\"features\":[\n");
    for (qsizetype f = 0; f < features.size(); ++f) {
        QJsonObject feature = features.at(f).toObject();
        const QJsonObject geometry = feature.value(QLatin1String("geometry")).toObject();
        const bool multi = geometry.value(QLatin1String("type")).toString() == QLatin1String("MultiPolygon");
        const QJsonArray polygons = multi ? geometry.value(QLatin1String("coordinates")).toArray()
                                          : QJsonArray{geometry.value(QLatin1String("coordinates"))};
        feature.remove(QLatin1String("geometry"));
        QByteArray text = QJsonDocument(feature).toJson(QJsonDocument::Compact);
        text.chop(1);
        text += ",\"geometry\":{\"type\":\"MultiPolygon\",\"coordinates\":[";
        for (qsizetype p = 0; p < polygons.size(); ++p) {
            text += p ? ",[" : "[";
            const QJsonArray rings = polygons.at(p).toArray();
            for (qsizetype r = 0; r < rings.size(); ++r) {
                text += r ? ",[" : "[";
                const QJsonArray ring = rings.at(r).toArray();
                for (qsizetype i = 0; i < ring.size(); ++i) {
                    const QJsonArray a = ring.at(i).toArray();
                    const int steps = i + 1 < ring.size() ? factor : 1;
                    const QJsonArray b = i + 1 < ring.size() ? ring.at(i + 1).toArray() : a;
                    for (int k = 0; k < steps; ++k) {
                        const double t = double(k) / factor;
                        text += (i || k) ? ",[" : "[";
                        writeNumber(text, a.at(0).toDouble() + t * (b.at(0).toDouble() - a.at(0).toDouble()));
                        text += ',';
                        writeNumber(text, a.at(1).toDouble() + t * (b.at(1).toDouble() - a.at(1).toDouble()));
                        text += ']';
                    }
                }
                text += ']';
            }
            text += ']';
        }
        text += "]}}";
        text += f + 1 < features.size() ? ",\n" : "\n";
        out.write(text);
    }
    out.write("]}\n");
    return out.error() == QFile::NoError;
}

const QStringList& inputs(int factor)
{
    static QStringList plain = sourceFiles();
    static QStringList dense = [] {
        QStringList files;
        for (const QString& source : sourceFiles()) {
            const QString target = workDir().filePath(QStringLiteral("dense_") + QFileInfo(source).fileName());
            if (!densify(source, target, 50))
                return QStringList();
            files << target;
        }
        return files;
    }();
    return factor == 1 ? plain : dense;
}

double megabytes(const QStringList& files)
{
    qint64 bytes = 0;
    for (const QString& f : files)
        bytes += QFileInfo(f).size();
    return double(bytes) / (1024.0 * 1024.0);
}

void BM_GdalBareRead(benchmark::State& state)
{
    const QStringList& files = inputs(int(state.range(0)));
    if (files.isEmpty())
        return state.SkipWithError("shared GeoJSON absent");
    qint64 points = 0;
    for (auto _ : state) {
        points = 0;
        for (const QString& file : files) {
            const Status s = platform::forEachGisFeature(file, [&points](const platform::GisLayer&, platform::GisFeature&& f) -> Status {
                for (const auto& part : f.parts)
                    points += part.size();
                return {};
            });
            if (!s)
                return state.SkipWithError(s.error().toStdString().c_str());
        }
    }
    state.counters["points"] = double(points);
    state.counters["input_MB"] = megabytes(files);
}

// The import in a child process: its time and its peak resident memory.
void BM_GisImport(benchmark::State& state)
{
    const QStringList& files = inputs(int(state.range(0)));
    if (files.isEmpty())
        return state.SkipWithError("shared GeoJSON absent");
    const QString app = workDir().filePath(QStringLiteral("app%1").arg(state.range(0)));
    QDir().mkpath(app);
    double peak = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            platform::AppFolder::set(app);
            QString outText, errText;
            QTextStream out(&outText), err(&errText);
            _exit(cli::runImportCommand(files, out, err));
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return state.SkipWithError("import failed");
        peak = double(usage.ru_maxrss) / 1024.0;
    }
    state.counters["peak_MB"] = peak;
    state.counters["input_MB"] = megabytes(files);
}

} // namespace

BENCHMARK(BM_GdalBareRead)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GisImport)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
