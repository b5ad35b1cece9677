#include "store/district_file.h"

#include "platform/number_text.h"
#include "store/extent_check.h"
#include "store/record_lines.h"

namespace miratos::store {

std::optional<DistrictExtent> parseDistrictHeader(QStringView header)
{
    double values[4];
    int count = 0;
    for (QStringView token : header.tokenize(u' ', Qt::SkipEmptyParts)) {
        const auto number = platform::toNumber(token.toString());
        if (!number)
            return std::nullopt;
        values[count++] = *number;
        if (count == 4)
            return DistrictExtent{values[0], values[1], values[2], values[3]};
    }
    return std::nullopt;
}

namespace {

QString districtExtentProblem(const DistrictExtent& e)
{
    return extentProblem(e.west, e.east, e.south, e.north);
}

} // namespace

QString formatDistrictHeader(const DistrictExtent& extent)
{
    using platform::formatDouble;
    return QStringList{formatDouble(extent.west), formatDouble(extent.south), formatDouble(extent.east),
                       formatDouble(extent.north)}
        .join(QLatin1Char(' '));
}

namespace {

Result<DistrictFile> read(const QString& path, QStringList* skipped)
{
    auto lines = readRecordLines(path, 8, 1, skipped);
    if (!lines)
        return Error{lines.error()};
    DistrictFile file;
    file.header = lines->at(0);
    const auto extent = parseDistrictHeader(file.header);
    if (!extent)
        return Error{QStringLiteral("%1: 1 行目が範囲（4 つの数値）ではありません").arg(displayPath(path))};
    if (const QString problem = districtExtentProblem(*extent); !problem.isEmpty())
        return Error{QStringLiteral("%1: 1 行目の範囲が地図になりません（%2）").arg(displayPath(path), problem)};
    file.records.reserve((lines->size() - 1) / 8);
    for (qsizetype i = 1; i < lines->size(); i += 8) {
        const auto at = [&](int field) { return lines->at(i + field); };
        file.records.append({at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7)});
    }
    return file;
}

} // namespace

Result<DistrictFile> readDistrictFile(const QString& path)
{
    return read(path, nullptr);
}

Result<DistrictFile> readDistrictFileSkippingBad(const QString& path, QStringList& skipped)
{
    return read(path, &skipped);
}

Status writeDistrictFile(const QString& path, const DistrictFile& file)
{
    // Refused for the same reason the reader refuses it: the loader takes the extent from it.
    const auto extent = parseDistrictHeader(file.header);
    if (!extent)
        return Error{QStringLiteral("%1: 見出し行が範囲（4 つの数値）ではありません: %2").arg(displayPath(path), file.header)};
    if (const QString problem = districtExtentProblem(*extent); !problem.isEmpty())
        return Error{QStringLiteral("%1: 見出し行の範囲が地図になりません（%2）").arg(displayPath(path), problem)};
    QStringList lines;
    lines.reserve(1 + file.records.size() * 8);
    lines << file.header;
    for (const DistrictRecord& r : file.records)
        lines << r.rings << r.area << r.areaClass << r.code << r.representative << r.townName << r.labelX << r.labelY;
    return writeRecordLines(path, lines);
}

} // namespace miratos::store
