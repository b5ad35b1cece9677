#include "../mapview/map_fixture.h"
#include "app/frm_main.h"
#include "modal.h"
#include "output/frm_location.h"
#include "output/image_export.h"
#include "cli/render_command.h"
#include "platform/prompts.h"
#include "platform/text_file.h"
#include "state/scheme_options.h"
#include "store/district_file.h"
#include "store/railway_files.h"
#include "stats/frm_rank.h"
#include "stats/frm_statistic.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QListWidget>
#include <QTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::output;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// A 600 × 600 map of x 139..140, y 35..36 (one degree = 600 px), painted light grey.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state::resetMdlMain();
        auto& s = state::mdlMain();
        s.MapMode = QStringLiteral("Pref");
        state::prepareMode(s);
        map.setScale(139, 36, 140, 35);
        map.image().fill(QColor(200, 200, 200));
        scene.map = &map;
        scene.view = {139, 36, 140, 35};
        scene.data = {139.1f, 35.1f, 139.5f, 35.5f};
        scene.labels = &labels;
    }
    void statistics(int ranks)
    {
        auto& s = state::mdlMain();
        s.StatDrawn = true;
        s.StatItemName = QStringLiteral("人口(人)");
        s.RankCount = static_cast<int16_t>(ranks);
        s.RankBound.assign(static_cast<size_t>(ranks) + 1, {0, 10});
        s.RankColor.assign(static_cast<size_t>(ranks) + 1, 255);
        s.StatPainted = {s.StatItemName, s.RankCount, s.RankBound, s.RankColor}; // as the fill records it
    }
    platform::Canvas map{600, 600};
    mapview::LabelLayer labels;
    ExportScene scene;
};

} // namespace

TEST_F(ExportTest, LegendHeightGrowsByOneLineAndFivePixelsWithACopyright)
{
    statistics(5);
    const LegendBox without = legendBox(scene, state::mdlMain());
    state::mdlMain().NoteMaker = QStringLiteral("ミラトス");
    const LegendBox with = legendBox(scene, state::mdlMain());
    EXPECT_EQ(with.height - without.height, with.lineHeight + 5);
    EXPECT_EQ(without.height, without.lineHeight * (3 + 5) + 45);
    state::mdlMain().MapMode = QStringLiteral("City");
    EXPECT_EQ(legendBox(scene, state::mdlMain()).height, with.lineHeight * (2 + 1 + 5) + 50);
}

TEST_F(ExportTest, LegendWidthFollowsTheLineWithMostCharactersTheEarlierOnATie)
{
    statistics(3);
    auto& s = state::mdlMain();
    // Line 0 "　　　　　総務省統計局" has 11 characters. A title of 11 narrow characters ties and
    // loses to the earlier (wider) line; with 12 it wins even though it renders narrower.
    s.StatPainted.itemName = QStringLiteral("aaaaaaaaaaa");
    const int tie = legendBox(scene, s).width;
    s.StatPainted.itemName = QStringLiteral("aaaaaaaaaaaa");
    const int longer = legendBox(scene, s).width;
    EXPECT_GT(tie, longer);
    s.StatPainted.itemName = QStringLiteral("人口");
    EXPECT_EQ(legendBox(scene, s).width, tie);
}

TEST_F(ExportTest, RankRowsWiderThanTheMeasuredLinesWidenTheBoxInsteadOfBeingCutOff)
{
    statistics(3);
    auto& s = state::mdlMain();
    const int measured = legendBox(scene, s).width; // "0～10" rows fit: the character-count width
    s.StatPainted.bounds.assign(4, {1.016604e7f, 1.210682e7f});
    const LegendBox box = legendBox(scene, s);
    EXPECT_GT(box.width, measured);

    // In the right-hand frame the rows end inside the picture, clear of its frame.
    s.NoteLocation = 0;
    scene.zoomed = true;
    const QImage image = renderExport(scene, s);
    EXPECT_EQ(image.width(), 604 + box.width);
    int inked = 0;
    for (int x = 604; x < image.width() - 5; ++x)
        for (int y = box.lineHeight + 20; y < box.lineHeight * 5 + 20; ++y)
            inked += image.pixel(x, y) != 0xFFFFFFFF;
    EXPECT_GT(inked, 0);
    for (int y = box.lineHeight + 20; y < box.lineHeight * 5 + 20; ++y)
        EXPECT_EQ(image.pixel(image.width() - 8, y), 0xFFFFFFFF) << "row pixel " << y;
}

