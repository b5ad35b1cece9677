// RirUroravu's rules: the three techniques and their flight to 504, the hit animation, enemy
// spawning, and the final move that ends play.
#include "games/fighter_game.h"
#include "game_fixture.h"

#include <gtest/gtest.h>

using namespace miratos::games;
using Key = FighterGame::Key;
using Pose = FighterGame::Pose;

namespace {

// Ticks the main timer while it runs; returns the number of ticks.
int flyToTheEnd(FighterGame& game)
{
    int ticks = 0;
    while (game.running(FighterGame::Main) && ticks < 1000) {
        game.mainTick();
        ++ticks;
    }
    return ticks;
}

void spawnEnemies(FighterGame& game, int word0, int word1)
{
    gametest::ScriptedRandom random;
    random.pushIndex(word0, 17);
    random.pushIndex(word1, 17);
    game.enemyTick();
}

} // namespace

TEST(Fighter, EachTechniqueFliesPast504AndReturnsToStandingOnAnEmptyField)
{
    const struct {
        Key key;
        const char* caption;
    } cases[] = {{Key::Keypad1, "都道府拳！！"}, {Key::Keypad2, "市町村合併！！"}, {Key::Keypad3, "国勢調査！！"}};
    for (const auto& c : cases) {
        FighterGame game;
        EXPECT_FALSE(game.projectileVisible());
        game.keyPressed(c.key);
        EXPECT_EQ(game.technique(), QString::fromUtf8(c.caption));
        EXPECT_EQ(game.pose(), Pose::Attacking);
        EXPECT_TRUE(game.projectileVisible());
        EXPECT_EQ(game.projectileLeft(), 72);
        EXPECT_TRUE(game.running(FighterGame::Main));
        // 72 + 43·10 = 502 is not yet through; 512 is.
        for (int i = 0; i < 43; ++i)
            game.mainTick();
        EXPECT_EQ(game.projectileLeft(), 502);
        EXPECT_TRUE(game.running(FighterGame::Main));
        game.mainTick();
        EXPECT_EQ(game.projectileLeft(), 512);
        EXPECT_FALSE(game.running(FighterGame::Main));
        EXPECT_FALSE(game.running(FighterGame::Blink));
        EXPECT_FALSE(game.projectileVisible());
        EXPECT_EQ(game.pose(), Pose::Standing);
        EXPECT_TRUE(game.technique().isEmpty());
        EXPECT_TRUE(game.running(FighterGame::Enemy));
    }
}

TEST(Fighter, OtherKeysDoNothingAndANewPressRestartsTheFlight)
{
    FighterGame game;
    game.keyPressed(Key::Other);
    EXPECT_FALSE(game.running(FighterGame::Main));
    EXPECT_TRUE(game.technique().isEmpty());

    game.keyPressed(Key::Keypad1);
    for (int i = 0; i < 20; ++i)
        game.mainTick();
    EXPECT_EQ(game.projectileLeft(), 272);
    game.keyPressed(Key::Keypad3);
    EXPECT_EQ(game.projectileLeft(), 72);
    EXPECT_EQ(game.technique(), QStringLiteral("国勢調査！！"));
    EXPECT_EQ(flyToTheEnd(game), 44);
}

TEST(Fighter, EnemiesAppearOnlyOnAnEmptyFieldAndMayCarryTheSameWord)
{
    FighterGame game;
    ASSERT_EQ(FighterGame::enemyWords().size(), 17);
    EXPECT_EQ(FighterGame::enemyWords()[13], QStringLiteral("平面直角座標 "));
    EXPECT_EQ(FighterGame::enemyWords()[16], QStringLiteral("デジタル地図"));

    spawnEnemies(game, 0, 16);
    EXPECT_EQ(game.enemyWord(0), QStringLiteral("データ"));
    EXPECT_EQ(game.enemyWord(1), QStringLiteral("デジタル地図"));
    // While enemy 0 stands, no new words are drawn.
    spawnEnemies(game, 5, 5);
    EXPECT_EQ(game.enemyWord(0), QStringLiteral("データ"));

    FighterGame twins;
    spawnEnemies(twins, 15, 15);
    EXPECT_EQ(twins.enemyWord(0), twins.enemyWord(1));
    // The top of the random range still names the last word.
    FighterGame edge;
    {
        gametest::ScriptedRandom random(0.9999999);
        edge.enemyTick();
    }
    EXPECT_EQ(edge.enemyWord(0), QStringLiteral("デジタル地図"));
}

