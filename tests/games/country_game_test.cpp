// 国盗合戦's rules on a hand-made board: reel strips and their shuffles, the reels and the order
// of the buttons, moves forward, double and backward, the two risky squares, defeat, victory and
// the closing flashes with their question.
#include "games/country_game.h"
#include "game_fixture.h"

#include "platform/prompts.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace miratos;
using namespace miratos::games;
using Reel = CountryGame::Reel;
using Button = CountryGame::Button;
using gametest::ScriptedRandom;

namespace {

int colorAt(const CountryGame& game, int squareNumber)
{
    return platform::toColorValue(QColor(game.board().pixel(square(squareNumber).seed)));
}

// Spins and stops both reels so that they come to rest on the given move kind and die value,
// then moves until the turn is over. Returns the number of beeps.
int playTurn(CountryGame& game, int kind, int die)
{
    int beeps = 0;
    game.onBeep = [&] { ++beeps; };
    for (Reel reel : {Reel::Man, Reel::Sai}) {
        const QVector<int>& strip = game.strip(reel);
        const int wanted = reel == Reel::Man ? kind : die + 4;
        const int at = static_cast<int>(std::find(strip.begin(), strip.end(), wanted) - strip.begin());
        // The reel shows the next entry when the first symbol arrives.
        game.setReelIndex(reel, (at + strip.size() - 1) % strip.size());
    }
    game.start();
    game.stopSai();
    game.stopMan();
    for (int i = 0; i < 9; ++i) {
        game.reelTick(Reel::Man);
        game.reelTick(Reel::Sai);
    }
    EXPECT_TRUE(game.reelsAtRest());
    EXPECT_EQ(game.reelView(Reel::Man).lowerSymbol, kind);
    EXPECT_EQ(game.reelView(Reel::Sai).lowerSymbol, die + 4);
    game.runTurn();
    for (int i = 0; i < 200 && game.running(CountryGame::Main); ++i)
        game.mainTick();
    game.onBeep = {};
    return beeps;
}

// Plays forward turns (never landing on 19 or 36) until the position is at least square.
void advanceTo(CountryGame& game, int squareNumber)
{
    while (game.position() < squareNumber) {
        int die = std::min(6, squareNumber - game.position());
        while (game.position() + die == 19 || game.position() + die == 36)
            --die;
        playTurn(game, CountryGame::kForward, die);
    }
    ASSERT_EQ(game.position(), squareNumber);
}

} // namespace

TEST(CountryGameReels, StripsHoldTheirSymbolsAndAreShuffledByTenSwaps)
{
    {
        ScriptedRandom random; // every draw 0: every swap exchanges position 0 with itself
        CountryGame game(gametest::boxedBoard());
        EXPECT_EQ(game.strip(Reel::Man), (QVector<int>{4, 2, 2, 1, 1, 1, 3, 3, 3, 3, 3}));
        EXPECT_EQ(game.strip(Reel::Sai), (QVector<int>{5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10}));
        EXPECT_EQ(game.regionColor(1), 255);
        EXPECT_EQ(game.regionColor(9), 255 + 65536 * 255);
    }
    {
        // Colours first (entries 1..9), then the move-kind reel (0..10), then the die (0..11).
        ScriptedRandom random;
        random.pushIndex(0, 9), random.pushIndex(8, 9);
        for (int i = 0; i < 18; ++i)
            random.push(0.0);
        random.pushIndex(0, 11), random.pushIndex(10, 11);
        for (int i = 0; i < 18; ++i)
            random.push(0.0);
        random.pushIndex(11, 12), random.pushIndex(2, 12);
        CountryGame game(gametest::boxedBoard());
        EXPECT_EQ(game.regionColor(1), 255 + 65536 * 255); // (255, 0, 255) swapped with (255, 0, 0)
        EXPECT_EQ(game.regionColor(9), 255);
        EXPECT_EQ(game.strip(Reel::Man), (QVector<int>{3, 2, 2, 1, 1, 1, 3, 3, 3, 3, 4}));
        EXPECT_EQ(game.strip(Reel::Sai), (QVector<int>{5, 5, 10, 6, 7, 7, 8, 8, 9, 9, 10, 6}));
    }
    // Any shuffle keeps the symbols: one defeat, two doubles, three backs, five forwards.
    CountryGame game(gametest::boxedBoard());
    for (int kind = 1; kind <= 4; ++kind)
        EXPECT_EQ(game.strip(Reel::Man).count(kind), (std::array<int, 4>{3, 2, 5, 1})[kind - 1]);
    for (int face = 5; face <= 10; ++face)
        EXPECT_EQ(game.strip(Reel::Sai).count(face), 2);
}

