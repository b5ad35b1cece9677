// The generated 国盗合戦 board: what it says without map data, the playability check, and on the
// real boundaries of all 47 prefectures (imported from the shared TopoJSON, skipped without it)
// every seed well inside its prefecture, its fill reaching no other prefecture.
#include "cli/board_command.h"
#include "games/board_picture.h"
#include "games/board_squares.h"
#include "game_fixture.h"
#include "window_driver.h"

#include "cli/import_command.h"
#include "platform/app_folder.h"
#include "platform/canvas.h"
#include "platform/prompts.h"
#include "state/prefectures.h"
#include "store/point_file.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <memory>

using namespace miratos;
using namespace miratos::games;
using miratos::games::gametest::boxedBoard;

namespace {

QString topoJson(int code)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_%1_210101.json").arg(code, 2, 10, QLatin1Char('0'));
}

} // namespace

TEST(BoardPicture, MissingMapDataIsNamedNotACrash)
{
    QTemporaryDir dir;
    auto board = generateBoard(dir.path());
    ASSERT_FALSE(board.ok());
    EXPECT_TRUE(board.error().contains(QStringLiteral("全47都道府県"))) << board.error().toStdString();

    // One prefecture present with a usable outline: the message lists the others, not it.
    const QString tokyo = QDir(dir.path()).filePath(QStringLiteral("東京都"));
    QDir().mkpath(tokyo);
    QFile line(tokyo + QStringLiteral("/Line.dat"));
    ASSERT_TRUE(line.open(QIODevice::WriteOnly));
    line.write("13c1\r\n35.5 139.0 35.5 139.5 35.8 139.5 35.5 139.0\r\n");
    line.close();
    QFile prefLine(tokyo + QStringLiteral("/PrefLine.dat"));
    ASSERT_TRUE(prefLine.open(QIODevice::WriteOnly));
    prefLine.write("13c1\r\n");
    prefLine.close();
    auto outlines = loadBoardOutlines(dir.path());
    ASSERT_FALSE(outlines.ok());
    EXPECT_TRUE(outlines.error().contains(QStringLiteral("北海道")));
    EXPECT_TRUE(outlines.error().contains(QStringLiteral("沖縄県")));
    EXPECT_FALSE(outlines.error().contains(QStringLiteral("東京都")));
}

// An outline ring naming one long line again and again is refused before it is walked: the
// prefecture counts as one without a usable outline.
TEST(BoardPicture, OutlineRingWalkingOneLineTooOftenIsRefused)
{
    QTemporaryDir dir;
    const QString tokyo = QDir(dir.path()).filePath(QStringLiteral("東京都"));
    QDir().mkpath(tokyo);
    QByteArray points;
    for (int i = 0; i < 20000; ++i)
        points += QByteArray::number(35.5 + i * 1e-5, 'f', 5) + " 139." + QByteArray::number(10000 + i) + " ";
    QFile line(tokyo + QStringLiteral("/Line.dat"));
    ASSERT_TRUE(line.open(QIODevice::WriteOnly));
    line.write("13c1\r\n35.5 139.0 35.5 139.5 35.8 139.5 35.5 139.0\r\n13c9\r\n" + points.trimmed() + "\r\n");
    line.close();
    for (const bool swollen : {false, true}) {
        QFile prefLine(tokyo + QStringLiteral("/PrefLine.dat"));
        ASSERT_TRUE(prefLine.open(QIODevice::WriteOnly | QIODevice::Truncate));
        prefLine.write(swollen ? QByteArray("13c1\r\n") + QList<QByteArray>(600, "13c9").join('@') + "\r\n" : QByteArray("13c1\r\n"));
        prefLine.close();
        auto outlines = loadBoardOutlines(dir.path());
        ASSERT_FALSE(outlines.ok());
        // 東京都 with its good ring is left out of the list of missing ones; refused, all 47 are.
        EXPECT_EQ(outlines.error().contains(QStringLiteral("全47都道府県")), swollen) << outlines.error().toStdString();
    }
}

