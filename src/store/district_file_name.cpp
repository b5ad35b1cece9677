#include "store/district_file_name.h"

#include "platform/path_part.h"

#include <QList>
#include <algorithm>

namespace miratos::store {
namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString districtFileName(int year, const QString& code, const QString& name)
{
    return QStringLiteral("%1_%2_%3.dat")
        .arg(year, 2, 10, QLatin1Char('0'))
        .arg(platform::safePathPart(code), platform::safePathPart(name));
}

bool isDistrictFileName(QStringView fileName)
{
    return !fileName.isEmpty() && isAsciiDigit(fileName.front());
}

std::optional<int> districtFileYear(QStringView fileName)
{
    if (fileName.size() < 2 || !isAsciiDigit(fileName[0]) || !isAsciiDigit(fileName[1]))
        return std::nullopt;
    return fileName[0].digitValue() * 10 + fileName[1].digitValue();
}

std::optional<DistrictFileName> parseDistrictFileName(QStringView fileName)
{
    const auto year = districtFileYear(fileName);
    if (!year)
        return std::nullopt;
    // Year and code hold no "_", the name may: it is everything after the second one.
    const auto first = fileName.indexOf(u'_');
    const auto second = first < 0 ? -1 : fileName.indexOf(u'_', first + 1);
    if (second < 0)
        return std::nullopt;
    QStringView name = fileName.mid(second + 1);
    const auto dot = name.indexOf(u'.');
    if (dot >= 0)
        name = name.left(dot);
    return DistrictFileName{*year, fileName.mid(first + 1, second - first - 1).toString(), name.toString()};
}

QString districtFilePrefix(QStringView path)
{
    const auto slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const auto first = path.indexOf(u'_', slash + 1);
    const auto second = first < 0 ? -1 : path.indexOf(u'_', first + 1);
    return second < 0 ? QString() : path.left(second + 1).toString();
}

} // namespace miratos::store
