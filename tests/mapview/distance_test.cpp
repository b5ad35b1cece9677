#include "mapview/distance.h"

#include <gtest/gtest.h>

using miratos::mapview::distanceText;

TEST(Distance, KnownPairsAndTheirUnits)
{
    const struct {
        const char *x1, *y1, *x2, *y2;
        const char* shown;
    } cases[] = {
        {"139", "35", "140", "35", "91.1km"},
        {"139.7671", "35.6812", "139.6222", "35.4658", "27.3km"}, // Tokyo and Yokohama stations (haversine: 27.30 km)
        {"139", "35", "139", "35.0045", "500m"},                  // 0.0045° of latitude
        {"139", "35", "139", "35", "２点間が近すぎます"},
        {" 139 ", "35", "1.4e2", "35", "91.1km"}, // blanks and exponents are numbers too
    };
    for (const auto& c : cases) {
        const auto text = distanceText(QString::fromUtf8(c.x1), QString::fromUtf8(c.y1), QString::fromUtf8(c.x2), QString::fromUtf8(c.y2));
        ASSERT_TRUE(text.has_value()) << c.shown;
        EXPECT_EQ(text->toStdString(), c.shown);
    }
    EXPECT_FALSE(distanceText(QStringLiteral("139"), QString(), QStringLiteral("140"), QStringLiteral("35")));
    EXPECT_FALSE(distanceText(QStringLiteral("東経"), QStringLiteral("35"), QStringLiteral("140"), QStringLiteral("35")));
}