TEST_F(ExportTest, RightFrameWidensThePictureWithASeparatingLine)
{
    statistics(3);
    state::mdlMain().NoteLocation = 0;
    const LegendBox box = legendBox(scene, state::mdlMain());
    const QSize base(scene.map->width(), 0);
    scene.zoomed = true;
    const QImage image = renderExport(scene, state::mdlMain());
    EXPECT_EQ(image.width(), 604 + box.width);
    EXPECT_EQ(image.height(), 604);
    EXPECT_EQ(image.pixel(604 - 2 - 2, 300), kBlack); // the vertical line at c - 2
    EXPECT_EQ(image.pixel(image.width() - 5, 300), kBlack); // the frame's right side
    state::mdlMain().NoteLocation = 1;
    EXPECT_EQ(renderExport(scene, state::mdlMain()).width(), 604);
    (void)base;
}

// The canvas is widened for the legend alone: a label or rank circle at the map's right edge is
// cut at the separating line, and the frame looks as it does without them.
TEST_F(ExportTest, InTheRightHandFrameLabelsAndRankCirclesStayOnTheMap)
{
    statistics(3);
    auto& s = state::mdlMain();
    s.NoteLocation = 0;
    scene.zoomed = true;
    const QImage without = renderExport(scene, s);
    s.LayerProperty[0][2] = 1; // white box behind the label
    labels.add(mapview::LabelKind::Pref, QStringLiteral("右端の長い長い地区名"), 139.98, 35.5);
    labels.shpBuild().push_back({139.97, 35.3, 0.1, 0.1});
    const QImage with = renderExport(scene, s);
    ASSERT_EQ(with.size(), without.size());
    const int line = 604 - 4; // the separating line; the legend lies right of it
    int onMap = 0, overLegend = 0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 560; x < with.width(); ++x) {
            const bool differs = with.pixel(x, y) != without.pixel(x, y);
            (x < line ? onMap : overLegend) += differs;
        }
    }
    EXPECT_GT(onMap, 100) << "the label and the circle are drawn up to the line";
    EXPECT_EQ(overLegend, 0);
    const QByteArray shots = qgetenv("MIRATOS_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        with.save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("export_right_frame_clipped.png")));
}

TEST_F(ExportTest, SourceLinesDependOnTheMode)
{
    statistics(3);
    scene.zoomed = true;
    state::mdlMain().NoteLocation = 1;
    const LegendBox box = legendBox(scene, state::mdlMain());
    const int d = box.lineHeight;
    auto inkInRows = [&](const QImage& img, int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = 4; x < box.width - 4; ++x)
                if (img.pixel(x, y) != kWhite)
                    return true;
        return false;
    };
    // Title at 10, three rank rows from 20 + d, the sources 20 lower: the first at 40 + 4d.
    const int first = 40 + 4 * d;
    const int second = first + d;
    const QImage pref = renderExport(scene, state::mdlMain());
    EXPECT_TRUE(inkInRows(pref, first, second - 1));
    EXPECT_TRUE(inkInRows(pref, second, second + 4));
    state::mdlMain().MapMode = QStringLiteral("City");
    const LegendBox cityBox = legendBox(scene, state::mdlMain());
    const QImage city = renderExport(scene, state::mdlMain());
    EXPECT_TRUE(inkInRows(city, first, second - 1));
    // Below the one source line only the feet of its glyphs, far less ink than a second line.
    auto inkCount = [&](const QImage& img) {
        int n = 0;
        for (int y = second; y < std::min(second + d, cityBox.height - 1); ++y)
            for (int x = 4; x < cityBox.width - 4; ++x)
                n += img.pixel(x, y) != kWhite;
        return n;
    };
    EXPECT_LT(inkCount(city) * 5, inkCount(pref));
}

TEST_F(ExportTest, PlainNoteSitsBottomRightWhateverTheLocation)
{
    state::mdlMain().NoteLocation = 1;
    scene.zoomed = true;
    const QImage image = renderExport(scene, state::mdlMain());
    EXPECT_EQ(image.pixel(image.width() - 10, image.height() - 10), kBlack); // the note box's corner
    EXPECT_NE(image.pixel(2, 2), kBlack);                                   // no frame without statistics
    EXPECT_EQ(image.pixel(image.width() - 5, 300), 0xFFC8C8C8);              // map, not a frame
}