TEST(BoardPicture, BoardCommandSaysWhatIsWrong)
{
    QTemporaryDir dir;
    platform::AppFolder::set(dir.path());
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{}, 2, "usage"},
        {{QStringLiteral("--out")}, 2, "unknown argument"},
        {{QStringLiteral("--out"), dir.filePath(QStringLiteral("b.xyz"))}, 2, "usage"},
        {{QStringLiteral("--out"), dir.filePath(QStringLiteral("b.png"))}, 1, "MapData"},
    };
    for (const auto& c : cases) {
        QString text;
        QTextStream out(&text), err(&text);
        EXPECT_EQ(cli::runBoardCommand(c.args, out, err), c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.png"))));
    platform::AppFolder::set(QString());
}

TEST(BoardPicture, PlayableOnlyWhenEverySeedHasItsOwnRegion)
{
    EXPECT_TRUE(badSquares(boxedBoard(2)).isEmpty());

    // Without borders every fill reaches every other seed.
    QImage blank(kBoardWidth, kBoardHeight, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(badSquares(blank).size(), kSquareCount);

    // A seed on a border pixel cannot start a fill; a box shared by two seeds fails both.
    QImage board = boxedBoard(2);
    board.setPixel(square(10).seed, qRgb(0, 0, 0));
    {
        QPainter p(&board);
        p.fillRect(QRect(square(36).seed, square(37).seed).normalized().adjusted(-3, -3, 3, 3), Qt::white);
        p.setPen(Qt::black);
        p.drawRect(QRect(square(36).seed, square(37).seed).normalized().adjusted(-4, -4, 4, 4));
    }
    EXPECT_EQ(badSquares(board), (QVector<int>{10, 36, 37}));
}

TEST(BoardPicture, FitPutsEverySeedInsideEvenAnOkinawaOffTheTrack)
{
    // Every prefecture a 10-pixel square around its seed under a plain projection, except 沖縄県:
    // a smaller square 9 pixels off, which only a shift of its own can bring under its seed.
    auto toGeo = [](QPointF px) { return QPointF(137 + (px.x() - 700) / 52.0, 35 - (px.y() - 660) / 58.0); };
    BoardOutlines outlines;
    for (int n = 1; n <= kSquareCount; ++n) {
        const QPointF centre = QPointF(square(n).seed) + (n == 1 ? QPointF(9, 4) : QPointF());
        const double half = n == 1 ? 3.5 : 5.0;
        QPolygonF ring;
        for (QPointF corner : {QPointF(-half, -half), QPointF(half, -half), QPointF(half, half), QPointF(-half, half)})
            ring << toGeo(centre + corner);
        outlines.rings[static_cast<size_t>(n - 1)] << ring;
    }
    const BoardProjection projection = fitBoardProjection(outlines);
    for (int n = 1; n <= kSquareCount; ++n)
        EXPECT_GE(seedMargin(outlines, projection, n), 2.5) << squareName(n).toStdString();
    EXPECT_TRUE(badSquares(drawBoard(outlines, projection)).isEmpty());
}

// The real boundaries of all 47 prefectures, imported once for the suite.
class RealBoard : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QFile::exists(topoJson(1)))
            return;
        s_dir = std::make_unique<QTemporaryDir>();
        platform::AppFolder::set(s_dir->path());
        QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), s_dir->filePath(QStringLiteral("Init.ini")));
        QStringList files;
        for (int code = 1; code <= 47; ++code)
            files << topoJson(code);
        QString text;
        QTextStream out(&text), err(&text);
        s_imported = cli::runImportCommand(files, out, err) == 0;
        platform::AppFolder::set(QString());
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    void SetUp() override
    {
        if (!QFile::exists(topoJson(1)))
            GTEST_SKIP() << "shared data not found at " << MIRATOS_SHARED_DATA;
        ASSERT_TRUE(s_imported);
    }
    static QString mapData() { return s_dir->filePath(QStringLiteral("MapData")); }

    static inline std::unique_ptr<QTemporaryDir> s_dir;
    static inline bool s_imported = false;
};

TEST_F(RealBoard, EverySeedFillsItsOwnPrefectureOnly)
{
    auto outlines = loadBoardOutlines(mapData());
    ASSERT_TRUE(outlines.ok()) << outlines.error().toStdString();
    const BoardProjection projection = fitBoardProjection(*outlines);
    const QImage board = drawBoard(*outlines, projection);
    ASSERT_EQ(board.size(), QSize(kBoardWidth, kBoardHeight));

    // Every label point of every municipality, on the board, by square.
    std::array<QVector<QPoint>, kSquareCount> labels;
    for (int n = 1; n <= kSquareCount; ++n) {
        EXPECT_GE(seedMargin(*outlines, projection, n), 2.0) << squareName(n).toStdString();
        const QString folder = QDir(mapData()).filePath(state::prefectureName(square(n).prefCode));
        auto points = store::readPointFile(folder + QStringLiteral("/Point.dat"));
        ASSERT_TRUE(points.ok());
        for (const auto& record : *points) {
            const QStringList latLon = record.point.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QPoint p = projection.toPixel({latLon.value(1).toDouble(), latLon.value(0).toDouble()}, n).toPoint();
            if (QRect(0, 0, kBoardWidth, kBoardHeight).contains(p) && board.pixel(p) != qRgb(0, 0, 0))
                labels[static_cast<size_t>(n - 1)] << p;
        }
        EXPECT_FALSE(labels[static_cast<size_t>(n - 1)].isEmpty());
    }
    constexpr int marker = 0x00FF01;
    for (int n = 1; n <= kSquareCount; ++n) {
        platform::Canvas canvas(kBoardWidth, kBoardHeight);
        canvas.image() = board;
        ASSERT_TRUE(canvas.floodFillBorder(square(n).seed, marker, 0)) << squareName(n).toStdString();
        int touched = 0;
        for (int other = 1; other <= kSquareCount; ++other) {
            if (other == n)
                continue;
            for (const QPoint& p : labels[static_cast<size_t>(other - 1)])
                touched += canvas.pixel(p) == marker;
        }
        EXPECT_EQ(touched, 0) << squareName(n).toStdString() << " reaches other prefectures";
    }
    EXPECT_TRUE(badSquares(board).isEmpty());
}

