#pragma once
// The 国盗合戦 board: a 1600 × 1400 picture of Japan's prefecture outlines in black on white,
// drawn from the installation's MapData with a projection fitted so that every square's seed
// point lies well inside its own prefecture (the flood fill from it paints that prefecture only).
#include "platform/result.h"

#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QVector>
#include <array>

namespace miratos::games {

// The outline rings of each square's prefecture in geographic coordinates (x = longitude,
// y = latitude); element n - 1 for square n.
struct BoardOutlines {
    std::array<QVector<QPolygonF>, 47> rings;
};

// Reads PrefLine.dat and Line.dat of all 47 prefectures under mapDataFolder. The error names the
// prefectures whose outline is missing or unreadable.
Result<BoardOutlines> loadBoardOutlines(const QString& mapDataFolder);

// Longitude/latitude to board pixels: an affine map around (137°E, 35°N). 沖縄県 borders no other
// prefecture and its main island is only a few pixels wide on the board, so it may be shifted a
// little on its own to put its seed in the island's widest part.
struct BoardProjection {
    double cx = 0, cy = 0; // pixel of 137°E, 35°N
    double a = 0, b = 0;   // x = cx + a·(lon − 137) + b·(lat − 35)
    double d = 0, e = 0;   // y = cy + d·(lon − 137) + e·(lat − 35)
    QPointF okinawaShift;  // added to the pixels of square 1
    // The pixel of a point of square n's prefecture.
    QPointF toPixel(QPointF lonLat, int square) const;
};

// How far (pixels) the seed of square n lies inside its prefecture; negative when outside.
double seedMargin(const BoardOutlines& outlines, const BoardProjection& projection, int square);

// The projection that keeps every seed as far inside its prefecture as it can.
BoardProjection fitBoardProjection(const BoardOutlines& outlines);

// The outlines drawn in black (1 pixel, no anti-aliasing) on a white 1600 × 1400 picture.
QImage drawBoard(const BoardOutlines& outlines, const BoardProjection& projection);

// Squares whose flood fill on the board reaches another square's seed or does not start (seed on
// a border); empty when the board is playable.
QVector<int> badSquares(const QImage& board);

// Everything above: the board of the map data under mapDataFolder, or a message saying what is
// missing or why the map data cannot make a board.
Result<QImage> generateBoard(const QString& mapDataFolder);

} // namespace miratos::games
