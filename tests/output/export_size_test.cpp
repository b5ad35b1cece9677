// Paper and pixel sizes, smoothing, SVG, the credit and the north arrow, through the render
// command on two one-degree square prefectures (東京都 139..140, 神奈川県 140..141).
#include "../mapview/map_fixture.h"
#include "cli/render_command.h"
#include "output/export_options.h"
#include "output/image_export.h"
#include "platform/app_folder.h"
#include "state/mdl_main.h"
#include "store/source_file.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace miratos;

namespace {

class ExportSize : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        writeSquarePrefectures();
    }
    int run(QStringList args, const QString& out)
    {
        errText.clear();
        QString outText;
        QTextStream o(&outText), e(&errText);
        args = QStringList{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--labels")} + args +
               QStringList{QStringLiteral("--out"), out};
        return cli::runRenderCommand(args, o, e);
    }
    QString file(const QString& name) { return dir.filePath(name); }
    // The file's text with the tags taken out: an SVG writes a line as several runs of <text>.
    QString readText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).remove(QRegularExpression(QStringLiteral("<[^>]*>\\s*"))) : QString();
    }
    QString readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QString errText;
};

double darkness(QRgb c)
{
    return (255.0 - qGray(c)) / 255.0;
}

// Runs of dark pixels along a row or column: (start, end) pairs.
QVector<QPair<int, int>> darkRuns(const QImage& image, int fixed, bool alongRow)
{
    QVector<QPair<int, int>> runs;
    const int n = alongRow ? image.width() : image.height();
    int start = -1;
    for (int i = 0; i <= n; ++i) {
        const bool dark = i < n && qGray(alongRow ? image.pixel(i, fixed) : image.pixel(fixed, i)) < 160;
        if (dark && start < 0)
            start = i;
        if (!dark && start >= 0) {
            runs.append({start, i - 1});
            start = -1;
        }
    }
    return runs;
}

struct Measured {
    double lineWidth = 0;  // the boundary between the two prefectures, in pixels
    int labelHeight = 0;   // the name 東京都, in pixels
};

// The three vertical boundaries (139°, 140°, 141°) cross the row below the names.
Measured measure(const QImage& image)
{
    Measured m;
    int row = -1;
    QVector<QPair<int, int>> lines;
    for (int y = image.height() / 2; y < image.height() * 3 / 4 && row < 0; ++y) {
        lines = darkRuns(image, y, true);
        if (lines.size() == 3)
            row = y;
    }
    if (row < 0)
        return m;
    for (int x = lines[1].first - 3; x <= lines[1].second + 3; ++x)
        m.lineWidth += darkness(image.pixel(x, row));
    // Names are red, everything else black: the name's rows are its red pixels west of 140°.
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < lines[1].first; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) - qGreen(c) > 80) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    m.labelHeight = bottom - top + 1;
    return m;
}

} // namespace

TEST_F(ExportSize, PaperAndPixelSizesGiveTheirPixelsAndScaleLinesAndNamesTogether)
{
    struct Case {
        QStringList args;
        QSize size;
    };
    const Case cases[] = {
        {{QStringLiteral("--paper"), QStringLiteral("A4L"), QStringLiteral("--dpi"), QStringLiteral("150")}, {1754, 1240}},
        {{QStringLiteral("--paper"), QStringLiteral("A4L"), QStringLiteral("--dpi"), QStringLiteral("300")}, {3508, 2480}},
        {{QStringLiteral("--paper"), QStringLiteral("A3P")}, {1754, 2480}},
        {{QStringLiteral("--size"), QStringLiteral("1200x900")}, {1200, 900}},
    };
    QVector<Measured> measured;
    for (const Case& c : cases) {
        const QString out = file(QStringLiteral("paper.png"));
        ASSERT_EQ(run(c.args, out), 0) << errText.toStdString();
        const QImage image(out);
        EXPECT_EQ(image.size(), c.size) << c.args.join(QLatin1Char(' ')).toStdString();
        measured << measure(image);
    }
    // Twice the resolution: lines twice as wide and names twice as tall, drawn again rather than
    // enlarged (a smoothed 1.6 px line becomes 3.1 px).
    ASSERT_GT(measured[0].lineWidth, 1.2);
    ASSERT_GT(measured[0].labelHeight, 8);
    EXPECT_NEAR(measured[1].lineWidth / measured[0].lineWidth, 2.0, 0.25);
    EXPECT_NEAR(static_cast<double>(measured[1].labelHeight) / measured[0].labelHeight, 2.0, 0.25);
    // At 150 dpi a name is as tall on paper as on a 96 dpi screen: 1.56 times its screen pixels.
    const QString screen = file(QStringLiteral("screen.png"));
    ASSERT_EQ(run({QStringLiteral("--no-antialias")}, screen), 0) << errText.toStdString();
    const Measured shown = measure(QImage(screen));
    ASSERT_GT(shown.labelHeight, 0);
    EXPECT_NEAR(static_cast<double>(measured[0].labelHeight) / shown.labelHeight, 150.0 / 96, 0.3);
}

