#include "mapview/view_navigation.h"
#include "platform/canvas.h"

#include <gtest/gtest.h>

using namespace miratos::mapview;

namespace {
const ViewRect kSquare{139.0f, 36.0f, 140.0f, 35.0f};

double centreX(const ViewRect& v) { return (static_cast<double>(v.X1) + v.X2) / 2; }
double centreY(const ViewRect& v) { return (static_cast<double>(v.Y1) + v.Y2) / 2; }
} // namespace

TEST(ViewNavigation, ShownRectKeepsCentreAndDegreesPerPixelOnAnyCanvas)
{
    struct Case { int w, h; };
    for (const Case c : {Case{600, 600}, Case{1200, 600}, Case{600, 900}, Case{1100, 1137}}) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        const ViewRect shown = shownRect(kSquare, c.w, c.h);
        EXPECT_NEAR(centreX(shown), 139.5, 1e-5);
        EXPECT_NEAR(centreY(shown), 35.5, 1e-5);
        // The view is kept whole; the pixel is as long in degrees both ways, as on the square canvas.
        EXPECT_LE(shown.X1, kSquare.X1);
        EXPECT_GE(shown.Y1, kSquare.Y1);
        EXPECT_NEAR((shown.X2 - shown.X1) / c.w, (shown.Y1 - shown.Y2) / c.h, 1e-7);
        EXPECT_NEAR(std::min(shown.X2 - shown.X1, shown.Y1 - shown.Y2), 1.0, 1e-5);
    }
    EXPECT_EQ(shownRect(kSquare, 600, 600), kSquare);
}

TEST(ViewNavigation, ZoomAboutAPointKeepsItUnderTheSamePixel)
{
    miratos::platform::Canvas canvas;
    canvas.resize(1000, 700);
    const ViewRect before = shownRect(kSquare, 1000, 700);
    canvas.setScale(before.X1, before.Y1, before.X2, before.Y2);
    const QPoint cursor(731, 122);
    const double lon = canvas.toUserX(cursor.x()), lat = canvas.toUserY(cursor.y());
    const double factor = zoomStepFactor(1000, 700);
    EXPECT_NEAR(factor, 900.0 / 700.0, 1e-12);
    const ViewRect in = zoomAbout(kSquare, lon, lat, factor);
    const ViewRect after = shownRect(in, 1000, 700);
    canvas.setScale(after.X1, after.Y1, after.X2, after.Y2);
    EXPECT_NEAR(canvas.toPixelX(lon), cursor.x(), 0.01);
    EXPECT_NEAR(canvas.toPixelY(lat), cursor.y(), 0.01);
    EXPECT_NEAR((in.X2 - in.X1) * factor, 1.0, 1e-5);
    // Zooming out by the same step returns to the first view.
    const ViewRect back = zoomAbout(in, lon, lat, 1 / factor);
    EXPECT_NEAR(back.X1, kSquare.X1, 1e-4);
    EXPECT_NEAR(back.Y2, kSquare.Y2, 1e-4);
}

TEST(ViewNavigation, PanMovesTheViewByTheDraggedDistance)
{
    // 300 pixels of a 600 pixel square canvas are half the view: right and down by half.
    const ViewRect moved = panByPixels(kSquare, 600, 600, 300, 150);
    EXPECT_FLOAT_EQ(moved.X1, 139.5f);
    EXPECT_FLOAT_EQ(moved.X2, 140.5f);
    EXPECT_FLOAT_EQ(moved.Y1, 35.75f);
    EXPECT_FLOAT_EQ(moved.Y2, 34.75f);
    // On a wide canvas a pixel is the same length both ways: 1200 x 600 shows 2 x 1 degrees.
    const ViewRect wide = panByPixels(kSquare, 1200, 600, 120, 60);
    EXPECT_FLOAT_EQ(wide.X1, 139.2f);
    EXPECT_FLOAT_EQ(wide.Y1, 35.9f);
}

TEST(ViewNavigation, ZoomBarStepsKeepTheCanvasProportions)
{
    EXPECT_EQ(enlargedCanvasSize(600, 600, 0), QSize(600, 600));
    EXPECT_EQ(enlargedCanvasSize(600, 600, 2), QSize(1000, 1000)); // 100 px per side per step
    EXPECT_EQ(enlargedCanvasSize(1200, 600, 1), QSize(1600, 800));
    EXPECT_EQ(enlargedCanvasSize(600, 900, 3), QSize(1200, 1800));
}
