// The two game windows driven as a user drives them: keys and buttons, the timers' handlers
// called instead of waiting.
#include "games/frm_fighter.h"
#include "games/frm_get_country.h"
#include "games/game_art.h"
#include "game_fixture.h"
#include "window_driver.h"

#include "platform/canvas.h"
#include "platform/prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::games;
using namespace miratos::games::gametest;

namespace {

QLabel* label(QWidget& w, const QString& name)
{
    return w.findChild<QLabel*>(name);
}

bool showsPose(QWidget& w, int pose)
{
    return label(w, QStringLiteral("imgMan"))->pixmap().toImage() ==
           QPixmap::fromImage(fighterPicture(pose)).toImage();
}

} // namespace

TEST(FighterWindow, CaptionsAndKeypadTechniques)
{
    frmFighter w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("razorero"));
    EXPECT_EQ(label(w, QStringLiteral("Label1"))->text(),
              QStringLiteral("最近のＧＩＳ・マッピング・統計　とかくデータデータデータでうんざりのあなた！"));
    EXPECT_EQ(label(w, QStringLiteral("Label2"))->text(), QStringLiteral("はい！わたしです。"));
    EXPECT_EQ(label(w, QStringLiteral("Label6"))->text(), QStringLiteral("テンキー5　：　最終奥義"));
    EXPECT_TRUE(timerActive(w, "tmrEnemy"));
    EXPECT_FALSE(label(w, QStringLiteral("imgFire"))->isVisible());
    EXPECT_TRUE(showsPose(w, 1));

    // The "1" of the main keyboard is not the keypad's.
    QTest::keyClick(&w, Qt::Key_1);
    EXPECT_FALSE(timerActive(w, "tmrMain"));

    QTest::keyClick(&w, Qt::Key_1, Qt::KeypadModifier);
    EXPECT_EQ(label(w, QStringLiteral("lblWaza"))->text(), QStringLiteral("都道府拳！！"));
    EXPECT_TRUE(timerActive(w, "tmrMain"));
    EXPECT_TRUE(showsPose(w, 2));
    auto* fire = label(w, QStringLiteral("imgFire"));
    EXPECT_TRUE(fire->isVisible());
    EXPECT_EQ(fire->x(), 72);
    for (int i = 0; i < 10; ++i)
        w.tmrMain_Timer();
    EXPECT_EQ(fire->x(), 172);
    saveShot(w, QStringLiteral("fighter_technique.png"));
    while (timerActive(w, "tmrMain"))
        w.tmrMain_Timer();
    EXPECT_FALSE(fire->isVisible());
    EXPECT_TRUE(showsPose(w, 1));
    EXPECT_TRUE(label(w, QStringLiteral("lblWaza"))->text().isEmpty());
}

TEST(FighterWindow, HitEnemiesBlinkAndTheFinalMoveEndsPlay)
{
    frmFighter w;
    w.show();
    {
        ScriptedRandom random;
        random.pushIndex(9, 17);
        random.pushIndex(15, 17);
        w.tmrEnemy_Timer();
    }
    auto* enemy0 = label(w, QStringLiteral("lblTeki_0"));
    auto* enemy1 = label(w, QStringLiteral("lblTeki_1"));
    EXPECT_EQ(enemy0->text(), QStringLiteral("テリトリー分析"));
    EXPECT_EQ(enemy1->text(), QStringLiteral("白地図"));
    QTest::keyClick(&w, Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(label(w, QStringLiteral("lblWaza"))->text(), QStringLiteral("国勢調査！！"));
    while (timerActive(w, "tmrMain"))
        w.tmrMain_Timer();
    EXPECT_TRUE(timerActive(w, "tmrBlink"));
    w.tmrBlink_Timer();
    EXPECT_FALSE(enemy0->isVisible());
    EXPECT_FALSE(enemy1->isVisible());
    for (int i = 0; i < 5; ++i)
        w.tmrBlink_Timer();
    EXPECT_FALSE(timerActive(w, "tmrBlink"));
    EXPECT_TRUE(enemy0->isVisible());
    EXPECT_TRUE(enemy0->text().isEmpty());

    {
        ScriptedRandom random;
        random.pushIndex(2, 17);
        random.pushIndex(11, 17);
        w.tmrEnemy_Timer();
    }
    QTest::keyClick(&w, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(label(w, QStringLiteral("lblWaza"))->text(), QStringLiteral("キェーーーーッ！！"));
    EXPECT_TRUE(showsPose(w, 3));
    for (int i = 0; i < 25; ++i)
        w.tmrMain_Timer();
    saveShot(w, QStringLiteral("fighter_final_move.png"));
    QTest::keyClick(&w, Qt::Key_1, Qt::KeypadModifier); // ignored from now on
    EXPECT_EQ(label(w, QStringLiteral("lblWaza"))->text(), QStringLiteral("キェーーーーッ！！"));
    while (timerActive(w, "tmrMain"))
        w.tmrMain_Timer();
    EXPECT_FALSE(timerActive(w, "tmrEnemy"));
    while (timerActive(w, "tmrBlink"))
        w.tmrBlink_Timer();
    EXPECT_TRUE(showsPose(w, 4));
    EXPECT_EQ(label(w, QStringLiteral("lblWaza"))->text(), QStringLiteral("ふぅ～～～～･･･"));
    saveShot(w, QStringLiteral("fighter_after.png"));
}

TEST(CountryWindow, WithoutMapDataItSaysWhatIsMissing)
{
    platform::ScopedScriptedPrompts prompts;
    frmGetCountry w(Result<QImage>(Error{QStringLiteral("MapData に境界データがありません")}));
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("国盗合戦"));
    EXPECT_EQ(w.game(), nullptr);
    auto* missing = label(w, QStringLiteral("lblMissing"));
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->text().contains(QStringLiteral("MapData")));
    EXPECT_FALSE(button(w, "cmdStart")->isEnabled());
    button(w, "cmdStart")->click();
    EXPECT_TRUE(prompts.records().empty());
    saveShot(w, QStringLiteral("country_no_data.png"));
}

