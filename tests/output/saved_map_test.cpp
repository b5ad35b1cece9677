// Saved maps: the file a fixture map is saved as, read back, an older file with keys this version
// does not know, and render --map drawing the same picture as the options it stands for.
#include "../mapview/map_fixture.h"
#include "cli/render_command.h"
#include "state/saved_map.h"

#include <QFile>
#include <QImage>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace miratos;

namespace {

class SavedMapTest : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        writeSquarePrefectures();
    }
    int run(const QStringList& args)
    {
        outText.clear();
        errText.clear();
        QTextStream out(&outText), err(&errText);
        return cli::runRenderCommand(args, out, err);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    static QByteArray bytesOf(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void expectSamePicture(const QString& a, const QString& b)
    {
        const QImage first(a), second(b);
        ASSERT_FALSE(first.isNull()) << a.toStdString();
        ASSERT_EQ(first.size(), second.size());
        EXPECT_EQ(first.convertToFormat(QImage::Format_RGB32), second.convertToFormat(QImage::Format_RGB32));
    }
    // A statistic map of both squares: a computed column over the own table, named, three ranks.
    QStringList statisticOptions() const
    {
        return {QStringLiteral("--mode"),       QStringLiteral("Japan"),        QStringLiteral("--own-data"),
                path(QStringLiteral("面積.csv")), QStringLiteral("--compute"),    QStringLiteral("倍=[面積(k㎡)] × 2"),
                QStringLiteral("--column"),     QStringLiteral("倍"),            QStringLiteral("--ranks"),
                QStringLiteral("3"),            QStringLiteral("--classes"),    QStringLiteral("equal"),
                QStringLiteral("--labels"),     QStringLiteral("--roads"),      QStringLiteral("1,3"),
                QStringLiteral("--note-location"), QStringLiteral("3"),         QStringLiteral("--note-maker"),
                QStringLiteral("ミラトス 社会科")};
    }
    QString outText, errText;
};

} // namespace

TEST_F(SavedMapTest, AFixtureMapIsSavedAsThisReadableFile)
{
    const QString map = path(QStringLiteral("地図.miratos"));
    ASSERT_EQ(run(statisticOptions() + QStringList{QStringLiteral("--save-map"), map, QStringLiteral("--out"), path(QStringLiteral("a.png"))}), 0)
        << errText.toStdString();
    // Bounds: the equal-width proposal over 4388..4833 (the join's maximum is the largest value
    // + 1), in whole numbers; colours: the red series of three ranks.
    const QString golden = QStringLiteral(
        "[miratos-map]\nversion=1\n\n"
        "[map]\nmode=Japan\npref.1=東京都\npref.2=神奈川県\nspecial-coordinate=1\nhide-separate=0\ntown-level=0\n\n"
        "[layers]\nnames=1\ntowns=0\nrailways=0\nstations=0\ndeclutter=0\nroads=1,3\nfacilities=0\nfacility-names=0\n"
        "facility-symbols=0\nfacility-ranks=0\n\n"
        "[statistic]\nkind=0\nown-data=面積.csv\ncompute.1=倍=[面積(k㎡)] × 2\ncolumn=倍\n\n"
        "[ranking]\nclasses=equal\nranks=3\nseries=0\nbound.1=4388,4536\nbound.2=4536,4684\nbound.3=4684,4833\n"
        "color.1=15395583\ncolor.2=2763519\ncolor.3=106\n\n"
        "[labels]\n\n"
        "[export]\nnote-location=3\nnote-maker=ミラトス 社会科\nnote-font-size=10\n");
    EXPECT_EQ(QString::fromUtf8(bytesOf(map)), golden);
}