TEST(Fighter, AHitBlinksSixTimesThenTheEnemiesAreGoneUntilTheNextSpawn)
{
    FighterGame game;
    spawnEnemies(game, 1, 2);
    game.keyPressed(Key::Keypad2);
    EXPECT_EQ(flyToTheEnd(game), 44);
    EXPECT_TRUE(game.running(FighterGame::Blink));
    EXPECT_EQ(game.pose(), Pose::Attacking); // still attacking while they blink
    EXPECT_TRUE(game.technique().isEmpty());
    for (int tick = 1; tick <= 6; ++tick) {
        EXPECT_TRUE(game.running(FighterGame::Blink));
        game.blinkTick();
        EXPECT_EQ(game.enemyVisible(0), tick % 2 == 0) << tick;
        EXPECT_EQ(game.enemyVisible(1), tick % 2 == 0) << tick;
        EXPECT_EQ(game.enemyWord(0).isEmpty(), tick == 6) << tick;
    }
    EXPECT_FALSE(game.running(FighterGame::Blink));
    EXPECT_TRUE(game.enemyWord(1).isEmpty());
    EXPECT_EQ(game.pose(), Pose::Standing);
    EXPECT_FALSE(game.projectileVisible());
    spawnEnemies(game, 3, 4);
    EXPECT_EQ(game.enemyWord(0), QStringLiteral("住民投票"));
    EXPECT_EQ(game.enemyWord(1), QStringLiteral("合併協議会"));
}

TEST(Fighter, TheFinalMoveFliesTheFighterAndEndsPlay)
{
    for (const bool enemies : {false, true}) {
        SCOPED_TRACE(enemies ? "with enemies" : "empty field");
        FighterGame game;
        if (enemies)
            spawnEnemies(game, 6, 7);
        // A technique already in the air when the final move starts.
        game.keyPressed(Key::Keypad1);
        game.mainTick();
        game.keyPressed(Key::Keypad5);
        EXPECT_EQ(game.pose(), Pose::FinalMove);
        EXPECT_EQ(game.technique(), QStringLiteral("キェーーーーッ！！"));
        EXPECT_TRUE(game.finalMoveUsed());
        // Keys are ignored from now on.
        game.keyPressed(Key::Keypad2);
        EXPECT_EQ(game.technique(), QStringLiteral("キェーーーーッ！！"));
        EXPECT_EQ(game.pose(), Pose::FinalMove);
        // The fighter, not the projectile, moves: from 0 it passes 504 at 510.
        EXPECT_EQ(flyToTheEnd(game), 51);
        EXPECT_EQ(game.fighterLeft(), 510);
        EXPECT_EQ(game.projectileLeft(), 82);
        EXPECT_FALSE(game.running(FighterGame::Enemy));
        EXPECT_EQ(game.running(FighterGame::Blink), enemies);
        while (game.running(FighterGame::Blink))
            game.blinkTick();
        EXPECT_EQ(game.pose(), Pose::AfterFinal);
        EXPECT_EQ(game.technique(), QStringLiteral("ふぅ～～～～･･･"));
        EXPECT_FALSE(game.projectileVisible());
        game.keyPressed(Key::Keypad1);
        EXPECT_FALSE(game.running(FighterGame::Main));
        EXPECT_EQ(game.pose(), Pose::AfterFinal);
    }
}