TEST_F(ExportTest, LabelsOnlyWhenVisibleFacilityNamesOnlyWhenTickedWhiteBoxesTextSized)
{
    scene.zoomed = true;
    state::mdlMain().LayerProperty[0][2] = 1;
    const int pref = labels.add(mapview::LabelKind::Pref, QStringLiteral("千代田区"), 139.5, 35.5);
    const int hidden = labels.add(mapview::LabelKind::Pref, QStringLiteral("隠れ"), 139.2, 35.8);
    labels.array(mapview::LabelKind::Pref).edit(hidden).visible = false;
    labels.add(mapview::LabelKind::Build, QStringLiteral("施設"), 139.8, 35.2);
    const QSize size = labels.array(mapview::LabelKind::Pref).at(pref).pixelSize;
    QImage image = renderExport(scene, state::mdlMain());
    // The white box covers exactly the text: inside white or ink, just outside the map's grey.
    EXPECT_NE(image.pixel(300 + size.width() - 1, 300 + size.height() - 1), 0xFFC8C8C8);
    EXPECT_EQ(image.pixel(300 + size.width(), 300), 0xFFC8C8C8);
    EXPECT_EQ(image.pixel(300, 300 + size.height()), 0xFFC8C8C8);
    auto inkAround = [](const QImage& img, int x0, int y0) {
        for (int y = y0; y < y0 + 12; ++y)
            for (int x = x0; x < x0 + 20; ++x)
                if (img.pixel(x, y) != 0xFFC8C8C8)
                    return true;
        return false;
    };
    EXPECT_FALSE(inkAround(image, 120, 120)); // the hidden label
    EXPECT_FALSE(inkAround(image, 480, 480)); // facility name without 施設名
    scene.buildNames = true;
    image = renderExport(scene, state::mdlMain());
    EXPECT_TRUE(inkAround(image, 480, 480));
}

TEST_F(ExportTest, SizeFollowsTheTypedEdgeOrTheDataExtent)
{
    scene.zoomed = true;
    scene.typedY2 = 35.5f; // a wide box: exported down to the typed bottom
    EXPECT_EQ(exportSize(scene, state::mdlMain()), QSize(604, 304));
    scene.typedY2 = 0;
    scene.typedX2 = 139.25f;
    EXPECT_EQ(exportSize(scene, state::mdlMain()), QSize(154, 604));
    scene.zoomed = false; // the data extent plus 0.04 degrees
    EXPECT_EQ(exportSize(scene, state::mdlMain()), QSize(268, 268));
}

TEST_F(ExportTest, ScaleBarOnlyWhenShownOnScreen)
{
    scene.zoomed = true;
    scene.scaleText = QStringLiteral("15km");
    scene.scaleLengthPx = 100;
    const QImage hidden = renderExport(scene, state::mdlMain());
    scene.scaleVisible = true;
    const QImage shown = renderExport(scene, state::mdlMain());
    EXPECT_EQ(shown.pixel(15 + 50, 604 - 20 + 6), kBlack);
    EXPECT_NE(hidden.pixel(15 + 50, 604 - 20 + 6), kBlack);
}

TEST_F(ExportTest, BitmapPngAndPdfFilesAndAFailedWrite)
{
    QTemporaryDir dir;
    scene.zoomed = true;
    const QString bmp = dir.filePath(QStringLiteral("image.bmp"));
    const QString png = dir.filePath(QStringLiteral("image.png"));
    const QString pdf = dir.filePath(QStringLiteral("image.pdf"));
    ASSERT_TRUE(saveExport(bmp, scene, state::mdlMain()).ok());
    // PNG is smoothed by default; unsmoothed it is the bitmap's picture.
    ExportOptions unsmoothed;
    unsmoothed.antialias = false;
    ASSERT_TRUE(saveExport(png, scene, state::mdlMain(), unsmoothed).ok());
    ASSERT_TRUE(saveExport(pdf, scene, state::mdlMain()).ok());
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray header = f.read(54);
    EXPECT_EQ(header.left(2), QByteArray("BM"));
    EXPECT_EQ(static_cast<unsigned char>(header[28]), 24); // bits per pixel
    EXPECT_EQ(QImage(bmp).convertToFormat(QImage::Format_RGB32), QImage(png).convertToFormat(QImage::Format_RGB32));
    QFile p(pdf);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_TRUE(p.read(5).startsWith("%PDF"));

    const Status failed = saveExport(dir.filePath(QStringLiteral("missing/folder/image.bmp")), scene, state::mdlMain());
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.error().contains(QStringLiteral("image.bmp")));
}

