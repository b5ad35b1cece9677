#include "games/fighter_game.h"

#include "platform/seams.h"

#include <algorithm>

namespace miratos::games {

const QStringList& FighterGame::enemyWords()
{
    static const QStringList words = {
        QStringLiteral("データ"), QStringLiteral("ＧＩＳ"), QStringLiteral("偏差値"), QStringLiteral("住民投票"),
        QStringLiteral("合併協議会"), QStringLiteral("マッピング"), QStringLiteral("店舗出展計画"),
        QStringLiteral("ハフモデル"), QStringLiteral("顧客管理"), QStringLiteral("テリトリー分析"),
        QStringLiteral("国土庁"), QStringLiteral("国土地理院"), QStringLiteral("統計局"),
        QStringLiteral("平面直角座標 "), QStringLiteral("マーケティング"), QStringLiteral("白地図"),
        QStringLiteral("デジタル地図"),
    };
    return words;
}

FighterGame::FighterGame() = default;

void FighterGame::keyPressed(Key key)
{
    if (m_finalMove)
        return;
    switch (key) {
    case Key::Keypad1:
    case Key::Keypad2:
    case Key::Keypad3: {
        static const std::array<QString, 3> captions = {
            QStringLiteral("都道府拳！！"), QStringLiteral("市町村合併！！"), QStringLiteral("国勢調査！！")};
        m_pose = Pose::Attacking;
        m_running[Main] = true;
        m_projectileLeft = kStartLeft;
        m_projectileVisible = true;
        m_technique = captions[static_cast<size_t>(key)];
        break;
    }
    case Key::Keypad5:
        m_finalMove = true;
        m_pose = Pose::FinalMove;
        m_running[Main] = true;
        m_technique = QStringLiteral("キェーーーーッ！！");
        break;
    case Key::Other:
        break;
    }
}

void FighterGame::mainTick()
{
    if (!m_finalMove)
        m_projectileLeft += kStep;
    else
        m_fighterLeft += kStep;
    const int left = m_finalMove ? m_fighterLeft : m_projectileLeft;
    if (left <= kThroughLeft)
        return;
    m_blinkCount = 0;
    if (!m_enemyWord[0].isEmpty()) {
        m_running[Blink] = true;
    } else if (!m_finalMove) {
        m_pose = Pose::Standing;
        m_projectileVisible = false;
    } else {
        m_pose = Pose::AfterFinal;
        m_technique = QStringLiteral("ふぅ～～～～･･･");
        // A technique still in the air when the final move started must not hang there.
        m_projectileVisible = false;
    }
    m_running[Main] = false;
    if (!m_finalMove)
        m_technique.clear();
    else
        m_running[Enemy] = false;
}

void FighterGame::blinkTick()
{
    ++m_blinkCount;
    m_enemyVisible[0] = !m_enemyVisible[0];
    m_enemyVisible[1] = !m_enemyVisible[1];
    if (m_blinkCount < 6)
        return;
    m_running[Blink] = false;
    if (!m_finalMove) {
        m_pose = Pose::Standing;
    } else {
        m_pose = Pose::AfterFinal;
        m_technique = QStringLiteral("ふぅ～～～～･･･");
    }
    m_projectileVisible = false;
    m_enemyWord[0].clear();
    m_enemyWord[1].clear();
}

void FighterGame::enemyTick()
{
    if (!m_enemyWord[0].isEmpty())
        return;
    const QStringList& words = enemyWords();
    for (auto& word : m_enemyWord) {
        const int i = std::clamp(static_cast<int>(platform::randomUnit() * words.size()), 0, static_cast<int>(words.size()) - 1);
        word = words[i];
    }
}

} // namespace miratos::games
