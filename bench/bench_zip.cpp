// "miratos import" of the 47 prefectures' N03 GeoJSON as they come zipped, against the same files
// unzipped: the zip is made in the set-up, in a temporary folder, one deflated member a file.
#include "cli/import_command.h"
#include "platform/app_folder.h"

#include "qt_bench_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <cpl_conv.h>

using namespace miratos;

namespace {

QString shared(const QString& rel)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/") + rel;
}

QStringList prefectureGeoJson()
{
    QStringList files;
    for (int p = 1; p <= 47; ++p)
        files << shared(QStringLiteral("n03-2021/geojson/N03-21_%1_210101.json").arg(p, 2, 10, QLatin1Char('0')));
    return files;
}

QTemporaryDir& workFolder()
{
    static QTemporaryDir dir;
    return dir;
}

QString appFolder()
{
    static bool ready = false;
    QTemporaryDir& dir = workFolder();
    if (!ready) {
        QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), dir.filePath(QStringLiteral("Init.ini")));
        QDir(dir.path()).mkpath(QStringLiteral("MapData"));
        ready = true;
    }
    return dir.path();
}

// The 47 files in one zip, inside a folder as the downloads keep them; empty when it cannot be made.
QString prefecturesZip()
{
    static QString made;
    if (!made.isEmpty())
        return made;
    const QString path = workFolder().filePath(QStringLiteral("N03-21_GML.zip"));
    void* zip = CPLCreateZip(QFile::encodeName(path).constData(), nullptr);
    if (!zip)
        return {};
    bool ok = true;
    for (const QString& file : prefectureGeoJson()) {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) {
            ok = false;
            break;
        }
        const QByteArray bytes = in.readAll();
        const QByteArray member = "N03-21_GML/" + QFileInfo(file).fileName().toUtf8();
        ok = CPLCreateFileInZip(zip, member.constData(), nullptr) == CE_None
            && CPLWriteFileInZip(zip, bytes.constData(), int(bytes.size())) == CE_None && CPLCloseFileInZip(zip) == CE_None;
        if (!ok)
            break;
    }
    ok = CPLCloseZip(zip) == CE_None && ok;
    if (ok)
        made = path;
    return made;
}

void runImport(benchmark::State& state, const QStringList& args)
{
    for (auto _ : state) {
        platform::AppFolder::set(appFolder());
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        if (cli::runImportCommand(args, out, err) != 0) {
            err.flush();
            return state.SkipWithError(errText.left(200).toStdString().c_str());
        }
    }
}

void BM_ImportPrefecturesGeoJson(benchmark::State& state)
{
    if (!QFileInfo::exists(prefectureGeoJson().first()))
        return state.SkipWithError("../shared/data is absent");
    runImport(state, prefectureGeoJson());
}

void BM_ImportPrefecturesGeoJsonZipped(benchmark::State& state)
{
    if (!QFileInfo::exists(prefectureGeoJson().first()))
        return state.SkipWithError("../shared/data is absent");
    const QString zip = prefecturesZip();
    if (zip.isEmpty())
        return state.SkipWithError("the zip could not be made");
    runImport(state, {zip});
}

} // namespace

BENCHMARK(BM_ImportPrefecturesGeoJson)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ImportPrefecturesGeoJsonZipped)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

int main(int argc, char** argv)
{
    return miratos::bench::runQtBenchmarks(argc, argv);
}