TEST(CountryWindow, ATurnMovesAndPaintsThenDefeatFlashesAndAsks)
{
    ScriptedRandom random;
    platform::ScopedScriptedPrompts prompts;
    prompts.queue(platform::MsgAnswer::No);
    frmGetCountry w{Result<QImage>(gametest::boxedBoard())};
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    const CountryGame& g = *w.game();
    EXPECT_EQ(button(w, "cmdStart")->text(), QStringLiteral("Start"));
    EXPECT_FALSE(button(w, "cmdStopSai")->isEnabled());
    EXPECT_FALSE(button(w, "cmdStopMan")->isEnabled());
    expectCentredOn(w, 1);

    playWindowTurn(w, CountryGame::kForward, 4);
    EXPECT_EQ(g.position(), 4);
    expectCentredOn(w, 4);
    EXPECT_EQ(label(w, QStringLiteral("lblPref"))->text(), QStringLiteral("　大分県"));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(shownColorAt(w, n), platform::toQColor(g.regionColor(square(n).group)).rgb() & 0xFFFFFF) << n;
    EXPECT_EQ(shownColorAt(w, 5), 0xFFFFFFu);
    EXPECT_TRUE(button(w, "cmdStart")->isEnabled());

    playWindowTurn(w, CountryGame::kBack, 2);
    EXPECT_EQ(g.position(), 2);
    expectCentredOn(w, 2);
    EXPECT_EQ(shownColorAt(w, 3), 0xFFFFFFu);

    playWindowTurn(w, CountryGame::kDefeat, 5);
    auto* mes1 = w.findChild<QLineEdit*>(QStringLiteral("txtMes1"));
    auto* mes2 = w.findChild<QLineEdit*>(QStringLiteral("txtMes2"));
    EXPECT_TRUE(mes1->isVisible());
    EXPECT_EQ(mes1->text(), QStringLiteral("おまえの力は　そんなものか！"));
    EXPECT_TRUE(mes2->isVisible());
    EXPECT_EQ(mes2->text(), QStringLiteral("Game Over !!"));
    EXPECT_FALSE(button(w, "cmdStart")->isEnabled());
    EXPECT_TRUE(timerActive(w, "tmrOver"));
    w.tmrOver_Timer();
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::white));
    w.tmrOver_Timer();
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::black));
    for (int tick = 3; tick < 20; ++tick)
        w.tmrOver_Timer();
    EXPECT_TRUE(w.isVisible());
    w.tmrOver_Timer(); // the twentieth asks; "No" ends the program
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("再チャレンジしますか？"));
    EXPECT_FALSE(w.isVisible());
}

// The look of the window through the end: behind the retry question it is black, and the
// square's name stays readable on every flash.
TEST(CountryWindow, RetryIsAskedOverABlackWindowAndTheSquareNameOutlastsTheFlashes)
{
    struct WatchingPrompts : platform::ScopedScriptedPrompts {
        std::function<void()> atQuestion;
        platform::MsgAnswer message(platform::MsgIcon icon, platform::MsgButtons buttons, const QString& title, const QString& text) override
        {
            if (atQuestion)
                atQuestion();
            return ScopedScriptedPrompts::message(icon, buttons, title, text);
        }
    };
    ScriptedRandom random;
    WatchingPrompts prompts;
    prompts.queue(platform::MsgAnswer::No);
    frmGetCountry w{Result<QImage>(gametest::boxedBoard())};
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    playWindowTurn(w, CountryGame::kForward, 3);
    playWindowTurn(w, CountryGame::kDefeat, 1);
    QLabel* pref = label(w, QStringLiteral("lblPref"));
    ASSERT_FALSE(pref->text().trimmed().isEmpty());
    // Readable: the name's box holds light and dark pixels both.
    auto nameReadable = [pref](const QImage& shot) {
        const QImage box = shot.copy(pref->geometry());
        int dark = 0, light = 0;
        for (int y = 0; y < box.height(); ++y)
            for (int x = 0; x < box.width(); ++x) {
                const int grey = qGray(box.pixel(x, y));
                dark += grey < 80;
                light += grey > 170;
            }
        return dark > 20 && light > 20;
    };
    QImage atQuestion;
    prompts.atQuestion = [&] { atQuestion = w.grab().toImage(); };
    for (int tick = 1; tick < 20; ++tick) {
        w.tmrOver_Timer();
        EXPECT_TRUE(nameReadable(w.grab().toImage())) << "flash " << tick;
    }
    EXPECT_TRUE(atQuestion.isNull());
    w.tmrOver_Timer();
    ASSERT_FALSE(atQuestion.isNull());
    EXPECT_EQ(atQuestion.pixel(5, 5) & 0xFFFFFF, 0u); // the window's own background
    EXPECT_TRUE(nameReadable(atQuestion));
    saveShot(w, QStringLiteral("country_retry_question.png"));
    const QByteArray shots = qgetenv("MIRATOS_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        atQuestion.save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("country_at_question.png")));
}