TEST_F(ExportSize, SpecifiedBitmapIsUnchangedAndSmoothingIsForTheOtherFormats)
{
    // The specified bitmap: exactly the picture composed without any of the new options.
    const QString bmp = file(QStringLiteral("map.bmp"));
    ASSERT_EQ(run({}, bmp), 0) << errText.toStdString();
    const QString unsmoothed = file(QStringLiteral("plain.png"));
    ASSERT_EQ(run({QStringLiteral("--no-antialias")}, unsmoothed), 0);
    const QString smoothed = file(QStringLiteral("smooth.png"));
    ASSERT_EQ(run({}, smoothed), 0);
    const QImage b = QImage(bmp).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(b, QImage(unsmoothed).convertToFormat(QImage::Format_RGB32));
    const QImage s = QImage(smoothed).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(s.size(), b.size());
    // Smoothing leaves grey edge pixels where the bitmap has only black and white (and fills).
    auto greys = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int g = qGray(image.pixel(x, y));
                n += g > 40 && g < 215;
            }
        return n;
    };
    EXPECT_GT(greys(s), greys(b) + 50);

    // --antialias smooths a bitmap too when asked.
    const QString asked = file(QStringLiteral("asked.bmp"));
    ASSERT_EQ(run({QStringLiteral("--antialias")}, asked), 0);
    EXPECT_EQ(QImage(asked).convertToFormat(QImage::Format_RGB32), s);
}

TEST_F(ExportSize, SvgHoldsNamesAsTextShapesAsPathsAndTheCreditOfWhatWasDrawn)
{
    const QString svg = file(QStringLiteral("map.svg"));
    ASSERT_EQ(run({QStringLiteral("--style"), QStringLiteral("2"), QStringLiteral("--paper"), QStringLiteral("A4L")}, svg), 0)
        << errText.toStdString();
    const QString svgFile = readFile(svg);
    EXPECT_TRUE(svgFile.startsWith(QStringLiteral("<?xml"))) << svgFile.left(80).toStdString();
    EXPECT_TRUE(svgFile.contains(QRegularExpression(QStringLiteral("<text[^>]*>東京都</text>"))));
    EXPECT_TRUE(svgFile.contains(QStringLiteral("<path")));
    const QString text = readText(svg);
    // The paper size carries the credit of the boundaries drawn, not the specified note.
    EXPECT_TRUE(text.contains(QStringLiteral("「国土数値情報（行政区域データ）」（国土交通省）を加工して作成")));
    // One element for the line, so that a viewer with other fonts cannot draw its parts over each other.
    EXPECT_TRUE(svgFile.contains(QStringLiteral(">「国土数値情報（行政区域データ）」（国土交通省）を加工して作成</text>")));
    EXPECT_FALSE(text.contains(QStringLiteral("出展元")));
    EXPECT_FALSE(text.contains(QStringLiteral("鉄道データ")));

    // The specified picture keeps its note; a credit given replaces it, line by line.
    ASSERT_EQ(run({}, svg), 0);
    EXPECT_TRUE(readText(svg).contains(QStringLiteral("出展元：国土交通省")));
    EXPECT_FALSE(readText(svg).contains(QStringLiteral("国土数値情報")));
    ASSERT_EQ(run({QStringLiteral("--credit"), QStringLiteral("自作の境界\n地図：ミラトス")}, svg), 0);
    const QString edited = readText(svg);
    EXPECT_TRUE(edited.contains(QStringLiteral("自作の境界")));
    EXPECT_TRUE(edited.contains(QStringLiteral("地図：ミラトス")));
    EXPECT_FALSE(edited.contains(QStringLiteral("出展元")));
}

