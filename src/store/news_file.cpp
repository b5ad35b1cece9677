#include "store/news_file.h"

#include "platform/number_text.h"
#include "platform/text_file.h"
#include "store/extent_check.h"
#include "store/record_lines.h"

namespace miratos::store {

Result<NewsExtent> readNewsFile(const QString& path)
{
    auto lines = platform::readTextLines(path);
    if (!lines)
        return Error{lines.error()};
    if (lines->size() != 4)
        return Error{QStringLiteral("%1: 4 行のはずが %2 行あります").arg(displayPath(path)).arg(lines->size())};
    double values[4];
    for (int i = 0; i < 4; ++i) {
        const auto number = platform::toNumber(lines->at(i));
        if (!number)
            return Error{QStringLiteral("%1: %2 行目が数値ではありません").arg(displayPath(path)).arg(i + 1)};
        values[i] = *number;
    }
    if (const QString problem = extentProblem(values[0], values[1], values[2], values[3]); !problem.isEmpty())
        return Error{QStringLiteral("%1: 1〜4 行目の範囲が地図になりません（%2）").arg(displayPath(path), problem)};
    return NewsExtent{values[0], values[1], values[2], values[3]};
}

Status writeNewsFile(const QString& path, const NewsExtent& extent)
{
    using platform::formatDouble;
    // What the reader would refuse is never written: a converter's source extent is checked here.
    if (const QString problem = extentProblem(extent.west, extent.east, extent.south, extent.north); !problem.isEmpty())
        return Error{QStringLiteral("%1: 範囲が地図にならないため書きません（%2）").arg(displayPath(path), problem)};
    return writeRecordLines(path, {formatDouble(extent.west), formatDouble(extent.east),
                                   formatDouble(extent.south), formatDouble(extent.north)});
}

} // namespace miratos::store
