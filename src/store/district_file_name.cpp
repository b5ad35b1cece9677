#include "store/district_file_name.h"

#include "platform/path_part.h"

#include <QList>

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
    const auto parts = fileName.split(u'_');
    if (parts.size() < 3)
        return std::nullopt;
    QStringView name = parts.at(2);
    const auto dot = name.indexOf(u'.');
    if (dot >= 0)
        name = name.left(dot);
    return DistrictFileName{*year, parts.at(1).toString(), name.toString()};
}

QString districtFilePrefix(QStringView fileName)
{
    const auto last = fileName.lastIndexOf(u'_');
    return last < 0 ? QString() : fileName.left(last + 1).toString();
}

} // namespace miratos::store
