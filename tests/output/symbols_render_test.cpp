#include "../mapview/map_fixture.h"
#include "cli/render_command.h"

#include <QFile>
#include <QImage>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace miratos;

namespace {

class SymbolsRender : public MapFixture {
protected:
    void SetUp() override
    {
        MapFixture::SetUp();
        writeSquarePrefectures();
    }
    int run(QStringList extra)
    {
        QStringList args = {QStringLiteral("--mode"), QStringLiteral("Japan"), QStringLiteral("--own-data"), dir.filePath(QStringLiteral("面積.csv")),
                            QStringLiteral("--column"), QStringLiteral("面積(k㎡)")};
        args << extra;
        outText.clear();
        errText.clear();
        QTextStream out(&outText), err(&errText);
        return cli::runRenderCommand(args, out, err);
    }
    QString outText, errText;
};

} // namespace

// The table of what was painted: code, name, value, rank and fill colour of every drawn region,
// UTF-8 with a BOM and CR LF lines.
TEST_F(SymbolsRender, TableOutListsEveryDrawnRegion)
{
    const QString table = dir.filePath(QStringLiteral("painted.csv"));
    ASSERT_EQ(run({QStringLiteral("--table-out"), table, QStringLiteral("--out"), dir.filePath(QStringLiteral("map.png"))}), 0)
        << errText.toStdString();
    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray expected = QByteArray("\xEF\xBB\xBF") +
                                QStringLiteral("コード,名前,面積(k㎡),ランク,塗り色\r\n"
                                               "13,東京都,2194,1,#ffeaea\r\n"
                                               "14,神奈川県,2416,5,#6a0000\r\n")
                                    .toUtf8();
    const QByteArray got = f.readAll();
    EXPECT_EQ(got, expected) << got.toStdString();
}

// Symbols draw over the rank fill at each label point; the legend box names the column.
TEST_F(SymbolsRender, SymbolsDrawAtTheLabelPointsWithALegend)
{
    const QString plain = dir.filePath(QStringLiteral("plain.png"));
    const QString symbols = dir.filePath(QStringLiteral("symbols.png"));
    ASSERT_EQ(run({QStringLiteral("--out"), plain}), 0) << errText.toStdString();
    ASSERT_EQ(run({QStringLiteral("--symbols"), QStringLiteral("面積(k㎡)"), QStringLiteral("--symbol-shape"), QStringLiteral("square"),
                   QStringLiteral("--out"), symbols}),
              0)
        << errText.toStdString();
    const QImage a(plain), b(symbols);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_NE(a, b);
    // Each label point (the square's centre, 139.5 and 140.5) now carries the symbol colour.
    const int y = b.height() / 2;
    int changed = 0;
    for (int x = 0; x < b.width(); ++x)
        changed += a.pixel(x, y) != b.pixel(x, y);
    EXPECT_GT(changed, 20);
    // The legend box in the top-left corner is new.
    EXPECT_NE(a.copy(0, 0, 60, 60), b.copy(0, 0, 60, 60));
}

// At a paper size the symbols grow with the picture, as the legend beside them does: the
// largest square covers the layout scale squared times its pixels at the specified size.
TEST_F(SymbolsRender, SymbolsScaleWithAPaperSize)
{
    auto symbolPixels = [](const QImage& image) {
        // The symbols' translucent blue over the red fill (and in the legend, which scales too).
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c(image.pixel(x, y));
                n += c.blue() > c.red() + 40;
            }
        return n;
    };
    const QString small = dir.filePath(QStringLiteral("small.png"));
    const QString paper = dir.filePath(QStringLiteral("paper.png"));
    const QStringList symbols = {QStringLiteral("--symbols"), QStringLiteral("面積(k㎡)"), QStringLiteral("--symbol-shape"), QStringLiteral("square"),
                                 QStringLiteral("--no-antialias")};
    ASSERT_EQ(run(symbols + QStringList{QStringLiteral("--out"), small}), 0) << errText.toStdString();
    ASSERT_EQ(run(symbols + QStringList{QStringLiteral("--paper"), QStringLiteral("A4L"), QStringLiteral("--dpi"), QStringLiteral("300"),
                                        QStringLiteral("--out"), paper}), 0)
        << errText.toStdString();
    const double ratio = static_cast<double>(symbolPixels(QImage(paper))) / symbolPixels(QImage(small));
    const double scale = 300.0 / 96;
    EXPECT_GT(ratio, scale * scale * 0.6) << ratio;
    EXPECT_LT(ratio, scale * scale * 1.6) << ratio;
}

TEST_F(SymbolsRender, BadSymbolOptionsAreRefused)
{
    const QString out = dir.filePath(QStringLiteral("x.png"));
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{QStringLiteral("--symbols"), QStringLiteral("人口"), QStringLiteral("--out"), out}, "列「人口」がありません"},
        {{QStringLiteral("--symbol-shape"), QStringLiteral("star"), QStringLiteral("--out"), out}, "--symbol-shape must be"},
        {{QStringLiteral("--value-labels"), QStringLiteral("over"), QStringLiteral("--out"), out}, "--value-labels must be"},
        {{QStringLiteral("--value-decimals"), QStringLiteral("-1"), QStringLiteral("--out"), out}, "--value-decimals must be"},
        {{QStringLiteral("--symbol-size"), QStringLiteral("0"), QStringLiteral("--out"), out}, "--symbol-size must be"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(run(c.args), 0) << c.says;
        EXPECT_TRUE(errText.contains(QString::fromUtf8(c.says))) << errText.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}