TEST_F(SavedMapTest, ReadBackGivesTheSameMapAndTheSameText)
{
    state::SavedMap m;
    m.mode = QStringLiteral("City");
    m.prefs = {QStringLiteral("東京都")};
    m.districts = {QStringLiteral("MapData/東京都/17_13101_千代田区.dat"), QStringLiteral("MapData/東京都/17_13102_中央区.dat")};
    m.style = 2;
    m.dataYear = 17;
    m.towns = m.stations = m.facilitySymbols = true;
    m.roads = {false, true, false};
    m.layerProperty = {{{0, 1}, 255}, {{7, 0}, QStringLiteral("0.0003 2")}, {{2, 1}, QVariant::fromValue<qlonglong>(0x80000012LL)}};
    m.stat = 4;
    m.computes = {QStringLiteral("密度=[人口(人)] ÷ 面積()"), QStringLiteral("率=増減率([a],[b])")};
    m.column = QStringLiteral("密度");
    m.ranks = 3;
    m.bounds = {{0.1, 2.5}, {2.5, 1e7}, {1e7, 1.5e7}};
    m.colors = {255, 65535, 16777215};
    m.labelEdits = {{1, 3, QStringLiteral("中央区"), QStringLiteral("中央区\\役所"), 139.5, 35.25, true}, {4, 1, QStringLiteral("駅"), QStringLiteral("駅"), 140, 36, false}};
    m.noteMaker = QStringLiteral("一行目\n二行目 = 続き");
    m.noteFontSize = 12;
    m.unknown = {{QStringLiteral("map/future"), QStringLiteral("1")}, {QStringLiteral("symbols/size"), QStringLiteral("3")}};

    const QByteArray text = state::savedMapText(m);
    QStringList problems;
    const auto back = state::parseSavedMap(text, QStringLiteral("m.miratos"), problems);
    ASSERT_TRUE(back) << back.error().toStdString();
    EXPECT_EQ(problems, QStringList());
    EXPECT_EQ(state::savedMapText(*back), text);
    EXPECT_EQ(back->districts, m.districts);
    EXPECT_EQ(back->computes, m.computes);
    EXPECT_EQ(back->noteMaker, m.noteMaker);
    ASSERT_EQ(back->labelEdits.size(), 2u);
    EXPECT_EQ(back->labelEdits[0].caption, m.labelEdits[0].caption);
    EXPECT_DOUBLE_EQ(back->labelEdits[0].top, 35.25);
    EXPECT_FALSE(back->labelEdits[1].visible);
    EXPECT_EQ(back->bounds, m.bounds);
    ASSERT_EQ(back->layerProperty.size(), 3u);
    EXPECT_EQ(back->layerProperty[2].second.toLongLong(), 0x80000012LL);
    EXPECT_EQ(back->layerProperty[1].second.toString(), QStringLiteral("0.0003 2"));
    EXPECT_EQ(back->unknown, m.unknown);
    EXPECT_TRUE(text.contains("\n[symbols]\nsize=3\n")) << "a section this version does not know is written back";
}

// A file of an older or newer version: keys missing take their defaults, unknown ones are kept,
// and a column the table no longer has is named while the rest of the map is drawn.
TEST_F(SavedMapTest, AnOlderFileWithUnknownKeysAndAMissingColumnOpensTheRest)
{
    const QString map = path(QStringLiteral("古い.miratos"));
    QFile f(map);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF[miratos-map]\r\nversion=1\r\n# written by hand\r\n[map]\r\nmode=Japan\r\npref.2=神奈川県\r\npref.1=東京都\r\n"
            "colour-scheme=viridis\r\n[layers]\r\nnames=1\r\n[statistic]\r\nown-data=面積.csv\r\ncolumn=人口(人)\r\n"
            "[atlas]\r\ncolumn=人口(人)\r\n");
    f.close();
    ASSERT_EQ(run({QStringLiteral("--map"), map, QStringLiteral("--save-map"), path(QStringLiteral("again.miratos")), QStringLiteral("--out"),
                   path(QStringLiteral("old.png"))}),
              0)
        << errText.toStdString();
    EXPECT_TRUE(errText.contains(QStringLiteral("人口(人)"))) << errText.toStdString();
    ASSERT_EQ(run({QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--labels"), QStringLiteral("--out"), path(QStringLiteral("plain.png"))}), 0);
    expectSamePicture(path(QStringLiteral("old.png")), path(QStringLiteral("plain.png")));

    QStringList problems;
    const auto again = state::readSavedMap(path(QStringLiteral("again.miratos")), problems);
    ASSERT_TRUE(again) << again.error().toStdString();
    EXPECT_EQ(again->prefs, (QStringList{QStringLiteral("東京都"), QStringLiteral("神奈川県")}));
    EXPECT_EQ(again->unknown, (std::vector<std::pair<QString, QString>>{{QStringLiteral("map/colour-scheme"), QStringLiteral("viridis")},
                                                                       {QStringLiteral("atlas/column"), QStringLiteral("人口(人)")}}));

    // A newer version is read as far as this one knows, and said.
    problems.clear();
    const auto newer = state::parseSavedMap("[miratos-map]\nversion=2\n[map]\nmode=Pref\n", QStringLiteral("新.miratos"), problems);
    ASSERT_TRUE(newer);
    EXPECT_EQ(newer->mode, QStringLiteral("Pref"));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("version=2")));
    // Not a saved map at all.
    EXPECT_FALSE(state::parseSavedMap("[Pref]\n13=東京都\n", QStringLiteral("Init.ini"), problems));
}

