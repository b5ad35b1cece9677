#include "store/facility_files.h"

#include "platform/cp932.h"
#include "platform/number_text.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStringView>

namespace miratos::store {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool isNumber(QStringView text)
{
    return platform::parseNumber(text.toLatin1()).has_value() && !text.isEmpty();
}

QString badLineProblem(const QString& path, int count, int firstLine, const QString& text)
{
    QString shownText = text.left(60);
    if (text.size() > 60)
        shownText += QStringLiteral("…");
    return QStringLiteral("%1: %2 行を読み飛ばしました（最初は %3 行目「%4」）").arg(shown(path)).arg(count).arg(firstLine).arg(shownText);
}

} // namespace

std::optional<BuildRow> parseBuildLine(const QString& line)
{
    const QList<QStringView> parts = QStringView(line).split(QLatin1Char('|'));
    if (parts.size() < 7)
        return std::nullopt;
    const QStringView pos = parts.at(0);
    const qsizetype space = pos.indexOf(QLatin1Char(' '));
    if (space < 0)
        return std::nullopt;
    const QStringView lat = pos.left(space).trimmed();
    const QStringView lon = pos.mid(space + 1).trimmed();
    if (!isNumber(lat) || !isNumber(lon))
        return std::nullopt;
    BuildRow row;
    row[kBuildLat] = lat.toString();
    row[kBuildLon] = lon.toString();
    for (int k = 1; k < 7; ++k)
        row[static_cast<size_t>(k + 1)] = parts.at(k).toString();
    return row;
}

FacilityRead readBuildDat(const QString& path, const std::function<void()>& yield)
{
    FacilityRead read;
    if (!QFileInfo::exists(path))
        return read;
    read.present = true;
    auto lines = platform::readTextLines(path);
    if (!lines) {
        read.problem = lines.error();
        return read;
    }
    read.rows.reserve(static_cast<size_t>(lines->size()));
    int firstBad = 0;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        if (yield && i % 256 == 0)
            yield();
        const QString& line = lines->at(i);
        if (line.isEmpty())
            continue;
        if (auto row = parseBuildLine(line)) {
            read.rows.push_back(std::move(*row));
            continue;
        }
        if (read.badLines++ == 0)
            firstBad = static_cast<int>(i + 1);
    }
    if (read.badLines > 0)
        read.problem = badLineProblem(path, read.badLines, firstBad, lines->at(firstBad - 1));
    return read;
}

Result<FacilityCsvRead> readFacilityCsv(const QString& path, const std::function<void()>& yield)
{
    auto lines = platform::readTextLinesGuessing(path);
    if (!lines)
        return Error{lines.error()};
    FacilityCsvRead read;
    int firstBad = 0;
    for (qsizetype i = 0; i < lines->size(); ++i) {
        if (yield && i % 256 == 0)
            yield();
        const QString& line = lines->at(i);
        const QStringList f = line.split(QLatin1Char(','));
        if (i == 0) {
            read.title = f.value(3);
            continue;
        }
        if (line.isEmpty())
            continue;
        // A position that is not a number would put the facility at 0°, far off the map.
        if (f.size() < 8 || !isNumber(QStringView(f.at(6)).trimmed()) || !isNumber(QStringView(f.at(7)).trimmed())) {
            if (read.badLines++ == 0)
                firstBad = static_cast<int>(i + 1);
            continue;
        }
        BuildRow row;
        row[kBuildLat] = f.at(7).trimmed();
        row[kBuildLon] = f.at(6).trimmed();
        row[kBuildClass] = f.at(0);
        row[kBuildSubClass] = f.at(1);
        row[kBuildName] = f.at(2);
        row[kBuildAddress] = f.at(4);
        row[kBuildValue] = f.at(3);
        read.rows.push_back(std::move(row));
    }
    if (read.badLines > 0)
        read.problem = badLineProblem(path, read.badLines, firstBad, lines->at(firstBad - 1));
    return read;
}

Result<QByteArray> encodeBuildDat(const std::vector<BuildDatRecord>& records)
{
    QString text;
    text.reserve(static_cast<qsizetype>(records.size()) * 80);
    for (size_t r = 0; r < records.size(); ++r) {
        for (size_t k = 0; k < 7; ++k) {
            const QString& value = records[r][k];
            if (value.contains(QLatin1Char('|')) || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
                return Error{QStringLiteral("Build.dat: %1 番目の施設の値「%2」が「|」か改行を含んでいます").arg(r + 1).arg(value)};
            text += value;
            if (k < 6)
                text += QLatin1Char('|');
        }
        text += QLatin1String("\r\n");
    }
    auto bytes = platform::toCp932(text);
    if (!bytes)
        return Error{QStringLiteral("Build.dat: ") + bytes.error()};
    return std::move(*bytes);
}

Status writeBuildDat(const QString& folder, const QByteArray& bytes)
{
    if (!QFileInfo(folder).isDir())
        return Error{QStringLiteral("%1: フォルダがありません").arg(shown(folder))};
    return platform::writeFileAtomically(QDir(folder).filePath(QString::fromUtf16(kBuildFile)), bytes);
}

} // namespace miratos::store