TEST_F(RealBoard, GeneratedBoardIsBlackOnWhite)
{
    // Through the command, as a teacher who prints it would make it.
    platform::AppFolder::set(s_dir->path());
    const QString file = s_dir->filePath(QStringLiteral("board.png"));
    QString text;
    QTextStream out(&text), err(&text);
    const int exitCode = cli::runBoardCommand({QStringLiteral("--out"), file}, out, err);
    platform::AppFolder::set(QString());
    ASSERT_EQ(exitCode, 0) << text.toStdString();
    const QImage board(file);
    ASSERT_EQ(board.size(), QSize(kBoardWidth, kBoardHeight));
    int black = 0, other = 0;
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            const QRgb c = board.pixel(x, y) & 0xFFFFFF;
            black += c == 0;
            other += c != 0 && c != 0xFFFFFF;
        }
    EXPECT_EQ(other, 0);
    EXPECT_GT(black, 10000); // the outlines of Japan, not an empty picture
}

TEST_F(RealBoard, AGameToVictoryPaintsEverySquareInItsGroupColour)
{
    auto board = generateBoard(mapData());
    ASSERT_TRUE(board.ok()) << board.error().toStdString();
    gametest::ScriptedRandom random; // unshuffled colours; both risky squares spare the player
    platform::ScopedScriptedPrompts prompts;
    prompts.queue(platform::MsgAnswer::Yes);
    frmGetCountry w(*board);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    const CountryGame& g = *w.game();
    gametest::saveShot(w, QStringLiteral("country_start.png"));
    const struct {
        int kind, die;
        const char* message; // txtMes1 after the turn, when shown
    } turns[] = {
        {CountryGame::kForward, 6, nullptr},       {CountryGame::kDoubleForward, 6, nullptr},
        {CountryGame::kForward, 1, "先は長い！！"}, {CountryGame::kDoubleForward, 5, nullptr},
        {CountryGame::kForward, 6, nullptr},       {CountryGame::kForward, 1, "よくきたのぉ～！！"},
        {CountryGame::kDoubleForward, 5, nullptr}, {CountryGame::kForward, 1, nullptr},
    };
    auto* mes1 = w.findChild<QLineEdit*>(QStringLiteral("txtMes1"));
    for (const auto& t : turns) {
        gametest::playWindowTurn(w, t.kind, t.die);
        SCOPED_TRACE(g.position());
        gametest::expectCentredOn(w, g.position());
        if (t.message) {
            EXPECT_TRUE(mes1->isVisible());
            EXPECT_EQ(mes1->text(), QString::fromUtf8(t.message));
        }
        if (g.position() == 19)
            gametest::saveShot(w, QStringLiteral("country_kyoto.png"));
    }
    ASSERT_EQ(g.position(), 47);
    EXPECT_TRUE(g.won());
    for (int n = 1; n <= kSquareCount; ++n)
        EXPECT_EQ(gametest::shownColorAt(w, n), platform::toQColor(g.regionColor(square(n).group)).rgb() & 0xFFFFFF)
            << squareName(n).toStdString();
    EXPECT_EQ(mes1->text(), QStringLiteral("夢見果てたり！"));
    gametest::saveShot(w, QStringLiteral("country_victory.png"));
    for (int tick = 1; tick <= 20; ++tick)
        w.tmrOver_Timer();
    EXPECT_EQ(mes1->text(), QStringLiteral("人生二度なし！"));
    w.tmrOver_Timer();
    gametest::saveShot(w, QStringLiteral("country_once_in_a_life.png"));
    for (int tick = 22; tick <= 40; ++tick)
        w.tmrOver_Timer();
    EXPECT_FALSE(w.isVisible());
}