TEST(ExportCredit, EachSourceDrawnGetsItsOwnLineInTheWordingOfItsTerms)
{
    using output::DrawnData;
    const QString admin = QStringLiteral("「国土数値情報（行政区域データ）」（国土交通省）を加工して作成");
    const QString rail = QStringLiteral("「国土数値情報（鉄道データ）」（国土交通省）を加工して作成");
    const QString build = QStringLiteral("「国土数値情報（公共施設データ）」（国土交通省）を加工して作成");
    const QString census = QStringLiteral("「国勢調査」（総務省統計局）を加工して作成");
    struct Case {
        DrawnData drawn;
        QStringList lines;
    };
    const Case cases[] = {
        {{true, false, false, false, false, {}}, {admin}},
        {{true, false, true, true, true, {}}, {admin, rail, build, census}},
        {{false, true, false, false, true, {}}, {census}}, // small areas and their tables: one census line
        {{false, false, false, false, false, {}}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(output::creditLines(c.drawn), c.lines);
    output::ExportOptions edited;
    edited.creditText = QStringLiteral(" 自作 \n\n地図 ");
    EXPECT_EQ(output::creditOf(edited, cases[1].drawn), (QStringList{QStringLiteral("自作"), QStringLiteral("地図")}));
}

// The boundaries' credit is the one their import recorded: a demo map made from R's maps
// database is not credited to 国土数値情報; folders the specified converters made still are.
TEST_F(ExportSize, TheBoundaryCreditIsTheOneTheImportRecorded)
{
    const QString admin = QStringLiteral("「国土数値情報（行政区域データ）」（国土交通省）を加工して作成");
    const QString maps = QStringLiteral("R の maps／mapdata パッケージの japan データベースを加工して作成");
    EXPECT_EQ(output::boundaryCreditsOf(state::mdlMain()), QStringList());
    auto record = [&](const QString& pref) {
        ASSERT_TRUE(store::writeSourceFile(platform::AppFolder::prefFolder(pref) + QStringLiteral("出典.txt"), maps).ok());
    };
    record(QStringLiteral("東京都"));
    EXPECT_EQ(output::boundaryCreditsOf(state::mdlMain()), (QStringList{admin, maps}));
    record(QStringLiteral("神奈川県"));
    const QStringList credits = output::boundaryCreditsOf(state::mdlMain());
    EXPECT_EQ(credits, QStringList{maps});
    output::DrawnData drawn;
    drawn.boundaries = true;
    drawn.boundaryCredits = credits;
    EXPECT_EQ(output::creditLines(drawn), QStringList{maps});
}

TEST(ExportCorner, TheBoxGoesToTheCornerThatCoversLeastNeverOntoATakenOne)
{
    // A 200 × 100 map inked everywhere but in the corner named free.
    struct Case {
        int free; // 0 top left, 1 top right, 2 bottom left, 3 bottom right
        QVector<QRect> labels;
        QVector<QRect> taken;
        QPoint expected;
    };
    const QSize box(40, 20);
    const Case cases[] = {
        {1, {}, {}, {150, 10}},
        {2, {}, {}, {10, 70}},
        // A name over the free corner weighs more than the map's lines: the first of the others.
        {3, {QRect(150, 70, 40, 20)}, {}, {10, 10}},
        {0, {}, {QRect(0, 0, 60, 40)}, {150, 10}}, // the free corner holds the legend
    };
    for (const Case& c : cases) {
        QImage map(200, 100, QImage::Format_RGB32);
        map.fill(Qt::white);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const int corner = (x >= 100 ? 1 : 0) + (y >= 50 ? 2 : 0);
                if (corner != c.free)
                    map.setPixel(x, y, qRgb(90, 90, 90));
            }
        const QRect at = output::leastCoveredCorner(map, map.rect(), box, 10, c.labels, c.taken);
        EXPECT_EQ(at.size(), box);
        EXPECT_EQ(at.topLeft(), c.expected) << "free corner " << c.free;
    }
}

TEST_F(ExportSize, NorthArrowAndScaleBarGoWhereNoMapIs)
{
    // The squares fill the middle band of a tall page: the corners above and below are empty.
    const QString out = file(QStringLiteral("arrow.png"));
    ASSERT_EQ(run({QStringLiteral("--paper"), QStringLiteral("A4P"), QStringLiteral("--north-arrow")}, out), 0) << errText.toStdString();
    const QImage image(out);
    const QString plain = file(QStringLiteral("plain.png"));
    ASSERT_EQ(run({QStringLiteral("--paper"), QStringLiteral("A4P")}, plain), 0);
    const QImage without(plain);
    ASSERT_EQ(image.size(), without.size());
    // The arrow is the only difference, and it lies wholly outside the squares' rows.
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != without.pixel(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(bottom, 0) << "no north arrow drawn";
    const auto column = darkRuns(image, image.width() / 4, false); // crosses the west square
    ASSERT_GE(column.size(), 2u);
    const int squareTop = column.front().first == 0 ? column[1].first : column.front().first;
    const int squareBottom = column.back().second;
    EXPECT_TRUE(bottom < squareTop || top > squareBottom) << top << ".." << bottom << " vs " << squareTop << ".." << squareBottom;
}

TEST_F(ExportSize, RenderRefusesSizesItCannotMake)
{
    const QString out = file(QStringLiteral("x.png"));
    const QStringList bad[] = {
        {QStringLiteral("--paper"), QStringLiteral("A5L")},
        {QStringLiteral("--paper"), QStringLiteral("A4L"), QStringLiteral("--dpi"), QStringLiteral("200")},
        {QStringLiteral("--dpi"), QStringLiteral("300")},
        {QStringLiteral("--size"), QStringLiteral("50x50")},
        {QStringLiteral("--size"), QStringLiteral("10000x10000")},
        {QStringLiteral("--size"), QStringLiteral("1200×900")},
        {QStringLiteral("--paper"), QStringLiteral("A4L"), QStringLiteral("--size"), QStringLiteral("1200x900")},
    };
    for (const QStringList& args : bad) {
        EXPECT_EQ(run(args, out), 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(errText.startsWith(QStringLiteral("miratos render: --"))) << errText.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_F(ExportSize, LegendShowsTheFacilitySymbolsDrawnWithTheirClassNames)
{
    ASSERT_TRUE(platform::writeTextLines(folder(QStringLiteral("東京都")) + QStringLiteral("Build.dat"),
                                         {QStringLiteral("35.3 139.3|13101|学校|小学校|麹町小学校|麹町2-8|市区町村"),
                                          QStringLiteral("35.7 139.6|13101|郵便局|郵便局|麹町局|麹町1|国"),
                                          QStringLiteral("35.6 139.4|13101|病院|一般病院|東京病院|本郷1|国")})
                    .ok());
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("MapData/公共施設.ini")),
                                         {QStringLiteral("[BuildString]"), QStringLiteral("学校=学"), QStringLiteral("郵便局=〒")})
                    .ok());
    const QString svg = file(QStringLiteral("symbols.svg"));
    ASSERT_EQ(run({QStringLiteral("--facility-symbols"), QStringLiteral("--legend-symbols")}, svg), 0) << errText.toStdString();
    const QString text = readFile(svg);
    // 病院 has no symbol of its own (its markers are dots): it gets no legend row.
    for (const char* shown : {">学校</text>", ">郵便局</text>", ">〒</text>"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
    EXPECT_FALSE(text.contains(QStringLiteral(">病院</text>")));

    ASSERT_EQ(run({QStringLiteral("--facility-symbols")}, svg), 0);
    EXPECT_FALSE(readFile(svg).contains(QStringLiteral(">学校</text>"))) << "the legend is asked for";
}
