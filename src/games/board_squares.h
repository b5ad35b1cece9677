#pragma once
// The 47 squares of the 国盗合戦 board: the track from 沖縄県 (square 1) to 北海道 (square 47), each
// with the pixel of the board picture where its fill starts and its colour group (1..9).
#include <QPoint>
#include <QString>
#include <array>

namespace miratos::games {

constexpr int kSquareCount = 47;
constexpr int kBoardWidth = 1600;
constexpr int kBoardHeight = 1400;

struct Square {
    const char* name; // UTF-8
    QPoint seed;
    int group;
    int prefCode; // JIS code, for finding the prefecture's map data
};

// Square n (1..47) is element n - 1.
const std::array<Square, kSquareCount>& boardSquares();
inline const Square& square(int number) { return boardSquares()[static_cast<size_t>(number - 1)]; }
inline QString squareName(int number) { return QString::fromUtf8(square(number).name); }

} // namespace miratos::games