namespace {

class RenderCommand : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        writeSquarePrefectures();
    }
    int run(const QStringList& args)
    {
        QTextStream out(&outText), err(&errText);
        return cli::runRenderCommand(args, out, err);
    }
    // "画像出力" of the window into file (note location: -1 keeps the dialog's choice).
    void exportWindow(app::frmMain& w, platform::ScriptedPrompts& prompts, const QString& file, int location)
    {
        prompts.queueText(file);
        whenShown<output::frmLocation>([location](output::frmLocation& d) {
            if (location >= 0)
                d.findChild<QRadioButton*>(QStringLiteral("optLocation_%1").arg(location))->setChecked(true);
            d.cmdGo_Click();
        });
        w.cmdImageExport_Click();
    }
    // The command's picture is the window's, pixel for pixel.
    static void expectSamePicture(const QString& rendered, const QString& exported)
    {
        const QImage a(rendered);
        const QImage b(exported);
        ASSERT_FALSE(a.isNull());
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(a.convertToFormat(QImage::Format_RGB32), b.convertToFormat(QImage::Format_RGB32));
    }
    QString outText, errText;
};

} // namespace

TEST_F(RenderCommand, ErrorsPrintOneLineAndExitNonZero)
{
    const QString out = dir.filePath(QStringLiteral("x.png"));
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--pref"), QStringLiteral("ムー県"), QStringLiteral("--out"), out}, "unknown prefecture"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
          QStringLiteral("--column"), QStringLiteral("人口"), QStringLiteral("--out"), out}, "no column"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
          QStringLiteral("--column"), QStringLiteral("地区名"), QStringLiteral("--out"), out}, "not numeric"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("none.csv")),
          QStringLiteral("--column"), QStringLiteral("面積(k㎡)"), QStringLiteral("--out"), out}, "cannot read"},
        {{QStringLiteral("--mode"), QStringLiteral("Moon"), QStringLiteral("--out"), out}, "--mode"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
          QStringLiteral("--compute"), QStringLiteral("密度=[人口]/面積()"), QStringLiteral("--column"), QStringLiteral("密度"),
          QStringLiteral("--out"), out}, "--compute: 計算式「[人口]/面積()」: 列 [人口] は表にありません。"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
          QStringLiteral("--compute"), QStringLiteral("[面積(k㎡)]*2"), QStringLiteral("--column"), QStringLiteral("面積(k㎡)"),
          QStringLiteral("--out"), out}, "「列名=計算式」"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
          QStringLiteral("--compute"), QStringLiteral("倍=[面積(k㎡)]*2"), QStringLiteral("--out"), out}, "--compute needs --column"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--scheme"), QStringLiteral("Set2"), QStringLiteral("--out"), out},
         "--scheme must be a sequential or diverging scheme: Blues, Greens"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--scheme"), QStringLiteral("blues"), QStringLiteral("--out"), out},
         "--scheme must be"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--scheme"), QStringLiteral("Blues"), QStringLiteral("--center"),
          QStringLiteral("0"), QStringLiteral("--out"), out}, "--center needs a diverging --scheme"},
        {{QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--scheme"), QStringLiteral("RdBu"), QStringLiteral("--center"),
          QStringLiteral("zero"), QStringLiteral("--out"), out}, "--center must be a number"},
    };
    for (const auto& c : cases) {
        errText.clear();
        EXPECT_NE(run(c.args), 0) << c.says;
        EXPECT_TRUE(errText.contains(QString::fromUtf8(c.says))) << errText.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

// --district takes a bare file name too, found in the chosen prefectures' folders; one found
// nowhere is an error naming where it was looked for.
TEST_F(RenderCommand, DistrictByBareFileNameIsFoundInThePrefectureFolders)
{
    const QString name = QStringLiteral("17_13101_千代田区.dat");
    const QString full = folder(QStringLiteral("東京都")) + name;
    store::DistrictFile district;
    district.header = QStringLiteral("139.2 35.2 139.8 35.8");
    district.records = {{QStringLiteral("139.2 35.2 139.8 35.2 139.8 35.8 139.2 35.2"), QStringLiteral("1000"), QStringLiteral("1"),
                         QStringLiteral("13101000101"), QStringLiteral("M"), QStringLiteral("丸の内"), QStringLiteral("139.6"),
                         QStringLiteral("35.4")}};
    ASSERT_TRUE(store::writeDistrictFile(full, district).ok());

    const auto render = [this](const QString& district, const QString& out) {
        return run({QStringLiteral("--mode"), QStringLiteral("City"), QStringLiteral("--pref"), QStringLiteral("東京都"),
                    QStringLiteral("--pref"), QStringLiteral("神奈川県"), QStringLiteral("--district"), district, QStringLiteral("--out"), out});
    };
    const QString byName = dir.filePath(QStringLiteral("name.png"));
    const QString byPath = dir.filePath(QStringLiteral("path.png"));
    ASSERT_EQ(render(name, byName), 0) << errText.toStdString();
    ASSERT_EQ(render(full, byPath), 0) << errText.toStdString();
    EXPECT_EQ(QImage(byName), QImage(byPath));
    EXPECT_FALSE(QImage(byName).isNull());

    errText.clear();
    const QString missing = dir.filePath(QStringLiteral("missing.png"));
    EXPECT_EQ(render(QStringLiteral("17_13999_無い区.dat"), missing), 1);
    EXPECT_TRUE(errText.contains(QStringLiteral("17_13999_無い区.dat"))) << errText.toStdString();
    for (const char* pref : {"東京都", "神奈川県"}) {
        EXPECT_TRUE(errText.contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("MapData/") + QString::fromUtf8(pref)))))
            << errText.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(RenderCommand, SameMapAsTheWindowsExport)
{
    const QString rendered = dir.filePath(QStringLiteral("render.bmp"));
    ASSERT_EQ(run({QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
                   QStringLiteral("--column"), QStringLiteral("面積(k㎡)"), QStringLiteral("--ranks"), QStringLiteral("3"),
                   QStringLiteral("--labels"), QStringLiteral("--note-location"), QStringLiteral("3"), QStringLiteral("--out"), rendered}),
              0)
        << errText.toStdString();

    // The same map made through the window's buttons.
    state::resetMdlMain();
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("Japan");
    s.UseSpecialCoordinate = true;
    select(13, QStringLiteral("東京都"));
    select(14, QStringLiteral("神奈川県"));
    app::frmMain::setAutoLoad(false);
    app::frmMain w;
    w.show();
    w.初期化();
    platform::ScopedScriptedPrompts prompts;
    prompts.queueText(dir.filePath(QStringLiteral("面積.csv")));
    extractAndChooseWhenShown<stats::StatisticDialog>(1);
    w.cmdStatistic_Click();
    whenShown<stats::frmRank>([](stats::frmRank& d) {
        d.findChild<QComboBox*>(QStringLiteral("cmbCo"))->setCurrentIndex(0); // 3 ranks
        d.cmdGo_Click();
    });
    w.cmdRank_Click();
    w.findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    const QString exported = dir.filePath(QStringLiteral("window.bmp"));
    exportWindow(w, prompts, exported, 3);
    app::frmMain::setAutoLoad(true);
    expectSamePicture(rendered, exported);
}

