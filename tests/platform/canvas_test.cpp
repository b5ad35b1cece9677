#include "platform/canvas.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using miratos::platform::Canvas;

namespace {
constexpr int kWhite = 16777215;
constexpr int kRed = 255;
} // namespace

TEST(Canvas, UserScaleMapsGeographicCoordinatesToRoundedPixels)
{
    Canvas c(600, 600);
    c.setScale(139, 36, 140, 35);
    EXPECT_EQ(c.toPixel(139, 36), QPoint(0, 0));
    EXPECT_EQ(c.toPixel(139.5, 35.5), QPoint(300, 300));
    EXPECT_EQ(c.toPixel(139.0009, 35.9991), QPoint(1, 1)); // 0.54 px rounds up
    EXPECT_DOUBLE_EQ(c.toUserY(600), 35);
    EXPECT_DOUBLE_EQ(c.heightToPixels(-0.1), 60);
}

TEST(Canvas, PolygonFillsUnderTheWindingRule)
{
    // A ring that runs twice round the same square: even-odd would leave it empty, winding fills it.
    Canvas c(40, 40);
    c.setFillStyle(Canvas::Solid);
    c.setFillColor(kRed);
    const QPoint twice[] = {{5, 5}, {35, 5}, {35, 35}, {5, 35}, {5, 5}, {35, 5}, {35, 35}, {5, 35}};
    c.polygon(twice, 8);
    EXPECT_EQ(c.pixel({20, 20}), kRed);
    EXPECT_EQ(c.pixel({5, 20}), 0); // outlined with the pen
    EXPECT_EQ(c.pixel({2, 2}), kWhite);
}

TEST(Canvas, FillStylesTransparentAndHatched)
{
    Canvas c(40, 40);
    const QPoint square[] = {{0, 0}, {39, 0}, {39, 39}, {0, 39}};
    c.setFillColor(kRed);
    c.setFillStyle(Canvas::Transparent);
    c.polygon(square, 4);
    EXPECT_EQ(c.pixel({20, 20}), kWhite);
    c.setFillStyle(Canvas::Horizontal);
    c.polygon(square, 4);
    int red = 0;
    int white = 0;
    for (int y = 1; y < 39; ++y)
        (c.pixel({20, y}) == kRed ? red : white) += 1;
    EXPECT_GT(red, 0);
    EXPECT_GT(white, red); // lines with background between them
}

TEST(Canvas, BorderFloodFillDoesNotLeakThroughADiagonalStep)
{
    // A closed diagonal line: pixels touch only at corners. A four-connected fill stays on one side.
    Canvas c(20, 20);
    const QPoint diagonal[] = {{0, 0}, {19, 19}};
    c.polyline(diagonal, 2);
    ASSERT_TRUE(c.floodFillBorder({15, 2}, kRed, 0));
    EXPECT_EQ(c.pixel({18, 1}), kRed);
    EXPECT_EQ(c.pixel({1, 18}), kWhite);
    EXPECT_FALSE(c.floodFillBorder({5, 5}, kRed, 0)); // on the border itself
    EXPECT_FALSE(c.floodFillBorder({25, 5}, kRed, 0)); // outside
}

TEST(Canvas, PrintsTextAndMovesThePenToTheNextLine)
{
    Canvas c(200, 100);
    c.setScale(0, 0, 200, 100); // pixel units, y down
    c.setCurrentPos(10, 10);
    const double height = c.textHeight(QStringLiteral("東京都"));
    EXPECT_GT(c.textWidth(QStringLiteral("東京都")), c.textWidth(QStringLiteral("東京")));
    c.print(QStringLiteral("東京都"));
    EXPECT_DOUBLE_EQ(c.currentY(), 10 + height);
    EXPECT_DOUBLE_EQ(c.currentX(), 0);
    bool inked = false;
    for (int x = 10; x < 60 && !inked; ++x)
        for (int y = 10; y < 10 + height && !inked; ++y)
            inked = c.pixel({x, y}) != kWhite;
    EXPECT_TRUE(inked);
}

TEST(Canvas, SavesA24BitWindowsBitmap)
{
    QTemporaryDir dir;
    Canvas c(3, 2);
    c.setFillStyle(Canvas::Solid);
    c.box(0, 0, 0, 0, kRed, true);
    const QString path = dir.filePath(QStringLiteral("map.bmp"));
    ASSERT_TRUE(c.saveBmp(path).ok());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 54);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    auto u16 = [&](int at) { return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8; };
    EXPECT_EQ(u16(28), 24); // bits per pixel
    EXPECT_EQ(u16(18), 3);  // width
    const QImage back(path);
    EXPECT_EQ(back.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(back.pixelColor(2, 1), QColor(255, 255, 255));

    Canvas other(3, 2);
    other.copyFrom(c);
    EXPECT_EQ(other.pixel({0, 0}), kRed);
}

TEST(Canvas, HiDpiCanvasKeepsLogicalCoordinatesAtTwiceThePixels)
{
    Canvas c(40, 30);
    c.setDevicePixelRatio(2);
    EXPECT_EQ(c.width(), 40);
    EXPECT_EQ(c.height(), 30);
    EXPECT_EQ(c.image().size(), QSize(80, 60));
    c.setScale(0, 0, 40, 30);
    c.setFillStyle(Canvas::Solid);
    c.setFillColor(kRed);
    c.setForeColor(kRed);
    const QPoint square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    c.polygon(square, 4);
    // Reads and fills take logical pixels; the square covers twice the image pixels.
    EXPECT_EQ(c.pixel({15, 15}), kRed);
    EXPECT_EQ(c.pixel({25, 15}), kWhite);
    EXPECT_EQ(QColor(c.image().pixel(39, 39)).red(), 255);
    EXPECT_EQ(QColor(c.image().pixel(45, 30)).green(), 255);
    EXPECT_TRUE(c.floodFillBorder({30, 25}, 0xFF0000, kRed));
    EXPECT_EQ(c.pixel({35, 5}), 0xFF0000);
    EXPECT_EQ(c.pixel({15, 15}), kRed);
    EXPECT_DOUBLE_EQ(c.toPixelX(40), 40);
}
