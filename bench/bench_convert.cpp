// The administrative boundary conversion end to end (reading both XML files, every pass, writing
// the six files) on boundary XML generated from the real topology of the largest prefecture
// (北海道), as it is and densified 50 times. Goals: at least 50 MB of XML per second, and a peak
// memory under 4 times the size of the data file.
//
// Peak memory is the rise of the resident high-water mark over one conversion in a fresh process
// (this executable started again with --peak), so that memory freed by earlier runs and kept by
// the allocator does not hide it. The files are generated in a child process too.
#include "boundary_xml_generator.h"
#include "convert/boundary_converter.h"
#include "imports/topojson_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace miratos;

namespace {

constexpr int kHokkaido = 1;

struct Files {
    QString meta, data, out;
    qint64 bytes = 0;
};

// Generates the XML once per densification, in a child process.
const Files* files(int densify)
{
    static QTemporaryDir dir;
    static std::map<int, Files> made;
    if (const auto found = made.find(densify); found != made.end())
        return found->second.bytes > 0 ? &found->second : nullptr;
    Files& f = made[densify];
    const QString sub = dir.filePath(QStringLiteral("x%1").arg(densify));
    QDir().mkpath(sub + QStringLiteral("/out"));
    f.meta = sub + QStringLiteral("/KS-META-N03-21_01.xml");
    f.data = sub + QStringLiteral("/N03-21_01.xml");
    f.out = sub + QStringLiteral("/out");
    const pid_t child = fork();
    if (child == 0) {
        auto topo = imports::readTopoJson(QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_01_210101.json"));
        _exit(topo && bench::writeBoundaryXmlFiles(*topo, kHokkaido, f.meta, f.data, densify).ok() ? 0 : 1);
    }
    int status = 1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return nullptr;
    f.bytes = QFileInfo(f.data).size() + QFileInfo(f.meta).size();
    return &f;
}

// A line of /proc/self/status in kB ("VmHWM:", "VmRSS:").
long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    }
    return -1;
}

// Converts once and prints the rise of the high-water mark in kB (run in a fresh process).
int measurePeak(const char* meta, const char* data, const char* out)
{
    const long before = statusKb("VmHWM:");
    const auto report = convert::行政区域({QString::fromUtf8(meta), QString::fromUtf8(data), kHokkaido}, QString::fromUtf8(out));
    if (!report)
        return 1;
    std::printf("%ld\n", statusKb("VmHWM:") - before);
    return 0;
}

// Runs measurePeak in a fresh copy of this executable; -1 when that fails.
long peakInFreshProcess(const Files& f)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const std::string meta = f.meta.toStdString(), data = f.data.toStdString(), out = f.out.toStdString();
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        execl("/proc/self/exe", "bench_convert", "--peak", meta.c_str(), data.c_str(), out.c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    char buffer[64] = {};
    const ssize_t got = child > 0 ? read(fds[0], buffer, sizeof buffer - 1) : -1;
    close(fds[0]);
    int status = 1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || got <= 0)
        return -1;
    return std::atol(buffer);
}

void BM_BoundaryConversion(benchmark::State& state)
{
    const Files* f = files(int(state.range(0)));
    if (!f) {
        state.SkipWithError("shared data absent or generation failed");
        return;
    }
    for (auto _ : state) {
        const auto report = convert::行政区域({f->meta, f->data, kHokkaido}, f->out);
        if (!report) {
            state.SkipWithError(report.error().toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(report->counter);
    }
    const double peakKb = double(peakInFreshProcess(*f));
    state.SetBytesProcessed(state.iterations() * f->bytes);
    state.counters["file_MB"] = double(f->bytes) / 1e6;
    state.counters["peak_MB"] = peakKb * 1024 / 1e6;
    state.counters["peak_per_file"] = peakKb * 1024 / double(f->bytes);
}

BENCHMARK(BM_BoundaryConversion)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--peak")
        return measurePeak(argv[2], argv[3], argv[4]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