// A computed column is painted, ranked and titled as the same column read from a file.
TEST_F(RenderCommand, ComputedColumnPaintsAsAColumnOfTheTable)
{
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("倍.csv")),
                                         {QStringLiteral("Code,地区名,面積(k㎡),倍"), QStringLiteral("13,東京都,2194,4388"),
                                          QStringLiteral("14,神奈川県,2416,4832")})
                    .ok());
    const QString fromFile = dir.filePath(QStringLiteral("file.bmp"));
    const QString computed = dir.filePath(QStringLiteral("computed.bmp"));
    const QStringList common = {QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--column"), QStringLiteral("倍"),
                                QStringLiteral("--ranks"), QStringLiteral("3"), QStringLiteral("--note-location"), QStringLiteral("3")};
    ASSERT_EQ(run(common + QStringList{QStringLiteral("--own-data"), dir.filePath(QStringLiteral("倍.csv")), QStringLiteral("--out"), fromFile}), 0)
        << errText.toStdString();
    ASSERT_EQ(run(common + QStringList{QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")), QStringLiteral("--compute"),
                                       QStringLiteral("倍 = [面積(k㎡)] × 2"), QStringLiteral("--out"), computed}),
              0)
        << errText.toStdString();
    expectSamePicture(computed, fromFile);
}

