#include "imports/facility_import.h"

#include "imports/attribute_probe.h"

#include "imports/prefecture_set_writer.h"
#include "platform/import_lock.h"
#include "platform/safe_write.h"
#include "imports/gis_encoding.h"
#include "platform/read_limits.h"
#include "state/prefectures.h"
#include "platform/cp932.h"
#include "platform/number_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace miratos::imports {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString field(const platform::GisFeature& f, const char* name, bool cp932)
{
    const auto it = f.fields.constFind(QLatin1String(name));
    if (it == f.fields.constEnd())
        return {};
    return (cp932 ? platform::fromCp932(*it) : QString::fromUtf8(*it)).trimmed();
}

// A code as the code lists write it. A file may store codes as numbers, which lose their leading
// zeros (3001 or 3001.0 for "03001"); width pads such a number back, 0 leaves its length.
QString codeText(const QString& text, int width)
{
    static const QRegularExpression number(QStringLiteral(R"(^([0-9]+)(?:\.0*)?$)"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return text;
    const QString digits = m.captured(1);
    return width > 0 ? digits.rightJustified(width, QLatin1Char('0')) : digits;
}

// A point that can be drawn: finite, and within the longitudes and latitudes of the globe.
bool onTheGlobe(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) <= 360 && std::abs(p.y()) <= 90;
}

} // namespace

bool isFacilityDataset(const QString& path)
{
    return attributeProbe(path, 64 * 1024).contains("P02_00");
}

Result<FacilityImport> buildFacilityImport(const std::vector<std::vector<platform::GisLayer>>& files, convert::FacilityCodeTables& codes)
{
    FacilityImport result;
    int seen = 0;
    for (const auto& layers : files) {
        for (const platform::GisLayer& layer : layers) {
            if (!layer.fieldNames.contains(QStringLiteral("P02_001")))
                continue;
            const bool cp932 = gisLayerIsCp932(layer);
            for (const platform::GisFeature& f : layer.features) {
                ++seen;
                const QString area = codeText(field(f, "P02_001", cp932), 5);
                const QString name = field(f, "P02_004", cp932);
                bool codeOk = false;
                const int pref = area.left(2).toInt(&codeOk);
                QString why;
                if (f.parts.empty() || f.parts.front().isEmpty())
                    why = QStringLiteral("位置がありません");
                else if (const QPointF at = f.parts.front().front(); !onTheGlobe(at))
                    why = QStringLiteral("位置（%1 %2）が経緯度ではありません").arg(at.x()).arg(at.y());
                else if (area.size() != 5 || !codeOk || pref < 1 || pref > state::kPrefectureCount)
                    why = QStringLiteral("行政区域コード「%1」が都道府県を表していません").arg(area);
                if (!why.isEmpty()) {
                    if (result.skipped++ == 0)
                        result.firstSkipped = QStringLiteral("%1: %2 番目の施設「%3」: %4").arg(layer.name).arg(seen).arg(name, why);
                    continue;
                }
                const QPointF p = f.parts.front().front();
                store::BuildDatRecord r;
                r[0] = platform::formatDouble(p.y()) + QLatin1Char(' ') + platform::formatDouble(p.x());
                r[1] = area;
                r[2] = convert::withoutFieldSeparator(codes.major(codeText(field(f, "P02_002", cp932), 0)));
                r[3] = convert::withoutFieldSeparator(codes.minor(codeText(field(f, "P02_003", cp932), 5)));
                r[4] = convert::withoutFieldSeparator(name);
                r[5] = convert::withoutFieldSeparator(field(f, "P02_005", cp932));
                r[6] = convert::withoutFieldSeparator(codes.administrator(codeText(field(f, "P02_006", cp932), 0)));
                for (QString& value : r)
                    value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
                // A character CP932 cannot hold becomes "〓"; the note names the facility as the data has it.
                const QString shownName = r[4];
                qsizetype marks = 0;
                for (QString& value : r) {
                    qsizetype n = 0;
                    value = platform::withCp932Marks(value, &n);
                    marks += n;
                }
                if (marks > 0 && result.marked == 0)
                    result.firstMarked = QStringLiteral("%1: %2 番目の施設「%3」").arg(layer.name).arg(seen).arg(shownName);
                result.marked += marks;
                result.byPrefecture[pref].push_back(std::move(r));
            }
        }
    }
    result.unknownCodes = codes.unknownCodes();
    if (result.byPrefecture.isEmpty())
        return Error{QStringLiteral("取り込める公共施設が 1 つもありません")};
    return result;
}

Result<FacilityImportReport> importFacilities(const QStringList& files, const QString& mapData, const QString& initIni,
                                              const std::function<void(const QString&)>& progress)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    auto layersRead = platform::readGisFiles(files, progress);
    if (!layersRead)
        return Error{layersRead.error()};
    const std::vector<std::vector<platform::GisLayer>>& read = *layersRead;
    convert::FacilityCodeTables codes(initIni);
    auto built = buildFacilityImport(read, codes);
    if (!built)
        return Error{built.error()};
    // Every file is encoded before the first is written.
    QMap<int, QByteArray> bytes;
    for (auto it = built->byPrefecture.constBegin(); it != built->byPrefecture.constEnd(); ++it) {
        auto encoded = store::encodeBuildDat(it.value());
        if (!encoded)
            return Error{state::prefectureName(it.key()) + QStringLiteral(": ") + encoded.error()};
        bytes.insert(it.key(), std::move(*encoded));
    }
    FacilityImportReport report;
    platform::WriteBatch batch; // every prefecture's Build.dat, or none
    for (auto it = bytes.constBegin(); it != bytes.constEnd(); ++it) {
        const QString folder = QDir(mapData).filePath(prefectureFolderName(it.key(), initIni));
        if (Status s = platform::makeFolder(folder); !s)
            return Error{s.error()};
        if (Status s = store::writeBuildDat(folder, it.value()); !s)
            return Error{s.error()};
        report.written << QStringLiteral("%1: 公共施設 %2 件").arg(shown(QDir(folder).filePath(QStringLiteral("Build.dat"))))
                              .arg(built->byPrefecture.value(it.key()).size());
    }
    if (Status s = batch.commit(); !s)
        return Error{s.error()};
    report.skipped = built->skipped;
    report.firstSkipped = built->firstSkipped;
    report.unknownCodes = built->unknownCodes;
    report.marked = built->marked;
    report.firstMarked = built->firstMarked;
    return report;
}

} // namespace miratos::imports
