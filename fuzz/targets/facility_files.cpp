// Build.dat of a prefecture and the user's facility import table. First byte: which file.
#include "fuzz_support.h"
#include "store/facility_files.h"

#include <QDir>

using namespace miratos;
using namespace miratos::fuzz;

namespace {

std::vector<store::BuildDatRecord> records(const std::vector<store::BuildRow>& rows)
{
    std::vector<store::BuildDatRecord> out;
    for (const store::BuildRow& row : rows) {
        store::BuildDatRecord r;
        r[0] = row[store::kBuildLat] + QLatin1Char(' ') + row[store::kBuildLon];
        for (size_t k = 1; k < 7; ++k)
            r[k] = row[k + 1];
        out.push_back(std::move(r));
    }
    return out;
}

// Writes the rows as a Build.dat and reads them back; nothing when CP932 cannot hold a value.
std::optional<store::FacilityRead> writtenAndRead(const std::vector<store::BuildRow>& rows, const QString& name)
{
    auto bytes = store::encodeBuildDat(records(rows));
    if (!bytes)
        return std::nullopt;
    const QString folder = freshFolder(name);
    FUZZ_CHECK(store::writeBuildDat(folder, *bytes).ok(), folder);
    store::FacilityRead back = store::readBuildDat(QDir(folder).filePath(QStringLiteral("Build.dat")));
    FUZZ_CHECK(back.present && back.badLines == 0, back.problem);
    FUZZ_CHECK(back.rows.size() == rows.size(), QStringLiteral("Build.dat read back has another number of facilities"));
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString path = writeScratch(QStringLiteral("input.dat"), FUZZ_INPUT.sliced(1));
    const qsizetype lines = FUZZ_INPUT.sliced(1).count('\n') + FUZZ_INPUT.sliced(1).count('\r') + 1;
    if (data[0] & 1) {
        auto csv = store::readFacilityCsv(path);
        if (!csv)
            return 0;
        FUZZ_CHECK(static_cast<qsizetype>(csv->rows.size()) + csv->badLines < lines, csv->problem);
        FUZZ_CHECK(csv->badLines == 0 || !csv->problem.isEmpty(), QString::number(csv->badLines));
        return 0;
    }
    store::FacilityRead read = store::readBuildDat(path);
    FUZZ_CHECK(read.present, QString());
    FUZZ_CHECK(static_cast<qsizetype>(read.rows.size()) + read.badLines <= lines, read.problem);
    FUZZ_CHECK(read.badLines == 0 || !read.problem.isEmpty(), QString::number(read.badLines));
    // What was read is written, and from then on writing and reading changes nothing.
    auto first = writtenAndRead(read.rows, QStringLiteral("a"));
    if (!first)
        return 0;
    auto second = writtenAndRead(first->rows, QStringLiteral("b"));
    FUZZ_CHECK(second && second->rows == first->rows, QStringLiteral("Build.dat changes when written again"));
    return 0;
}