TEST_F(RenderCommand, RailwaysAndStationNamesAsTheWindowShowsThem)
{
    store::RailwayTables t;
    t.railCurves = {{"cv_rr1", "35.5 139.1 35.5 140.9"}, {"cv_rr2", "35.2 139.2 35.8 139.8"}};
    t.sections = {{"e1", "cv_rr1", "11", "1", "新幹線", ""}, {"e2", "cv_rr2", "12", "4", "私鉄線", ""}};
    t.stationCurves = {{"cv_st1", "35.5 139.5 35.5 139.502"}, {"cv_st2", "35.501 139.501 35.501 139.503"},
                       {"cv_st3", "35.5 140.5 35.5 140.502"}, {"cv_st4", "35.5 139.503 35.5 139.505"}};
    t.stations = {{"s1", "cv_st1", "表参道"}, {"s2", "cv_st2", "表参道"}, {"s3", "cv_st3", "能登"}, {"s4", "cv_st4", "明治神宮前"}};
    const QString folder = store::railwayFolder(dir.filePath(QStringLiteral("MapData")));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(store::writeRailwayFiles(folder, *store::encodeRailwayFiles(t)).ok());

    // With and without "属性非重" (表参道 and 明治神宮前 overlap): the command's picture is the
    // window's export.
    QImage rendered[2];
    for (const bool declutter : {false, true}) {
        const QString renderedPath = dir.filePath(QStringLiteral("render%1.bmp").arg(declutter));
        QStringList args = {QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--railways"), QStringLiteral("--stations"),
                            QStringLiteral("--out"), renderedPath};
        if (declutter)
            args << QStringLiteral("--declutter");
        ASSERT_EQ(run(args), 0) << errText.toStdString();

        state::resetMdlMain();
        auto& s = state::mdlMain();
        s.MapMode = QStringLiteral("Pref");
        s.UseSpecialCoordinate = true;
        s.UseTrain = true;
        select(13, QStringLiteral("東京都"));
        select(14, QStringLiteral("神奈川県"));
        app::frmMain::setAutoLoad(false);
        app::frmMain w;
        w.show();
        w.鉄道データ読込();
        w.初期化();
        w.findChild<QCheckBox*>(QStringLiteral("chkTrain"))->click();
        w.findChild<QPushButton*>(QStringLiteral("cmdReDraw"))->click();
        w.findChild<QCheckBox*>(QStringLiteral("chkEki"))->click();
        if (declutter)
            w.findChild<QPushButton*>(QStringLiteral("cmdDecrease"))->click();
        const QString exported = dir.filePath(QStringLiteral("window%1.bmp").arg(declutter));
        platform::ScopedScriptedPrompts prompts;
        exportWindow(w, prompts, exported, 4);
        app::frmMain::setAutoLoad(true);
        SCOPED_TRACE(declutter ? "with 属性非重" : "without 属性非重");
        expectSamePicture(renderedPath, exported);
        const QImage a(renderedPath);
        // The railway is on it, also in 神奈川県.
        EXPECT_EQ(platform::toColorValue(a.pixelColor(w.canvas().toPixel(140.7, 35.5))), 16711680);
        rendered[declutter] = a;
    }
    EXPECT_NE(rendered[0], rendered[1]) << "属性非重 hides one of the overlapping names";
}