TEST_F(SavedMapTest, RenderMapDrawsTheSamePictureAsTheOptionsItWasSavedFrom)
{
    const QString map = path(QStringLiteral("地図.miratos"));
    const QStringList options = statisticOptions();
    ASSERT_EQ(run(options + QStringList{QStringLiteral("--save-map"), map, QStringLiteral("--out"), path(QStringLiteral("options.png"))}), 0)
        << errText.toStdString();
    const QString optionWarnings = errText;
    ASSERT_EQ(run({QStringLiteral("--map"), map, QStringLiteral("--out"), path(QStringLiteral("map.png"))}), 0) << errText.toStdString();
    EXPECT_EQ(errText, optionWarnings); // no word about the map file itself
    expectSamePicture(path(QStringLiteral("map.png")), path(QStringLiteral("options.png")));

    // Options after --map override it: four ranks are proposed anew, as the options would.
    ASSERT_EQ(run({QStringLiteral("--map"), map, QStringLiteral("--ranks"), QStringLiteral("4"), QStringLiteral("--out"), path(QStringLiteral("map4.png"))}), 0)
        << errText.toStdString();
    ASSERT_EQ(run(options + QStringList{QStringLiteral("--ranks"), QStringLiteral("4"), QStringLiteral("--out"), path(QStringLiteral("options4.png"))}), 0);
    expectSamePicture(path(QStringLiteral("map4.png")), path(QStringLiteral("options4.png")));
    EXPECT_NE(QImage(path(QStringLiteral("map4.png"))), QImage(path(QStringLiteral("map.png"))));
}

// The settings beside the specified map (a published scheme, symbols, value labels, placement,
// a paper size) go into the saved map and come back: the picture is the same, and the file says
// them in its sections.
TEST_F(SavedMapTest, SchemeSymbolsPlacementAndPaperSizeAreSavedAndDrawnAgain)
{
    const QString map = path(QStringLiteral("全部.miratos"));
    const QStringList options = statisticOptions() + QStringList{QStringLiteral("--scheme"), QStringLiteral("YlGnBu"), QStringLiteral("--nice-breaks"),
                                                                 QStringLiteral("--symbols"), QStringLiteral("倍"), QStringLiteral("--symbol-shape"), QStringLiteral("square"),
                                                                 QStringLiteral("--value-labels"), QStringLiteral("under"), QStringLiteral("--place-labels"),
                                                                 QStringLiteral("--halo"), QStringLiteral("--paper"), QStringLiteral("A4L")};
    ASSERT_EQ(run(options + QStringList{QStringLiteral("--save-map"), map, QStringLiteral("--out"), path(QStringLiteral("options.png"))}), 0)
        << errText.toStdString();
    const QString text = QString::fromUtf8(bytesOf(map));
    for (const char* line : {"scheme=YlGnBu", "nice-breaks=1", "[symbols]", "shape=square", "value-labels=under", "[placement]", "place=1",
                             "halo=on,on,on,on,on", "size=paper", "paper=A4L"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    ASSERT_EQ(run({QStringLiteral("--map"), map, QStringLiteral("--out"), path(QStringLiteral("map.png"))}), 0) << errText.toStdString();
    EXPECT_EQ(QImage(path(QStringLiteral("map.png"))).size(), QSize(1754, 1240));
    expectSamePicture(path(QStringLiteral("map.png")), path(QStringLiteral("options.png")));

    // Saved again from the map, the file is the same.
    ASSERT_EQ(run({QStringLiteral("--map"), map, QStringLiteral("--save-map"), path(QStringLiteral("again.miratos")), QStringLiteral("--out"),
                   path(QStringLiteral("again.png"))}), 0);
    EXPECT_EQ(bytesOf(path(QStringLiteral("again.miratos"))), bytesOf(map));
}