TEST(CountryGameReels, ReelsSpinUntilStoppedDieFirstAndShowWhatCounts)
{
    ScriptedRandom random(0.3);
    CountryGame game(gametest::boxedBoard());
    int beeps = 0;
    game.onBeep = [&] { ++beeps; };
    EXPECT_TRUE(game.enabled(Button::Start));
    EXPECT_FALSE(game.enabled(Button::StopSai));
    game.stopMan(); // not yet allowed
    EXPECT_FALSE(game.turnPending());

    game.setReelIndex(Reel::Sai, 11);
    game.start();
    EXPECT_FALSE(game.enabled(Button::Start));
    EXPECT_TRUE(game.enabled(Button::StopSai));
    EXPECT_FALSE(game.enabled(Button::StopMan));
    EXPECT_EQ(game.focus(), Button::StopSai);
    EXPECT_TRUE(game.running(CountryGame::SlotMan));
    const auto& sai = game.reelView(Reel::Sai);
    EXPECT_EQ(sai.lowerSymbol, game.strip(Reel::Sai)[11]);
    EXPECT_EQ(sai.upperSymbol, game.strip(Reel::Sai)[0]); // wraps at 12
    EXPECT_EQ(sai.upperTop, -90);

    // Nine ticks bring the upper symbol down; the index follows it and a new one waits above.
    for (int i = 0; i < 8; ++i)
        game.reelTick(Reel::Sai);
    EXPECT_EQ(sai.lowerTop, 80);
    EXPECT_EQ(sai.upperTop, -10);
    game.reelTick(Reel::Sai);
    EXPECT_EQ(game.reelIndex(Reel::Sai), 0);
    EXPECT_EQ(sai.lowerSymbol, game.strip(Reel::Sai)[0]);
    EXPECT_EQ(sai.lowerTop, 0);
    EXPECT_EQ(sai.upperSymbol, game.strip(Reel::Sai)[1]);
    EXPECT_EQ(sai.upperTop, -90);

    game.stopSai();
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(game.enabled(Button::StopSai));
    EXPECT_TRUE(game.enabled(Button::StopMan));
    EXPECT_EQ(game.focus(), Button::StopMan);
    // The stopped reel turns on to the next symbol and rests there.
    for (int i = 0; i < 20; ++i)
        game.reelTick(Reel::Sai);
    EXPECT_FALSE(game.running(CountryGame::SlotSai));
    EXPECT_EQ(game.reelIndex(Reel::Sai), 1);
    EXPECT_EQ(sai.lowerSymbol, game.strip(Reel::Sai)[1]);
    EXPECT_TRUE(game.running(CountryGame::SlotMan));

    game.stopMan();
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(game.turnPending());
    EXPECT_FALSE(game.reelsAtRest());
    for (int i = 0; i < 9; ++i)
        game.reelTick(Reel::Man);
    EXPECT_TRUE(game.reelsAtRest());
    EXPECT_EQ(game.reelView(Reel::Man).lowerSymbol, game.strip(Reel::Man)[game.reelIndex(Reel::Man)]);
}

