#include "games/frm_get_country.h"

#include "games/board_picture.h"
#include "games/board_squares.h"
#include "games/game_art.h"
#include "platform/program_end_ui.h"
#include "platform/app_folder.h"
#include "platform/canvas.h"
#include "platform/widgets_ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace miratos::games {
namespace {

constexpr int kFloorWidth = 600;
constexpr int kFloorHeight = 576;
constexpr int kPanelLeft = 628;
constexpr int kPanelWidth = 360;

QFont fontOf(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

Result<QImage> boardOfTheAppFolder()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto board = generateBoard(platform::AppFolder::mapData());
    QApplication::restoreOverrideCursor();
    return board;
}

void setBackground(QWidget* w, QPalette::ColorRole role, int colorValue)
{
    QPalette palette = w->palette();
    palette.setColor(role, colorValue == CountryGame::kSystemColor ? QApplication::palette().color(role)
                                                                  : platform::toQColor(colorValue));
    w->setPalette(palette);
}

} // namespace

frmGetCountry::frmGetCountry(QWidget* parent) : QWidget(parent)
{
    build(boardOfTheAppFolder());
}

frmGetCountry::frmGetCountry(const Result<QImage>& board, QWidget* parent) : QWidget(parent)
{
    build(board);
}

void frmGetCountry::build(const Result<QImage>& board)
{
    using platform::makeLabel;
    setObjectName(QStringLiteral("frmGetCountry"));
    setWindowTitle(QStringLiteral("国盗合戦"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kPanelLeft + kPanelWidth + 12, kFloorHeight + 24);
    setAutoFillBackground(true);

    // The viewport in a thin frame of its own, so the board sliding inside never covers the frame.
    auto* floorFrame = new QFrame(this);
    floorFrame->setGeometry(10, 10, kFloorWidth + 4, kFloorHeight + 4);
    floorFrame->setObjectName(QStringLiteral("fmeFloor"));
    floorFrame->setStyleSheet(QStringLiteral("QFrame#fmeFloor { border: 2px solid #404040; }"));
    m_picFloor = new QFrame(floorFrame);
    m_picFloor->setObjectName(QStringLiteral("picFloor"));
    m_picFloor->setGeometry(2, 2, kFloorWidth, kFloorHeight);
    m_picFloor->setAutoFillBackground(true);
    setBackground(m_picFloor, QPalette::Window, CountryGame::kWhite);

    auto* title = makeLabel(this, QStringLiteral("imgTitle"), QString());
    title->setPixmap(QPixmap::fromImage(titlePicture()));
    title->setGeometry(kPanelLeft, 12, kPanelWidth, 76);

    m_lblPref = makeLabel(this, QStringLiteral("lblPref"), QString());
    m_lblPref->setFont(fontOf(30, true));
    m_lblPref->setAlignment(Qt::AlignCenter);
    m_lblPref->setGeometry(kPanelLeft, 100, kPanelWidth, 48);
    // The name keeps its own background and ink, so it stays readable while the window flashes.
    m_lblPref->setAutoFillBackground(true);
    QPalette prefPalette = m_lblPref->palette();
    prefPalette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    prefPalette.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    m_lblPref->setPalette(prefPalette);

    for (int n = 1; n <= 10; ++n)
        m_symbols[static_cast<size_t>(n)] = QPixmap::fromImage(reelSymbolPicture(n));
    // Each reel window sits in a dark bezel; its two pictures slide down inside it.
    auto makeReel = [&](const QString& name, const char* imageName, int left, std::array<QLabel*, 2>& images) {
        auto* bezel = new QFrame(this);
        bezel->setGeometry(left, 164, 98, 98);
        bezel->setStyleSheet(QStringLiteral("QFrame { background: #3a2a20; border-radius: 6px; }"));
        auto* window = new QFrame(bezel);
        window->setObjectName(name);
        window->setGeometry(4, 4, 90, 90);
        window->setStyleSheet(QStringLiteral("QFrame { background: white; border-radius: 0px; }"));
        for (int i = 0; i < 2; ++i) {
            images[static_cast<size_t>(i)] = makeLabel(window, platform::arrayName(imageName, i), QString());
            images[static_cast<size_t>(i)]->resize(90, 90);
        }
    };
    makeReel(QStringLiteral("Picture2"), "imgSai", kPanelLeft + 50, m_imgSai);
    makeReel(QStringLiteral("Picture1"), "imgMan", kPanelLeft + kPanelWidth - 50 - 98, m_imgMan);

    m_cmdStopSai = platform::makeButton(this, QStringLiteral("cmdStopSai"), QStringLiteral("Stop"));
    m_cmdStopSai->setGeometry(kPanelLeft + 50, 270, 98, 34);
    m_cmdStopMan = platform::makeButton(this, QStringLiteral("cmdStopMan"), QStringLiteral("Stop"));
    m_cmdStopMan->setGeometry(kPanelLeft + kPanelWidth - 50 - 98, 270, 98, 34);
    m_cmdStart = platform::makeButton(this, QStringLiteral("cmdStart"), QStringLiteral("Start"));
    m_cmdStart->setFont(fontOf(18, true));
    m_cmdStart->setGeometry(kPanelLeft + 80, 320, kPanelWidth - 160, 44);

    auto makeMessage = [&](const QString& name, int top, int pixelSize) {
        auto* text = platform::makeText(this, name);
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        text->setAlignment(Qt::AlignCenter);
        text->setFont(fontOf(pixelSize, true));
        text->setGeometry(kPanelLeft, top, kPanelWidth, 48);
        text->hide();
        return text;
    };
    m_txtMes1 = makeMessage(QStringLiteral("txtMes1"), 386, 17);
    m_txtMes2 = makeMessage(QStringLiteral("txtMes2"), 442, 26);
    m_txtMes2->setText(QStringLiteral("Game Over !!"));

    const std::array<std::pair<const char*, int>, 4> timers = {
        {{"tmrMain", 300}, {"tmrSlotMan", 10}, {"tmrSlotSai", 10}, {"tmrOver", 50}}};
    for (size_t i = 0; i < timers.size(); ++i) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(timers[i].first));
        timer->setInterval(timers[i].second);
        m_timers[i] = timer;
    }
    m_tmrWait = new QTimer(this);
    m_tmrWait->setObjectName(QStringLiteral("tmrWait"));
    m_tmrWait->setSingleShot(true);

    if (!board) {
        auto* missing = makeLabel(m_picFloor, QStringLiteral("lblMissing"), board.error());
        missing->setWordWrap(true);
        missing->setFont(fontOf(16));
        missing->setAlignment(Qt::AlignCenter);
        missing->setGeometry(24, 24, kFloorWidth - 48, kFloorHeight - 48);
        for (QPushButton* b : {m_cmdStart, m_cmdStopSai, m_cmdStopMan})
            b->setEnabled(false);
        return;
    }

    m_picJapan = makeLabel(m_picFloor, QStringLiteral("picJapan"), QString());
    m_picJapan->resize(board->size());
    m_picJapan->lower();
    m_game = std::make_unique<CountryGame>(*board);
    m_game->onBeep = [] { QApplication::beep(); };
    m_game->onBeforeQuestion = [this] {
        refresh();
        repaint();
    };

    connect(m_cmdStart, &QPushButton::clicked, this, [this] { m_game->start(); refresh(); });
    connect(m_cmdStopSai, &QPushButton::clicked, this, [this] { m_game->stopSai(); refresh(); });
    connect(m_cmdStopMan, &QPushButton::clicked, this, [this] {
        m_game->stopMan();
        refresh();
        // The reels come to rest before the move.
        if (m_game->turnPending())
            m_tmrWait->start(500);
    });
    connect(m_timers[CountryGame::Main], &QTimer::timeout, this, &frmGetCountry::tmrMain_Timer);
    connect(m_timers[CountryGame::SlotMan], &QTimer::timeout, this, &frmGetCountry::tmrSlotMan_Timer);
    connect(m_timers[CountryGame::SlotSai], &QTimer::timeout, this, &frmGetCountry::tmrSlotSai_Timer);
    connect(m_timers[CountryGame::Over], &QTimer::timeout, this, &frmGetCountry::tmrOver_Timer);
    connect(m_tmrWait, &QTimer::timeout, this, &frmGetCountry::tmrWait_Timer);
    refreshBoard();
    refresh();
}