TEST_F(RenderCommand, FacilitiesAsTheWindowShowsThem)
{
    ASSERT_TRUE(platform::writeTextLines(folder(QStringLiteral("東京都")) + QStringLiteral("Build.dat"),
                                         {QStringLiteral("35.3 139.3|13101|学校|小学校|麹町小学校|麹町2-8|市区町村"),
                                          QStringLiteral("35.7 139.6|13101|病院|一般病院|東京病院|本郷1|国")})
                    .ok());
    ASSERT_TRUE(platform::writeTextLines(folder(QStringLiteral("神奈川県")) + QStringLiteral("Build.dat"),
                                         {QStringLiteral("35.5 140.5|14101|学校|小学校|横浜小学校|中区1|市区町村")})
                    .ok());
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("MapData/公共施設.ini")), {QStringLiteral("[BuildString]"), QStringLiteral("学校=学")}).ok());
    const QString csv = dir.filePath(QStringLiteral("来館者.csv"));
    ASSERT_TRUE(platform::writeTextLines(csv, {QStringLiteral("大分類,小分類,名称,来館者数,備考,,経度,緯度"),
                                               QStringLiteral("建物,美術館,東京美術館,300,上野,,139.5,35.5"),
                                               QStringLiteral("建物,美術館,横浜美術館,100,みなとみらい,,140.4,35.6")})
                    .ok());

    const QString rendered = dir.filePath(QStringLiteral("render.bmp"));
    ASSERT_EQ(run({QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--facility-symbols"), QStringLiteral("--facility-names"),
                   QStringLiteral("--facility-ranks"), QStringLiteral("--facility-csv"), csv, QStringLiteral("--out"), rendered}),
              0)
        << errText.toStdString();
    EXPECT_TRUE(errText.isEmpty()) << errText.toStdString();

    state::resetMdlMain();
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("Pref");
    s.UseSpecialCoordinate = true;
    s.UseBuild = true;
    select(13, QStringLiteral("東京都"));
    select(14, QStringLiteral("神奈川県"));
    app::frmMain::setAutoLoad(false);
    app::frmMain w;
    w.show();
    w.初期化();
    platform::ScopedScriptedPrompts prompts;
    w.findChild<QRadioButton*>(QStringLiteral("optMato_1"))->click();
    w.findChild<QCheckBox*>(QStringLiteral("chkBuild"))->click();
    w.findChild<QCheckBox*>(QStringLiteral("chkBuildName"))->click();
    prompts.queueText(csv);
    w.findChild<QPushButton*>(QStringLiteral("cmdBuildCSV"))->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("施設データを、2件取込ました。"));
    w.findChild<QCheckBox*>(QStringLiteral("chkBuild"))->click(); // again, for the imported ones
    w.findChild<QCheckBox*>(QStringLiteral("chkBuild"))->click();
    w.findChild<QCheckBox*>(QStringLiteral("chkBuildRank"))->click();
    EXPECT_EQ(w.labels().circles().size(), 2u);
    const QString exported = dir.filePath(QStringLiteral("window.bmp"));
    exportWindow(w, prompts, exported, -1);
    app::frmMain::setAutoLoad(true);
    expectSamePicture(rendered, exported);
    const QImage a(rendered);
    // The name of the facility in 神奈川県 is on it, right of its marker.
    const QPoint name = w.canvas().toPixel(140.5, 35.5) + QPoint(14, 0);
    int dark = 0;
    for (int dx = 0; dx < 40; ++dx) {
        for (int dy = -6; dy <= 6; ++dy)
            dark += qGray(a.pixel(name + QPoint(dx, dy))) < 100;
    }
    EXPECT_GT(dark, 10);
}

namespace {

QString hex(int value)
{
    return QString::number(value, 16);
}

// Pixels of each colour value in a picture.
QHash<int, int> colourCounts(const QImage& image)
{
    QHash<int, int> counts;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            ++counts[state::rgbColor(qRed(p), qGreen(p), qBlue(p))];
        }
    }
    return counts;
}

} // namespace

