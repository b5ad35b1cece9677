#pragma once
// "２点間距離": the great-circle distance between the two points of the corner boxes, as the
// button shows it ("91.1km", "500m", or "２点間が近すぎます").
#include <QString>
#include <optional>

namespace miratos::mapview {

inline const QString kDistanceCaption = QStringLiteral("２点間距離");

// The caption for the points (x1, y1) and (x2, y2) given as the texts of the boxes (degrees);
// nothing when a box does not hold a number.
std::optional<QString> distanceText(const QString& x1, const QString& y1, const QString& x2, const QString& y2);

} // namespace miratos::mapview