void frmGetCountry::refreshBoard()
{
    m_picJapan->setPixmap(QPixmap::fromImage(m_game->board()));
}

void frmGetCountry::refresh()
{
    const CountryGame& g = *m_game;
    const QPoint seed = square(g.centredSquare()).seed;
    m_picJapan->move(kFloorWidth / 2 - seed.x(), kFloorHeight / 2 - seed.y());

    auto showReel = [&](CountryGame::Reel reel, std::array<QLabel*, 2>& images) {
        const auto& view = g.reelView(reel);
        images[0]->setPixmap(m_symbols[static_cast<size_t>(view.lowerSymbol)]);
        images[0]->move(0, view.lowerTop);
        images[1]->setPixmap(m_symbols[static_cast<size_t>(view.upperSymbol)]);
        images[1]->move(0, view.upperTop);
    };
    showReel(CountryGame::Reel::Man, m_imgMan);
    showReel(CountryGame::Reel::Sai, m_imgSai);

    m_cmdStart->setEnabled(g.enabled(CountryGame::Button::Start));
    m_cmdStopSai->setEnabled(g.enabled(CountryGame::Button::StopSai));
    m_cmdStopMan->setEnabled(g.enabled(CountryGame::Button::StopMan));
    switch (g.focus()) {
    case CountryGame::Button::Start: m_cmdStart->setFocus(); break;
    case CountryGame::Button::StopSai: m_cmdStopSai->setFocus(); break;
    case CountryGame::Button::StopMan: m_cmdStopMan->setFocus(); break;
    case CountryGame::Button::None: break;
    }

    m_lblPref->setText(g.prefLabel());
    m_txtMes1->setText(g.message1());
    m_txtMes1->setVisible(g.message1Visible());
    setBackground(m_txtMes1, QPalette::Base, g.message1Background());
    m_txtMes2->setVisible(g.message2Visible());
    setBackground(m_txtMes2, QPalette::Base, g.message2Background());
    setBackground(this, QPalette::Window, g.windowBackground());

    for (int t = 0; t < 4; ++t) {
        QTimer* timer = m_timers[static_cast<size_t>(t)];
        const bool run = g.running(static_cast<CountryGame::Timer>(t));
        if (run && !timer->isActive())
            timer->start();
        else if (!run && timer->isActive())
            timer->stop();
    }
}

void frmGetCountry::tmrMain_Timer()
{
    m_game->mainTick();
    refreshBoard();
    refresh();
}

void frmGetCountry::tmrSlotMan_Timer()
{
    m_game->reelTick(CountryGame::Reel::Man);
    refresh();
}

void frmGetCountry::tmrSlotSai_Timer()
{
    m_game->reelTick(CountryGame::Reel::Sai);
    refresh();
}

void frmGetCountry::tmrWait_Timer()
{
    if (!m_game->turnPending())
        return;
    if (!m_game->reelsAtRest()) {
        m_tmrWait->start(50);
        return;
    }
    m_game->runTurn();
    refresh();
}

void frmGetCountry::tmrOver_Timer()
{
    // The timer stays off while the question is open, so no flash runs behind it.
    m_timers[CountryGame::Over]->stop();
    const auto action = m_game->overTick();
    refresh();
    if (action == CountryGame::OverAction::EndProgram)
        close();
}

void frmGetCountry::closeEvent(QCloseEvent* event)
{
    event->accept();
    platform::endProgram();
}

} // namespace miratos::games
