#include "games/country_game.h"

#include "games/board_squares.h"
#include "platform/prompts.h"
#include "platform/seams.h"

#include <algorithm>

namespace miratos::games {
namespace {

// A whole number in 0..count-1 from the random seam.
int draw(int count)
{
    return std::clamp(static_cast<int>(platform::randomUnit() * count), 0, count - 1);
}

// Ten swaps of two entries drawn uniformly from first..last.
template <class Container>
void shuffle(Container& items, int first, int last)
{
    const int count = last - first + 1;
    for (int i = 0; i < 10; ++i) {
        const int a = first + draw(count);
        const int b = first + draw(count);
        std::swap(items[a], items[b]);
    }
}

} // namespace

QVector<int> CountryGame::unshuffledManStrip()
{
    return {4, 2, 2, 1, 1, 1, 3, 3, 3, 3, 3};
}

QVector<int> CountryGame::unshuffledSaiStrip()
{
    return {5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10};
}

std::array<int, 9> CountryGame::unshuffledRegionColors()
{
    auto rgb = [](int r, int g, int b) { return r + 256 * g + 65536 * b; };
    return {rgb(255, 0, 0), rgb(255, 255, 0), rgb(0, 255, 0), rgb(0, 128, 0), rgb(0, 0, 255),
            rgb(0, 255, 255), rgb(255, 128, 0), rgb(128, 0, 255), rgb(255, 0, 255)};
}

QString CountryGame::defeatTaunt(int square)
{
    if (square == 19)
        return QStringLiteral("本能寺に散った織田家の無念が　おまえを焼きつくす！");
    if (square == 36)
        return QStringLiteral("江戸を追われた徳川家の怨念が　おまえを呑みこむ！");
    return QStringLiteral("おまえの力は　そんなものか！");
}

CountryGame::CountryGame(const QImage& board)
{
    if (!board.isNull()) {
        m_board.image() = board.convertToFormat(QImage::Format_RGB32);
        m_hasBoard = true;
    }
    m_colors = unshuffledRegionColors();
    shuffle(m_colors, 0, 8);
    m_manStrip = unshuffledManStrip();
    shuffle(m_manStrip, 0, 10);
    m_saiStrip = unshuffledSaiStrip();
    shuffle(m_saiStrip, 0, 11);
    placeReel(Reel::Man);
    placeReel(Reel::Sai);
}

bool CountryGame::enabled(Button button) const
{
    switch (button) {
    case Button::Start: return m_startEnabled;
    case Button::StopSai: return m_stopSaiEnabled;
    case Button::StopMan: return m_stopManEnabled;
    case Button::None: break;
    }
    return false;
}

void CountryGame::placeReel(Reel reel)
{
    const QVector<int>& s = strip(reel);
    const int i = reelIndex(reel);
    ReelView& view = reel == Reel::Man ? m_manView : m_saiView;
    view.lowerSymbol = s[i];
    view.lowerTop = 0;
    view.upperSymbol = s[(i + 1) % s.size()];
    view.upperTop = -kSymbolHeight;
}

void CountryGame::beep()
{
    if (onBeep)
        onBeep();
}

void CountryGame::start()
{
    if (!m_startEnabled)
        return;
    m_startEnabled = false;
    m_mes1Visible = false;
    m_manStop = m_saiStop = false;
    placeReel(Reel::Man);
    placeReel(Reel::Sai);
    m_running[SlotMan] = m_running[SlotSai] = true;
    m_stopSaiEnabled = true;
    m_focus = Button::StopSai;
}

void CountryGame::stopSai()
{
    if (!m_stopSaiEnabled)
        return;
    m_stopSaiEnabled = false;
    m_saiStop = true;
    m_stopManEnabled = true;
    m_focus = Button::StopMan;
    beep();
}

void CountryGame::stopMan()
{
    if (!m_stopManEnabled)
        return;
    m_manStop = true;
    m_stopManEnabled = false;
    m_focus = Button::None;
    beep();
    m_turnPending = true;
}

void CountryGame::reelTick(Reel reel)
{
    const Timer timer = reel == Reel::Man ? SlotMan : SlotSai;
    if (!m_running[timer])
        return;
    ReelView& view = reel == Reel::Man ? m_manView : m_saiView;
    const QVector<int>& s = strip(reel);
    int& index = reel == Reel::Man ? m_manIndex : m_saiIndex;
    view.lowerTop += 10;
    view.upperTop += 10;
    if (view.upperTop < 0)
        return;
    // The upper symbol has arrived: it is now the reel's current entry, shown in the lower picture.
    index = (index + 1) % s.size();
    view.lowerSymbol = view.upperSymbol;
    view.lowerTop = 0;
    if (reel == Reel::Man ? m_manStop : m_saiStop) {
        m_running[timer] = false;
        return;
    }
    view.upperSymbol = s[(index + 1) % s.size()];
    view.upperTop = -kSymbolHeight;
}

void CountryGame::runTurn()
{
    if (!m_turnPending)
        return;
    m_turnPending = false;
    m_kind = m_manStrip[m_manIndex];
    const int d = m_saiStrip[m_saiIndex] - 4;
    switch (m_kind) {
    case kForward: m_target = m_position + d; break;
    case kDoubleForward: m_target = m_position + 2 * d; break;
    case kBack: m_target = m_position - d; break;
    default:
        gameOver();
        return;
    }
    m_running[Main] = true;
}

void CountryGame::paintSquare(int number, int color)
{
    if (m_hasBoard && number >= 1 && number <= kSquareCount)
        m_board.floodFillBorder(square(number).seed, color, kBlack);
}

void CountryGame::mainTick()
{
    if (!m_running[Main])
        return;
    if (m_kind == kForward || m_kind == kDoubleForward) {
        ++m_position;
        m_centred = m_position;
        paintSquare(m_position, regionColor(square(m_position).group));
        beep();
    } else {
        paintSquare(m_position, kWhite);
        --m_position;
        if (m_position >= 1)
            m_centred = m_position;
    }
    if (m_position == m_target) {
        m_running[Main] = false;
        m_startEnabled = true;
        m_focus = Button::Start;
        if (m_position >= 1 && m_position <= kSquareCount)
            m_prefLabel = (QStringLiteral("\u3000") + squareName(m_position)).right(4);
        if (m_position == 19 || m_position == 36) {
            if (draw(2) == 1) {
                gameOver();
                return;
            }
            m_mes1 = m_position == 19 ? QStringLiteral("先は長い！！") : QStringLiteral("よくきたのぉ～！！");
            m_mes1Visible = true;
        }
    }
    if (m_position < 1)
        gameOver();
    else if (m_position == kSquareCount)
        finish();
}

void CountryGame::endTimers()
{
    m_running[Main] = m_running[SlotMan] = m_running[SlotSai] = false;
    m_running[Over] = true;
    // The game is over: no button may start another turn during the closing flashes.
    m_startEnabled = m_stopSaiEnabled = m_stopManEnabled = false;
    m_turnPending = false;
    m_focus = Button::None;
    m_finished = true;
}

void CountryGame::gameOver()
{
    m_won = false;
    endTimers();
    m_mes1 = defeatTaunt(m_position);
    m_mes1Visible = true;
    m_mes2Visible = true;
}

void CountryGame::finish()
{
    m_won = true;
    endTimers();
    m_mes1 = QStringLiteral("夢見果てたり！");
    m_mes1Back = kPink;
    m_mes1Visible = true;
    m_mes2Back = kPink;
    m_mes2Visible = true;
}

CountryGame::OverAction CountryGame::overTick()
{
    if (!m_running[Over])
        return OverAction::Continue;
    if (m_windowBack != kWhite)
        m_windowBack = kWhite;
    else
        m_windowBack = m_won ? kPink : kBlack;
    ++m_overTicks;
    if (m_overTicks == 20) {
        m_windowBack = kBlack;
        // No flashing while the question is open.
        m_running[Over] = false;
        if (onBeforeQuestion)
            onBeforeQuestion();
        const auto answer = platform::prompts().message(platform::MsgIcon::Question, platform::MsgButtons::YesNo,
                                                        QStringLiteral("国盗合戦"), QStringLiteral("再チャレンジしますか？"));
        if (answer == platform::MsgAnswer::No)
            return OverAction::EndProgram;
        m_mes1 = QStringLiteral("人生二度なし！");
        m_running[Over] = true;
    } else if (m_overTicks >= 40) {
        m_windowBack = kBlack;
        m_running[Over] = false;
        return OverAction::EndProgram;
    }
    return OverAction::Continue;
}

} // namespace miratos::games
