#include "mapview/viewport.h"

#include <gtest/gtest.h>

using namespace miratos::mapview;

TEST(Viewport, InitialViewOfWideDataKeepsWestAndNorthMarginsAndGrowsSouth)
{
    Viewport vp;
    vp.setInitialView({139.0f, 35.0f, 141.0f, 35.5f}); // about 182 km wide, 56 km high
    const double k = kmPerDegreeLon(35.25);
    EXPECT_FLOAT_EQ(vp.view.X1, 138.98f);
    EXPECT_FLOAT_EQ(vp.view.X2, 141.02f);
    EXPECT_FLOAT_EQ(vp.view.Y1, static_cast<float>(35.5 + k * 0.02 / 111.12));
    EXPECT_FLOAT_EQ(vp.view.Y2, static_cast<float>(35.5 - (2 * k + k * 0.02) / 111.12));
}

TEST(Viewport, InitialViewOfTallDataGrowsEast)
{
    Viewport vp;
    vp.setInitialView({139.0f, 35.0f, 139.2f, 36.0f});
    const double k = kmPerDegreeLon(35.5);
    EXPECT_FLOAT_EQ(vp.view.Y1, 36.02f);
    EXPECT_FLOAT_EQ(vp.view.Y2, 34.98f);
    EXPECT_FLOAT_EQ(vp.view.X1, static_cast<float>(139.0 - 2.2224 / k));
    EXPECT_FLOAT_EQ(vp.view.X2, static_cast<float>(139.0 + (111.12 + 2.2224) / k));
}

TEST(Viewport, SquaringMakesKilometresEqualAndRemembersTypedEdge)
{
    Viewport vp;
    ASSERT_TRUE(vp.pushTyped(QStringLiteral("139"), QStringLiteral("36"), QStringLiteral("140"), QStringLiteral("35.9")));
    vp.makeSquare(140.0f, 35.9f);
    // Width measured at the middle latitude of the typed rectangle, as the squaring does.
    EXPECT_FLOAT_EQ(vp.view.Y2, static_cast<float>(36 - kmPerDegreeLon(35.95) / kKmPerDegreeLat));
    EXPECT_FLOAT_EQ(vp.typedY2, 35.9f); // wide: the bottom was moved
    EXPECT_FLOAT_EQ(vp.typedX2, 0.0f);
    EXPECT_TRUE(vp.zoomed);
}

TEST(Viewport, NonNumericRectangleChangesNothing)
{
    Viewport vp;
    vp.view = {1, 2, 3, 1};
    EXPECT_FALSE(vp.pushTyped(QStringLiteral("139"), QStringLiteral("abc"), QStringLiteral("140"), QStringLiteral("35")));
    EXPECT_EQ(vp.view, (ViewRect{1, 2, 3, 1}));
    EXPECT_EQ(vp.zoomCount, 0);
}

TEST(Viewport, StepBackReturnsToTheFirstRectangleAndStops)
{
    Viewport vp;
    ASSERT_TRUE(vp.pushTyped(QStringLiteral("139"), QStringLiteral("36"), QStringLiteral("140"), QStringLiteral("35")));
    ASSERT_TRUE(vp.pushTyped(QStringLiteral("139.5"), QStringLiteral("35.8"), QStringLiteral("139.7"), QStringLiteral("35.6")));
    EXPECT_TRUE(vp.canStepBack());
    EXPECT_TRUE(vp.stepBack());
    EXPECT_EQ(vp.view, (ViewRect{139, 36, 140, 35}));
    EXPECT_FALSE(vp.canStepBack());
    EXPECT_FALSE(vp.stepBack());
}

TEST(Viewport, WidenAddsATwentiethOnEverySide)
{
    Viewport vp;
    vp.view = {139, 36, 140, 35};
    vp.widen();
    EXPECT_EQ(vp.view, (ViewRect{138.95f, 36.05f, 140.05f, 34.95f}));
}

TEST(ScaleBar, RoundsUpToRoundLengths)
{
    struct Case {
        float kmPer100Px;
        const char* text;
        double barKm;
    };
    const Case cases[] = {{12.3f, "15km", 15}, {10.7f, "10km", 10}, {2.0f, "3km", 3}, {0.25f, "300m", 0.3}, {40, "40km", 40}};
    for (const auto& c : cases) {
        QString text;
        EXPECT_DOUBLE_EQ(roundScaleLength(c.kmPer100Px, text), c.barKm) << c.kmPer100Px;
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.kmPer100Px;
    }
}

TEST(ScaleBar, LengthInPixelsOfAView)
{
    const float degrees = static_cast<float>(12.3 / (60 * 1.852) * 6); // 100 px = 12.3 km on 600 px
    const ScaleBar bar = scaleBarFor({139, 36, 139 + degrees, 36 - degrees}, 600);
    EXPECT_EQ(bar.text, QStringLiteral("15km"));
    EXPECT_NEAR(bar.lengthPx, 100 * 15 / 12.3, 0.01);
    EXPECT_TRUE(bar.visible);
}

TEST(ScaleBar, HiddenWhenLongerThan400Pixels)
{
    // 100 px = 4.1 km rounds up to 5 km: 122 px. At 100 px = 1.26 km the 2 km bar is 159 px;
    // at 100 px = 0.01 km the 100 m bar is 1000 px.
    const float degrees = static_cast<float>(0.01 / (60 * 1.852) * 6);
    EXPECT_FALSE(scaleBarFor({139, 36, 139 + degrees, 36 - degrees}, 600).visible);
}

TEST(Viewport, WheelAndDragMovesBecomeHistoryEntriesAndABurstIsOne)
{
    Viewport v;
    const ViewRect initial{139, 36, 140, 35};
    const ViewRect a{139.2f, 35.8f, 139.8f, 35.2f};
    const ViewRect b{139.3f, 35.7f, 139.7f, 35.3f};
    const ViewRect c{139.4f, 35.7f, 139.8f, 35.3f};
    v.view = initial;
    v.pushView(a, false); // the first move keeps the view it left
    v.pushView(b, true);  // the same wheel burst
    v.pushView(c, false); // a later drag
    EXPECT_EQ(v.view, c);
    EXPECT_EQ(v.zoomCount, 3);
    ASSERT_TRUE(v.stepBack());
    EXPECT_EQ(v.view, b);
    ASSERT_TRUE(v.stepBack());
    EXPECT_EQ(v.view, initial);
    EXPECT_TRUE(v.currentEntryMoved()); // shown as it was, not squared again
    EXPECT_FALSE(v.canStepBack());

    // After a typed rectangle the moves go on from it; one step back returns to it.
    Viewport typed;
    ASSERT_TRUE(typed.pushTyped(QStringLiteral("139.2"), QStringLiteral("35.8"), QStringLiteral("139.8"), QStringLiteral("35.2")));
    typed.pushView(b, true);
    ASSERT_TRUE(typed.stepBack());
    EXPECT_EQ(typed.view, a);
    EXPECT_FALSE(typed.currentEntryMoved());
}