TEST(CountryGameMoves, ForwardDoubleAndBackwardPaintAndUnpaintSquares)
{
    ScriptedRandom random;
    CountryGame game(gametest::boxedBoard());
    EXPECT_EQ(game.centredSquare(), 1);

    EXPECT_EQ(playTurn(game, CountryGame::kForward, 3), 2 + 3); // two stops, a beep per square
    EXPECT_EQ(game.position(), 3);
    EXPECT_EQ(game.centredSquare(), 3);
    EXPECT_EQ(game.prefLabel(), QStringLiteral("　宮崎県"));
    EXPECT_TRUE(game.enabled(Button::Start));
    EXPECT_EQ(game.focus(), Button::Start);
    EXPECT_EQ(colorAt(game, 1), game.regionColor(1));
    EXPECT_EQ(colorAt(game, 2), game.regionColor(2));
    EXPECT_EQ(colorAt(game, 3), game.regionColor(2));
    EXPECT_EQ(colorAt(game, 4), CountryGame::kWhite);

    playTurn(game, CountryGame::kDoubleForward, 4);
    EXPECT_EQ(game.position(), 11);
    EXPECT_EQ(game.prefLabel(), QStringLiteral("　島根県"));
    EXPECT_EQ(colorAt(game, 11), game.regionColor(3));

    EXPECT_EQ(playTurn(game, CountryGame::kBack, 2), 2); // no beep going back
    EXPECT_EQ(game.position(), 9);
    EXPECT_EQ(game.centredSquare(), 9);
    EXPECT_EQ(colorAt(game, 11), CountryGame::kWhite);
    EXPECT_EQ(colorAt(game, 10), CountryGame::kWhite);
    EXPECT_EQ(colorAt(game, 9), game.regionColor(3));
    EXPECT_FALSE(game.finished());

    // A four-character name fills the label itself.
    playTurn(game, CountryGame::kBack, 6);
    playTurn(game, CountryGame::kBack, 1);
    EXPECT_EQ(game.position(), 2);
    EXPECT_EQ(game.prefLabel(), QStringLiteral("鹿児島県"));
}

TEST(CountryGameMoves, DefeatBelowSquareOneAndOnTheDefeatSymbol)
{
    const struct {
        const char* name;
        int before; // position before the losing turn
        int kind, die;
        int position; // where the game ends
    } cases[] = {
        {"back from the start", 0, CountryGame::kBack, 1, -1},
        {"back past the start", 3, CountryGame::kBack, 6, 0},
        {"back from square 1", 1, CountryGame::kBack, 1, 0},
        {"defeat symbol", 5, CountryGame::kDefeat, 3, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedRandom random;
        CountryGame game(gametest::boxedBoard());
        advanceTo(game, c.before);
        playTurn(game, c.kind, c.die);
        EXPECT_EQ(game.position(), c.position);
        EXPECT_TRUE(game.finished());
        EXPECT_FALSE(game.won());
        EXPECT_FALSE(game.running(CountryGame::Main));
        EXPECT_TRUE(game.running(CountryGame::Over));
        EXPECT_EQ(game.message1(), QStringLiteral("おまえの力は　そんなものか！"));
        EXPECT_TRUE(game.message1Visible());
        EXPECT_TRUE(game.message2Visible());
        for (Button b : {Button::Start, Button::StopSai, Button::StopMan})
            EXPECT_FALSE(game.enabled(b));
        if (c.before >= 1 && c.kind == CountryGame::kBack) {
            EXPECT_EQ(colorAt(game, 1), CountryGame::kWhite);
        }
    }
}

TEST(CountryGameMoves, VictoryOnReachingHokkaidoEvenWhenTheMoveWouldPassIt)
{
    ScriptedRandom random;
    CountryGame game(gametest::boxedBoard());
    advanceTo(game, 44);
    playTurn(game, CountryGame::kDoubleForward, 6);
    EXPECT_EQ(game.position(), 47);
    EXPECT_EQ(game.target(), 56);
    EXPECT_TRUE(game.finished());
    EXPECT_TRUE(game.won());
    EXPECT_EQ(game.message1(), QStringLiteral("夢見果てたり！"));
    EXPECT_EQ(game.message1Background(), CountryGame::kPink);
    EXPECT_EQ(game.message2Background(), CountryGame::kPink);
    EXPECT_TRUE(game.message2Visible());
    EXPECT_EQ(colorAt(game, 47), game.regionColor(9));
    EXPECT_EQ(colorAt(game, 1), game.regionColor(1));
}

TEST(CountryGameMoves, LandingOnKyotoOrTokyoLosesOnOneDrawOnly)
{
    const struct {
        int before, die;
        double luck; // the draw: below 0.5 is 0 (safe), above is 1 (defeat)
        bool lost;
        const char* message;
    } cases[] = {
        {16, 3, 0.2, false, "先は長い！！"},
        {16, 3, 0.7, true, "本能寺に散った織田家の無念が　おまえを焼きつくす！"},
        {33, 3, 0.2, false, "よくきたのぉ～！！"},
        {33, 3, 0.7, true, "江戸を追われた徳川家の怨念が　おまえを呑みこむ！"},
        {17, 4, 0.7, false, nullptr}, // over 19 to 21
        {34, 5, 0.7, false, nullptr}, // over 36 to 39
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before + c.die);
        ScriptedRandom random;
        CountryGame game(gametest::boxedBoard());
        advanceTo(game, c.before);
        random.setAfterwards(c.luck);
        playTurn(game, CountryGame::kForward, c.die);
        EXPECT_EQ(game.position(), c.before + c.die);
        EXPECT_EQ(game.finished(), c.lost);
        EXPECT_EQ(game.message1Visible(), c.message != nullptr);
        if (c.message) {
            EXPECT_EQ(game.message1(), QString::fromUtf8(c.message));
        }
        EXPECT_EQ(game.enabled(Button::Start), !c.lost);
    }
    // Landing there backwards counts as well.
    ScriptedRandom random;
    CountryGame game(gametest::boxedBoard());
    advanceTo(game, 22);
    random.setAfterwards(0.9);
    playTurn(game, CountryGame::kBack, 3);
    EXPECT_TRUE(game.finished());
}

