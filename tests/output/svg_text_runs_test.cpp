#include "output/svg_text_runs.h"

#include <QFont>
#include <QStringList>
#include <gtest/gtest.h>

using miratos::output::joinSvgTextRuns;

namespace {

QByteArray run(const char* x, const char* text, const char* font = "IPAGothic")
{
    return QByteArray("<text fill=\"#000000\" x=\"") + x + "\" y=\"135\" font-family=\"" + font + "\" \n >" + text + "</text>\n";
}

} // namespace

TEST(SvgTextRuns, AdjacentRunsOfOneLineBecomeOneText)
{
    struct Case {
        const char* name;
        QByteArray in;
        QByteArray out;
    };
    const Case cases[] = {
        {"three runs of one line", run("10", "「国土") + run("40.5", "数値情報」") + run("90", "を加工して作成"),
         run("10", "「国土数値情報」を加工して作成")},
        {"escapes stay as they are", run("1", "A&amp;") + run("9", "B"), run("1", "A&amp;B")},
        {"another font is another run", run("1", "a") + run("9", "b", "Other"), run("1", "a") + run("9", "b", "Other")},
        {"another element between keeps both", run("1", "a") + "<path d=\"M0 0\"/>\n" + run("9", "b"),
         run("1", "a") + "<path d=\"M0 0\"/>\n" + run("9", "b")},
        {"another line (y) is another run", run("1", "a") + QByteArray(run("1", "b")).replace("y=\"135\"", "y=\"150\""),
         run("1", "a") + QByteArray(run("1", "b")).replace("y=\"135\"", "y=\"150\"")},
        {"no text at all", "<svg><g/></svg>", "<svg><g/></svg>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(joinSvgTextRuns("<g>\n" + c.in + "</g>"), "<g>\n" + c.out + "</g>") << c.name;
}

TEST(SvgTextRuns, FontFamiliesNameTheirStandInsAndSansSerif)
{
    QFont::insertSubstitutions(QStringLiteral("窓の字体"), QStringList{QStringLiteral("here gothic")});
    EXPECT_EQ(miratos::output::addSvgFontFallbacks("<g font-family=\"窓の字体\"><text font-family=\"Plain\">a</text></g>"),
              QByteArray("<g font-family=\"窓の字体, 'here gothic', sans-serif\"><text font-family=\"Plain, sans-serif\">a</text></g>"));
}
