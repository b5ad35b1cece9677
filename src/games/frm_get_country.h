#pragma once
// The 国盗合戦 window: the board in a viewport centred on the current square, the two reels with
// their buttons, the square's name and the messages. The rules live in CountryGame; this window
// runs its timers, forwards the buttons and shows the state. Without map data for the board it
// says what is missing instead.
#include "games/country_game.h"
#include "platform/result.h"

#include <QWidget>
#include <array>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace miratos::games {

class frmGetCountry : public QWidget {
public:
    // Generates the board from the app folder's MapData.
    explicit frmGetCountry(QWidget* parent = nullptr);
    // With a board made elsewhere (or the reason there is none).
    explicit frmGetCountry(const Result<QImage>& board, QWidget* parent = nullptr);

    // Timer handlers (the window's timers call them; tests call them directly).
    void tmrMain_Timer();
    void tmrSlotMan_Timer();
    void tmrSlotSai_Timer();
    void tmrOver_Timer();
    // The pause after the move-kind reel was stopped, until both reels rest.
    void tmrWait_Timer();

    // Nothing when the window could not make a board.
    const CountryGame* game() const { return m_game.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build(const Result<QImage>& board);
    void refresh();
    void refreshBoard();

    std::unique_ptr<CountryGame> m_game;
    std::array<QPixmap, 11> m_symbols; // 1..10
    QFrame* m_picFloor = nullptr;
    QLabel* m_picJapan = nullptr;
    std::array<QLabel*, 2> m_imgMan{}, m_imgSai{};
    QPushButton* m_cmdStart = nullptr;
    QPushButton* m_cmdStopSai = nullptr;
    QPushButton* m_cmdStopMan = nullptr;
    QLabel* m_lblPref = nullptr;
    QLineEdit* m_txtMes1 = nullptr;
    QLineEdit* m_txtMes2 = nullptr;
    std::array<QTimer*, 4> m_timers{};
    QTimer* m_tmrWait = nullptr;
};

} // namespace miratos::games
