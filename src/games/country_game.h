#pragma once
// The rules of 国盗合戦 without a window: two slot reels (move kind and die), the track of 47
// squares from 沖縄県 to 北海道 painted in region colours as they are conquered, the risky squares
// 京都府 and 東京都, defeat, victory and the closing flashes. The window runs the four timers as
// running() says, calls the tick functions, and shows the state; the board picture is painted here.
#include "platform/canvas.h"

#include <QImage>
#include <QString>
#include <QVector>
#include <array>
#include <functional>

namespace miratos::games {

class CountryGame {
public:
    enum Timer { Main = 0, SlotMan = 1, SlotSai = 2, Over = 3 };
    enum class Reel { Man, Sai };
    enum class Button { None, Start, StopSai, StopMan };
    enum class OverAction { Continue, EndProgram };

    // Move kinds on the move-kind reel (its symbol numbers 1..4).
    static constexpr int kBack = 1, kDoubleForward = 2, kForward = 3, kDefeat = 4;
    static constexpr int kSymbolHeight = 90; // the reel pictures are this far apart
    static constexpr int kWhite = 0xFFFFFF;
    static constexpr int kBlack = 0;
    static constexpr int kPink = 255 + 256 * 128 + 65536 * 255; // (255, 128, 255)
    static constexpr int kSystemColor = -1; // the window's own background

    // The strips before shuffling.
    static QVector<int> unshuffledManStrip();
    static QVector<int> unshuffledSaiStrip();
    // The nine region colours (colour values) before shuffling; element 0 is group 1.
    static std::array<int, 9> unshuffledRegionColors();

    // Builds colours and reels from the random seam; board is the blank board picture (may be
    // null, then nothing is painted).
    explicit CountryGame(const QImage& board);

    // Buttons.
    void start();
    void stopSai();
    void stopMan();
    // The turn after the move-kind reel was stopped; the window calls it once both reels rest.
    bool turnPending() const { return m_turnPending; }
    bool reelsAtRest() const { return !m_running[SlotMan] && !m_running[SlotSai]; }
    void runTurn();

    // Timer ticks.
    void reelTick(Reel reel);
    void mainTick();
    OverAction overTick();

    // Called for every beep (the window beeps).
    std::function<void()> onBeep;
    // Called when the window has turned black and before the retry question opens, so the window
    // can show itself black behind the question.
    std::function<void()> onBeforeQuestion;

    bool running(Timer timer) const { return m_running[timer]; }
    bool enabled(Button button) const;
    Button focus() const { return m_focus; }

    struct ReelView {
        int lowerSymbol = 0, upperSymbol = 0; // picture numbers 1..10
        int lowerTop = 0, upperTop = -kSymbolHeight;
    };
    const ReelView& reelView(Reel reel) const { return reel == Reel::Man ? m_manView : m_saiView; }
    const QVector<int>& strip(Reel reel) const { return reel == Reel::Man ? m_manStrip : m_saiStrip; }
    int reelIndex(Reel reel) const { return reel == Reel::Man ? m_manIndex : m_saiIndex; }
    void setReelIndex(Reel reel, int index) { (reel == Reel::Man ? m_manIndex : m_saiIndex) = index; }
    int regionColor(int group) const { return m_colors[static_cast<size_t>(group - 1)]; }

    int position() const { return m_position; }
    int target() const { return m_target; }
    // The square the board is centred on (1 before the first move).
    int centredSquare() const { return m_centred; }
    const QString& prefLabel() const { return m_prefLabel; }
    const QString& message1() const { return m_mes1; }
    bool message1Visible() const { return m_mes1Visible; }
    int message1Background() const { return m_mes1Back; }
    bool message2Visible() const { return m_mes2Visible; }
    int message2Background() const { return m_mes2Back; }
    int windowBackground() const { return m_windowBack; }
    bool finished() const { return m_finished; }
    bool won() const { return m_won; }
    int overTicks() const { return m_overTicks; }
    const QImage& board() const { return m_board.image(); }
    bool hasBoard() const { return m_hasBoard; }

    // The taunt on defeat on a square (the two risky squares have their own).
    static QString defeatTaunt(int square);

private:
    void paintSquare(int square, int color);
    void gameOver();
    void finish();
    void endTimers();
    void beep();
    void placeReel(Reel reel);

    std::array<bool, 4> m_running{};
    bool m_startEnabled = true, m_stopSaiEnabled = false, m_stopManEnabled = false;
    Button m_focus = Button::Start;
    QVector<int> m_manStrip, m_saiStrip;
    int m_manIndex = 0, m_saiIndex = 0;
    bool m_manStop = false, m_saiStop = false;
    ReelView m_manView, m_saiView;
    std::array<int, 9> m_colors{};
    bool m_turnPending = false;
    int m_kind = 0;
    int m_position = 0;
    int m_target = 0;
    int m_centred = 1;
    QString m_prefLabel;
    QString m_mes1;
    bool m_mes1Visible = false;
    int m_mes1Back = kWhite;
    bool m_mes2Visible = false;
    int m_mes2Back = kWhite;
    int m_windowBack = kSystemColor;
    bool m_finished = false;
    bool m_won = false;
    int m_overTicks = 0;
    platform::Canvas m_board;
    bool m_hasBoard = false;
};

} // namespace miratos::games
