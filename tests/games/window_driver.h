#pragma once
// Plays 国盗合戦 through its window the way a user does: buttons clicked, the timers' handlers
// called in place of waiting.
#include "games/board_squares.h"
#include "games/frm_get_country.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace miratos::games::gametest {

inline QPushButton* button(QWidget& w, const char* name)
{
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

inline bool timerActive(QWidget& w, const char* name)
{
    auto* timer = w.findChild<QTimer*>(QString::fromLatin1(name));
    return timer && timer->isActive();
}

// One turn: the die reel is stopped so that it rests on die, the move-kind reel on kind; then
// the move runs to its end.
inline void playWindowTurn(frmGetCountry& w, int kind, int die)
{
    const CountryGame& g = *w.game();
    button(w, "cmdStart")->click();
    EXPECT_TRUE(timerActive(w, "tmrSlotSai"));
    EXPECT_TRUE(timerActive(w, "tmrSlotMan"));
    auto spinAndStop = [&](CountryGame::Reel reel, int symbol, const char* stop) {
        const QVector<int>& strip = g.strip(reel);
        auto tick = [&] {
            if (reel == CountryGame::Reel::Sai)
                w.tmrSlotSai_Timer();
            else
                w.tmrSlotMan_Timer();
        };
        // Whole symbols go by until the wanted one is the next to arrive.
        for (int guard = 0; strip[(g.reelIndex(reel) + 1) % strip.size()] != symbol && guard < 20; ++guard)
            for (int i = 0; i < 9; ++i)
                tick();
        button(w, stop)->click();
        for (int i = 0; i < 9; ++i)
            tick();
    };
    spinAndStop(CountryGame::Reel::Sai, die + 4, "cmdStopSai");
    EXPECT_FALSE(timerActive(w, "tmrSlotSai"));
    spinAndStop(CountryGame::Reel::Man, kind, "cmdStopMan");
    EXPECT_FALSE(timerActive(w, "tmrSlotMan"));
    EXPECT_TRUE(timerActive(w, "tmrWait"));
    w.tmrWait_Timer();
    for (int i = 0; i < 100 && timerActive(w, "tmrMain"); ++i)
        w.tmrMain_Timer();
}

// The colour of the board picture as the window shows it, at a square's seed.
inline QRgb shownColorAt(frmGetCountry& w, int squareNumber)
{
    auto* picJapan = w.findChild<QLabel*>(QStringLiteral("picJapan"));
    return picJapan->pixmap().toImage().pixel(square(squareNumber).seed) & 0xFFFFFF;
}

// The seed of the square lies at the centre of the viewport.
inline void expectCentredOn(frmGetCountry& w, int squareNumber)
{
    auto* picJapan = w.findChild<QLabel*>(QStringLiteral("picJapan"));
    auto* floor = picJapan->parentWidget();
    EXPECT_EQ(picJapan->pos() + square(squareNumber).seed, QPoint(floor->width() / 2, floor->height() / 2));
}

// Saves a picture of the window when MIRATOS_SCREENSHOT_DIR is set.
inline void saveShot(QWidget& w, const QString& name)
{
    const QByteArray dir = qgetenv("MIRATOS_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

} // namespace miratos::games::gametest
