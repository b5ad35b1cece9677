#include "games/frm_fighter.h"

#include "games/game_art.h"
#include "platform/program_end_ui.h"
#include "platform/widgets_ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace miratos::games {
namespace {

constexpr int kFieldTop = 96;    // top of the fighter picture
constexpr int kEnemyLeft = 540;

QFont fontOf(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

frmFighter::frmFighter(QWidget* parent) : QWidget(parent)
{
    using platform::makeLabel;
    setObjectName(QStringLiteral("frmFighter"));
    setWindowTitle(QStringLiteral("razorero"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(740, 360);
    setFocusPolicy(Qt::StrongFocus);

    auto* label1 = makeLabel(this, QStringLiteral("Label1"),
                             QStringLiteral("最近のＧＩＳ・マッピング・統計　とかくデータデータデータでうんざりのあなた！"));
    label1->setFont(fontOf(16, true));
    label1->setGeometry(16, 12, 708, 26);
    auto* label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("はい！わたしです。"));
    label2->setFont(fontOf(15));
    label2->setGeometry(16, 44, 300, 24);

    for (int pose = 1; pose <= 4; ++pose) {
        m_poses[static_cast<size_t>(pose - 1)] = QPixmap::fromImage(fighterPicture(pose));
        auto* source = makeLabel(this, QStringLiteral("imgMan%1").arg(pose), QString());
        source->setPixmap(m_poses[static_cast<size_t>(pose - 1)]);
        source->hide();
    }
    m_imgMan = makeLabel(this, QStringLiteral("imgMan"), QString());
    m_imgMan->resize(kFighterWidth, kFighterHeight);
    m_imgFire = makeLabel(this, QStringLiteral("imgFire"), QString());
    m_imgFire->setPixmap(QPixmap::fromImage(projectilePicture()));
    m_imgFire->resize(40, 24);

    for (int i = 0; i < 2; ++i) {
        auto* enemy = makeLabel(this, platform::arrayName("lblTeki", i), QString());
        enemy->setFont(fontOf(17, true));
        enemy->setAlignment(Qt::AlignCenter);
        enemy->setGeometry(kEnemyLeft, kFieldTop - 6 + 62 * i, 184, 42);
        m_lblTeki[static_cast<size_t>(i)] = enemy;
    }
    m_lblWaza = makeLabel(this, QStringLiteral("lblWaza"), QString());
    m_lblWaza->setFont(fontOf(26, true));
    m_lblWaza->setStyleSheet(QStringLiteral("QLabel { color: #d04000; }"));
    m_lblWaza->setAlignment(Qt::AlignCenter);
    m_lblWaza->setGeometry(90, 206, 440, 40);

    const char* help[] = {"テンキー1　：　技１", "テンキー2　：　技２", "テンキー3　：　技３", "テンキー5　：　最終奥義"};
    for (int i = 0; i < 4; ++i) {
        auto* label = makeLabel(this, QStringLiteral("Label%1").arg(i + 3), QString::fromUtf8(help[i]));
        label->setFont(fontOf(14));
        label->setGeometry(16 + 180 * i, 318, 176, 24);
    }

    const std::array<std::pair<const char*, int>, 3> timers = {{{"tmrMain", 10}, {"tmrBlink", 100}, {"tmrEnemy", 2000}}};
    for (size_t i = 0; i < timers.size(); ++i) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(timers[i].first));
        timer->setInterval(timers[i].second);
        m_timers[i] = timer;
    }
    connect(m_timers[FighterGame::Main], &QTimer::timeout, this, &frmFighter::tmrMain_Timer);
    connect(m_timers[FighterGame::Blink], &QTimer::timeout, this, &frmFighter::tmrBlink_Timer);
    connect(m_timers[FighterGame::Enemy], &QTimer::timeout, this, &frmFighter::tmrEnemy_Timer);
    refresh();
}

void frmFighter::refresh()
{
    m_imgMan->setPixmap(m_poses[static_cast<size_t>(static_cast<int>(m_game.pose()) - 1)]);
    m_imgMan->move(16 + m_game.fighterLeft(), kFieldTop);
    m_imgFire->move(m_game.projectileLeft(), kFieldTop + 20);
    m_imgFire->setVisible(m_game.projectileVisible());
    for (int i = 0; i < 2; ++i) {
        QLabel* enemy = m_lblTeki[static_cast<size_t>(i)];
        const QString& word = m_game.enemyWord(i);
        if (enemy->text() != word) {
            enemy->setText(word);
            // A frame around a word only: an empty enemy shows nothing.
            enemy->setStyleSheet(word.isEmpty() ? QString()
                                                : QStringLiteral("QLabel { color: #b00010; background: #fff2f0; "
                                                                 "border: 2px solid #b00010; border-radius: 8px; }"));
        }
        enemy->setVisible(m_game.enemyVisible(i));
    }
    m_lblWaza->setText(m_game.technique());
    for (int t = 0; t < 3; ++t) {
        QTimer* timer = m_timers[static_cast<size_t>(t)];
        const bool run = m_game.running(static_cast<FighterGame::Timer>(t));
        if (run && !timer->isActive())
            timer->start();
        else if (!run && timer->isActive())
            timer->stop();
    }
}

void frmFighter::tmrMain_Timer()
{
    m_game.mainTick();
    refresh();
}

void frmFighter::tmrBlink_Timer()
{
    m_game.blinkTick();
    refresh();
}

void frmFighter::tmrEnemy_Timer()
{
    m_game.enemyTick();
    refresh();
}

void frmFighter::keyPressEvent(QKeyEvent* event)
{
    FighterGame::Key key = FighterGame::Key::Other;
    if (event->modifiers() & Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_1: key = FighterGame::Key::Keypad1; break;
        case Qt::Key_2: key = FighterGame::Key::Keypad2; break;
        case Qt::Key_3: key = FighterGame::Key::Keypad3; break;
        case Qt::Key_5: key = FighterGame::Key::Keypad5; break;
        default: break;
        }
    }
    m_game.keyPressed(key);
    refresh();
}

void frmFighter::closeEvent(QCloseEvent* event)
{
    event->accept();
    platform::endProgram();
}

} // namespace miratos::games
