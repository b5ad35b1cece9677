#pragma once
// The RirUroravu window "razorero": the fighter on the left, two enemies on the right, the
// techniques on the numeric keypad. The rules live in FighterGame; this window runs its timers,
// turns key presses into game keys and shows the state.
#include "games/fighter_game.h"

#include <QPixmap>
#include <QWidget>
#include <array>

class QLabel;
class QTimer;

namespace miratos::games {

class frmFighter : public QWidget {
public:
    explicit frmFighter(QWidget* parent = nullptr);

    // The timer handlers (the window's timers call them; tests call them directly).
    void tmrMain_Timer();
    void tmrBlink_Timer();
    void tmrEnemy_Timer();

    const FighterGame& game() const { return m_game; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();

    FighterGame m_game;
    std::array<QPixmap, 4> m_poses;
    QLabel* m_imgMan = nullptr;
    QLabel* m_imgFire = nullptr;
    std::array<QLabel*, 2> m_lblTeki{};
    QLabel* m_lblWaza = nullptr;
    std::array<QTimer*, 3> m_timers{};
};

} // namespace miratos::games