TEST_F(RenderCommand, PublishedSchemesCentringAndNoDataGreyPaintTheRegions)
{
    // 神奈川県 holds a secret value in one table and a rise in the other.
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("秘匿.csv")),
                                         {QStringLiteral("Code,地区名,人口"), QStringLiteral("13,東京都,2194"), QStringLiteral("14,神奈川県,X")})
                    .ok());
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("増減.csv")),
                                         {QStringLiteral("Code,地区名,増減"), QStringLiteral("13,東京都,-3"), QStringLiteral("14,神奈川県,5")})
                    .ok());
    const int grey = state::kNoDataGrey;
    const int white = state::kWhite;
    // One value: every rank but the top is empty, and 東京都 takes the darkest of Blues 5.
    const int blues5 = state::rgbColor(0x08, 0x51, 0x9c);
    struct Case {
        const char* name;
        QStringList args;
        QVector<int> painted; // colours that fill a region
        QVector<int> absent;  // in no region (a few text pixels may match)
    };
    const Case cases[] = {
        {"secret value white by default", {"--own-data", "秘匿.csv", "--column", "人口", "--scheme", "Blues"}, {blues5, white}, {grey}},
        {"secret value grey", {"--own-data", "秘匿.csv", "--column", "人口", "--scheme", "Blues", "--nodata-grey"}, {blues5, grey}, {}},
        // min -3, max 6 on round steps of 5: [-5, 0) [0, 5) [5, 10) [10, 15); one rank below 0,
        // three above, so the seven-class RdBu ramp from beside its middle.
        {"change in RdBu centred on 0",
         {"--own-data", "増減.csv", "--column", "増減", "--ranks", "4", "--scheme", "RdBu", "--center", "0", "--nice-breaks"},
         {state::rgbColor(0xfd, 0xdb, 0xc7), state::rgbColor(0x67, 0xa9, 0xcf)},
         {grey}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList args = {QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--note-location"), QStringLiteral("1")};
        for (const QString& a : c.args)
            args << (a.endsWith(QLatin1String(".csv")) ? dir.filePath(a) : a);
        const QString out = dir.filePath(QStringLiteral("scheme.png"));
        ASSERT_EQ(run(args + QStringList{QStringLiteral("--out"), out}), 0) << errText.toStdString();
        const QHash<int, int> counts = colourCounts(QImage(out));
        for (int colour : c.painted)
            EXPECT_GT(counts.value(colour), 10000) << hex(colour).toStdString();
        for (int colour : c.absent)
            EXPECT_LT(counts.value(colour), 100);
    }
}

TEST_F(RenderCommand, NoDataGreyAddsALegendRow)
{
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("秘匿.csv")),
                                         {QStringLiteral("Code,地区名,人口"), QStringLiteral("13,東京都,2194"), QStringLiteral("14,神奈川県,X")})
                    .ok());
    const QString out = dir.filePath(QStringLiteral("legend.png"));
    ASSERT_EQ(run({QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("秘匿.csv")),
                   QStringLiteral("--column"), QStringLiteral("人口"), QStringLiteral("--ranks"), QStringLiteral("3"), QStringLiteral("--nodata-grey"),
                   QStringLiteral("--note-location"), QStringLiteral("1"), QStringLiteral("--out"), out}),
              0)
        << errText.toStdString();
    state::MdlMain& s = state::mdlMain();
    ASSERT_TRUE(s.StatPainted.noDataGrey);
    const ExportScene none;
    const LegendBox with = legendBox(none, s);
    s.StatPainted.noDataGrey = false;
    EXPECT_EQ(with.height - legendBox(none, s).height, with.lineHeight);
    // The box at the top left: the row under the three ranks has a grey swatch, the last rank its colour.
    const QImage image(out);
    const int d = with.lineHeight;
    EXPECT_EQ(image.pixel(10, 20 + d * 4 + d / 2), QColor(217, 217, 217).rgb());
    EXPECT_EQ(image.pixel(10, 20 + d * 3 + d / 2), platform::toQColor(s.StatPainted.colors[3]).rgb());
}

// Where the scale bar finds its own corner (placed names, print sizes), a name that a note box
// would cut is left out whole; otherwise the box covers part of it, as it always did.
TEST_F(ExportTest, NamesGiveWayWholeToTheBoxesWhenTheScaleBarFindsItsCorner)
{
    scene.zoomed = true;
    scene.scaleVisible = true;
    scene.scaleLengthPx = 60;
    scene.scaleText = QStringLiteral("5km");
    const QImage bare = renderExport(scene, state::mdlMain());
    // The note box at the bottom right: its left edge on a row inside it.
    const int row = bare.height() - 16;
    int boxLeft = bare.width() - 20;
    while (boxLeft > 0 && bare.pixel(boxLeft - 1, row) != qRgb(200, 200, 200))
        --boxLeft;
    ASSERT_GT(boxLeft, 60);

    // A long name straddling the box's left edge, and one in the middle of the map.
    const int x = boxLeft - 40, y = row - 6;
    labels.add(mapview::LabelKind::Pref, QStringLiteral("長い長い名前の市町村"), 139 + x / 600.0, 36 - y / 600.0);
    labels.add(mapview::LabelKind::Pref, QStringLiteral("中央市"), 139.5, 35.5);
    auto inkLeftOfBox = [&](const QImage& image) {
        int ink = 0;
        for (int yy = y - 4; yy < y + 12; ++yy) // above the picture's frame
            for (int xx = x; xx < boxLeft - 1; ++xx)
                ink += image.pixel(xx, yy) != qRgb(200, 200, 200);
        return ink;
    };
    auto inkInMiddle = [&](const QImage& image) {
        int ink = 0;
        for (int yy = 290; yy < 320; ++yy)
            for (int xx = 290; xx < 360; ++xx)
                ink += image.pixel(xx, yy) != qRgb(200, 200, 200);
        return ink;
    };
    const QImage covered = renderExport(scene, state::mdlMain());
    EXPECT_GT(inkLeftOfBox(covered), 0) << "the box covers only part of the name";
    scene.placeScaleBar = true;
    const QImage givenWay = renderExport(scene, state::mdlMain());
    EXPECT_EQ(inkLeftOfBox(givenWay), 0);
    EXPECT_GT(inkInMiddle(givenWay), 0);
}