TEST(CountryGameEnd, FlashesAskAtTheTwentiethTickAndEndAtTheFortieth)
{
    for (const bool victory : {false, true}) {
        SCOPED_TRACE(victory ? "victory" : "defeat");
        for (const auto answer : {platform::MsgAnswer::No, platform::MsgAnswer::Yes}) {
            platform::ScopedScriptedPrompts prompts;
            prompts.queue(answer);
            ScriptedRandom random;
            CountryGame game(gametest::boxedBoard());
            if (victory)
                advanceTo(game, 47);
            else
                playTurn(game, CountryGame::kDefeat, 1);
            ASSERT_TRUE(game.running(CountryGame::Over));
            const int flash = victory ? CountryGame::kPink : CountryGame::kBlack;
            EXPECT_EQ(game.windowBackground(), CountryGame::kSystemColor);
            for (int tick = 1; tick < 20; ++tick) {
                EXPECT_EQ(game.overTick(), CountryGame::OverAction::Continue);
                EXPECT_EQ(game.windowBackground(), tick % 2 ? CountryGame::kWhite : flash) << tick;
            }
            EXPECT_TRUE(prompts.records().empty());
            const auto action = game.overTick();
            EXPECT_EQ(game.windowBackground(), CountryGame::kBlack);
            ASSERT_EQ(prompts.records().size(), 1u);
            EXPECT_EQ(prompts.last().icon, platform::MsgIcon::Question);
            EXPECT_EQ(prompts.last().buttons, platform::MsgButtons::YesNo);
            EXPECT_EQ(prompts.last().title, QStringLiteral("国盗合戦"));
            EXPECT_EQ(prompts.last().text, QStringLiteral("再チャレンジしますか？"));
            if (answer == platform::MsgAnswer::No) {
                EXPECT_EQ(action, CountryGame::OverAction::EndProgram);
                continue;
            }
            EXPECT_EQ(action, CountryGame::OverAction::Continue);
            EXPECT_EQ(game.message1(), QStringLiteral("人生二度なし！"));
            EXPECT_TRUE(game.running(CountryGame::Over));
            for (int tick = 21; tick < 40; ++tick)
                EXPECT_EQ(game.overTick(), CountryGame::OverAction::Continue);
            EXPECT_EQ(game.overTick(), CountryGame::OverAction::EndProgram);
            EXPECT_EQ(game.windowBackground(), CountryGame::kBlack);
            EXPECT_FALSE(game.running(CountryGame::Over));
            EXPECT_EQ(prompts.records().size(), 1u);
        }
    }
}
