// "miratos snapshot" of the map window: the map choices of render, the size asked, and what a
// choice that names nothing says.
#include "../mapview/map_fixture.h"
#include "app/map_snapshot_ui.h"
#include "cli/snapshot_command.h"

#include <QFile>
#include <QImage>

using namespace miratos;

using MapSnapshot = MapFixture;

TEST_F(MapSnapshot, TheMapWindowAtTheSizeAskedShowsTheChosenPrefectures)
{
    writeSquarePrefectures();
    const auto parsed = cli::parseSnapshotArgs({QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--pref"),
                                                QStringLiteral("東京都"), QStringLiteral("--size"), QStringLiteral("1400x900"),
                                                QStringLiteral("--out"), QStringLiteral("x.png")});
    ASSERT_TRUE(std::holds_alternative<cli::SnapshotOptions>(parsed));
    QStringList warnings;
    const auto shot = app::snapshotMapWindow(std::get<cli::SnapshotOptions>(parsed), warnings);
    ASSERT_TRUE(std::holds_alternative<QImage>(shot)) << std::get<QString>(shot).toStdString();
    const QImage image = std::get<QImage>(shot);
    EXPECT_EQ(image.size(), QSize(1400, 900));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    // Only 東京都 is drawn: a row across it meets its two boundary lines, not the third of
    // 神奈川県; and the map has grown past the 600 pixels it opens with.
    int mostRuns = 0, rightmost = 0;
    for (int y = 100; y < 800; y += 50) {
        int runs = 0;
        bool dark = false;
        for (int x = 0; x < 950; ++x) {
            const bool d = image.pixelColor(x, y).value() < 80;
            if (d && !dark)
                ++runs;
            if (d)
                rightmost = std::max(rightmost, x);
            dark = d;
        }
        mostRuns = std::max(mostRuns, runs);
    }
    EXPECT_EQ(mostRuns, 2);
    EXPECT_GT(rightmost, 650);

    const auto unknown = app::snapshotMapWindow({QStringLiteral("Pref"), {QStringLiteral("ない県")}, {}, {}, QStringLiteral("x.png"), {}}, warnings);
    ASSERT_TRUE(std::holds_alternative<QString>(unknown));
    EXPECT_EQ(std::get<QString>(unknown), QStringLiteral("unknown prefecture: ない県"));
}

// A saved map's window: its areas, statistic and size, as "地図を開く" would show them.
TEST_F(MapSnapshot, ASavedMapIsTheWindowItOpens)
{
    writeSquarePrefectures();
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("人口.csv")),
                                         {QStringLiteral("Code,地区名,人口(人)"), QStringLiteral("13101,市13,1000"), QStringLiteral("14101,市14,3000")})
                    .ok());
    QFile map(dir.filePath(QStringLiteral("m.miratos")));
    ASSERT_TRUE(map.open(QIODevice::WriteOnly));
    map.write("[miratos-map]\nversion=1\n[map]\nmode=Pref\npref.1=東京都\npref.2=神奈川県\n"
              "[statistic]\nown-data=人口.csv\ncolumn=人口(人)\n[ranking]\nranks=3\n");
    map.close();
    cli::SnapshotOptions options;
    options.map = map.fileName();
    options.size = QSize(1100, 800);
    options.out = QStringLiteral("x.png");
    QStringList warnings;
    const auto shot = app::snapshotMapWindow(options, warnings);
    ASSERT_TRUE(std::holds_alternative<QImage>(shot)) << std::get<QString>(shot).toStdString();
    const QImage image = std::get<QImage>(shot);
    EXPECT_EQ(image.size(), QSize(1100, 800));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    // Both squares are drawn, in the lowest and the highest rank's colours.
    const QColor west = image.pixelColor(100, 300), east = image.pixelColor(500, 300);
    EXPECT_NE(west, east);
    EXPECT_LT(east.value(), west.value());
}

TEST(SnapshotArguments, LauncherFormStaysAndMapChoicesAreChecked)
{
    struct Case {
        QStringList args;
        const char* error; // nullptr: parsed
    };
    const Case cases[] = {
        {{QStringLiteral("out.png")}, nullptr},
        {{QStringLiteral("--mode"), QStringLiteral("City"), QStringLiteral("--district"), QStringLiteral("a.dat"), QStringLiteral("out.png")}, nullptr},
        {{QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--size"), QStringLiteral("100x100"), QStringLiteral("out.png")},
         "--size must be WxH, each side 200..8000 pixels, for example 1600x1200"},
        {{QStringLiteral("--mode"), QStringLiteral("Pref"), QStringLiteral("--size"), QStringLiteral("1600"), QStringLiteral("out.png")},
         "--size must be WxH, each side 200..8000 pixels, for example 1600x1200"},
        {{QStringLiteral("--size"), QStringLiteral("800x600"), QStringLiteral("out.png")}, "--pref, --district and --size need --mode or --map"},
        {{QStringLiteral("--map"), QStringLiteral("m.miratos"), QStringLiteral("--size"), QStringLiteral("800x600"), QStringLiteral("out.png")}, nullptr},
        {{QStringLiteral("--mode"), QStringLiteral("World"), QStringLiteral("out.png")}, "--mode must be Japan, Pref or City"},
        {{QStringLiteral("--mode"), QStringLiteral("Pref")}, "an output file is required"},
        {{QStringLiteral("a.png"), QStringLiteral("b.png")}, "one output file only: b.png"},
        {{QStringLiteral("--stat"), QStringLiteral("1"), QStringLiteral("a.png")}, "unknown option --stat"},
    };
    for (const Case& c : cases) {
        const auto parsed = cli::parseSnapshotArgs(c.args);
        if (!c.error) {
            EXPECT_TRUE(std::holds_alternative<cli::SnapshotOptions>(parsed)) << c.args.join(QLatin1Char(' ')).toStdString();
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(std::get<QString>(parsed), QString::fromUtf8(c.error));
    }
    const auto sized = std::get<cli::SnapshotOptions>(cli::parseSnapshotArgs(
        {QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--size"), QStringLiteral("1600x1200"), QStringLiteral("--out"), QStringLiteral("m.png")}));
    EXPECT_EQ(sized.size, QSize(1600, 1200));
    EXPECT_EQ(sized.out, QStringLiteral("m.png"));
}
