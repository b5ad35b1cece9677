#pragma once
// The rules of RirUroravu without a window: the fighter fires one of three techniques (keypad 1,
// 2, 3) or the final move (keypad 5); the projectile, or with the final move the fighter itself,
// flies right 10 units per tick of the main timer until it passes 504; enemies present there
// blink six times and vanish. The window runs three timers as running() says and shows the state.
#include <QString>
#include <QStringList>
#include <array>

namespace miratos::games {

class FighterGame {
public:
    enum class Pose { Standing = 1, Attacking = 2, FinalMove = 3, AfterFinal = 4 };
    enum class Key { Keypad1, Keypad2, Keypad3, Keypad5, Other };
    enum Timer { Main = 0, Blink = 1, Enemy = 2 };

    static constexpr int kStartLeft = 72;   // where the projectile starts
    static constexpr int kThroughLeft = 504; // a left edge beyond this has reached the enemies
    static constexpr int kStep = 10;
    static constexpr int kFighterLeft = 0;

    // The 17 enemy words in order.
    static const QStringList& enemyWords();

    FighterGame();

    // A key press; ignored once the final move has been used.
    void keyPressed(Key key);
    void mainTick();
    void blinkTick();
    void enemyTick();

    bool running(Timer timer) const { return m_running[timer]; }
    Pose pose() const { return m_pose; }
    int fighterLeft() const { return m_fighterLeft; }
    int projectileLeft() const { return m_projectileLeft; }
    bool projectileVisible() const { return m_projectileVisible; }
    const QString& enemyWord(int i) const { return m_enemyWord[static_cast<size_t>(i)]; }
    bool enemyVisible(int i) const { return m_enemyVisible[static_cast<size_t>(i)]; }
    const QString& technique() const { return m_technique; }
    bool finalMoveUsed() const { return m_finalMove; }
    int blinkCount() const { return m_blinkCount; }

private:
    void endFlight();

    std::array<bool, 3> m_running{false, false, true};
    Pose m_pose = Pose::Standing;
    int m_fighterLeft = kFighterLeft;
    int m_projectileLeft = kStartLeft;
    bool m_projectileVisible = false;
    std::array<QString, 2> m_enemyWord;
    std::array<bool, 2> m_enemyVisible{true, true};
    QString m_technique;
    bool m_finalMove = false;
    int m_blinkCount = 0;
};

} // namespace miratos::games
