#pragma once
// Shared by the game tests: a hand-made board and a random seam that answers from a list.
#include "games/board_squares.h"
#include "platform/seams.h"

#include <QImage>
#include <QPainter>
#include <deque>

namespace miratos::games::gametest {

// A white board with a black box of the given half size around every seed: each square is its
// own little region.
inline QImage boxedBoard(int halfSize = 2)
{
    QImage board(kBoardWidth, kBoardHeight, QImage::Format_RGB32);
    board.fill(Qt::white);
    QPainter p(&board);
    p.setPen(Qt::black);
    for (const Square& s : boardSquares())
        p.drawRect(s.seed.x() - halfSize, s.seed.y() - halfSize, 2 * halfSize, 2 * halfSize);
    return board;
}

// Random numbers from a queue, then a fixed value; restores the default generator when done.
class ScriptedRandom {
public:
    explicit ScriptedRandom(double afterwards = 0.0) : m_afterwards(afterwards)
    {
        platform::setRandomSource([this] {
            if (m_values.empty())
                return m_afterwards;
            const double v = m_values.front();
            m_values.pop_front();
            return v;
        });
    }
    ~ScriptedRandom() { platform::setRandomSource({}); }
    ScriptedRandom(const ScriptedRandom&) = delete;
    ScriptedRandom& operator=(const ScriptedRandom&) = delete;

    void push(double v) { m_values.push_back(v); }
    // The value that draw(count) turns into index.
    void pushIndex(int index, int count) { push((index + 0.5) / count); }
    void setAfterwards(double v) { m_afterwards = v; }

private:
    std::deque<double> m_values;
    double m_afterwards;
};

} // namespace miratos::games::gametest
