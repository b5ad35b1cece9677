#pragma once
// NEWS.dat: the extent of a prefecture's data, four lines in the order west, east, south, north.
#include "platform/result.h"

#include <QString>

namespace miratos::store {

struct NewsExtent {
    double west = 0;  // smallest longitude
    double east = 0;  // largest longitude
    double south = 0; // smallest latitude
    double north = 0; // largest latitude

    bool operator==(const NewsExtent&) const = default;
};

// Fails when the file is missing, has other than four lines, or a line is not a number.
Result<NewsExtent> readNewsFile(const QString& path);
Status writeNewsFile(const QString& path, const NewsExtent& extent);

} // namespace miratos::store
