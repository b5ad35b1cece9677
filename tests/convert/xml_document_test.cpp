// The XML reading the converters rely on: the element-text rule, selection in document order,
// names with prefix, first attributes, Shift_JIS files and parse errors.
#include "platform/cp932.h"
#include "platform/xml_document.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace {

using miratos::platform::GetText;
using miratos::platform::XmlDocument;

XmlDocument parsed(const char* xml)
{
    auto doc = XmlDocument::parse(QByteArray(xml), QStringLiteral("test.xml"));
    EXPECT_TRUE(doc.ok()) << doc.error().toStdString();
    return std::move(doc.value());
}

std::string str(std::string_view v)
{
    return std::string(v);
}

TEST(GetText, TakesWhatStandsBetweenTheFirstGreaterThanAndTheFirstEndTag)
{
    struct Case {
        const char* xml;
        const char* text;
    };
    const Case cases[] = {
        {R"(<ksj:AAC codeSpace="AdminAreaCd.xml">13101</ksj:AAC>)", "13101"},
        {R"(<GM_PointRef.point idref="n1"/>)", ""},
        {"<ksj:CN2>A&amp;B</ksj:CN2>", "A&amp;B"},
        {"<a> 1 2 </a>", " 1 2 "},
        {"<a></a>", ""},
        {"<a><b>x</b>y</a>", "<b>x"},
        {"</a>", ""},
        {"no markup", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetText(QString::fromUtf8(c.xml)), QString::fromUtf8(c.text)) << c.xml;
}

// A node's text is the rule applied to its serialised element, also where the shortcut for
// text-only elements does not apply.
TEST(XmlDocument, NodeTextIsTheRuleOnTheSerialisedElement)
{
    const XmlDocument doc = parsed(
        R"(<r><e><ksj:AAC codeSpace="x">13101</ksj:AAC><GM_PointRef.point idref="n1"/><ksj:CN2>A&amp;B&#x41;</ksj:CN2>)"
        R"(<m>x<b>y</b>z</m><c><![CDATA[1<2]]></c><g a="1>0">v</g></e></r>)");
    struct Expected {
        const char* xml;
        const char* text;
    };
    const Expected expected[] = {
        {R"(<e><ksj:AAC codeSpace="x">13101</ksj:AAC><GM_PointRef.point idref="n1"/><ksj:CN2>A&amp;B&#x41;</ksj:CN2><m>x<b>y</b>z</m><c><![CDATA[1<2]]></c><g a="1&gt;0">v</g></e>)",
         R"(<ksj:AAC codeSpace="x">13101)"},
        {R"(<ksj:AAC codeSpace="x">13101</ksj:AAC>)", "13101"},
        {R"(<GM_PointRef.point idref="n1"/>)", ""},
        {"<ksj:CN2>A&amp;B&#x41;</ksj:CN2>", "A&amp;B&#x41;"},
        {"<m>x<b>y</b>z</m>", "x<b>y"},
        {"<b>y</b>", "y"},
        {"<c><![CDATA[1<2]]></c>", "<![CDATA[1<2]]>"},
        {R"(<g a="1&gt;0">v</g>)", "v"},
    };
    auto selection = doc.selectNodes("//e//");
    size_t i = 0;
    for (const auto node : selection) {
        ASSERT_LT(i, std::size(expected));
        EXPECT_EQ(node.xml().toStdString(), expected[i].xml);
        EXPECT_EQ(str(node.text()), expected[i].text) << expected[i].xml;
        EXPECT_EQ(QString::fromUtf8(node.text().data(), qsizetype(node.text().size())), GetText(QString::fromUtf8(node.xml())));
        ++i;
    }
    EXPECT_EQ(i, std::size(expected));
}

TEST(XmlDocument, SelectionGivesEachNamedElementThenEverythingBeneathItInDocumentOrder)
{
    const XmlDocument doc = parsed(R"(<ksj:Dataset xmlns:ksj="k" xmlns:jps="j">
  <jps:GM_Point id="n1"><P><DirectPosition.coordinate>35 139</DirectPosition.coordinate></P></jps:GM_Point>
  <jps:GM_Curve id="cv1"><GM_PointRef.point idref="n1"/></jps:GM_Curve>
  <w><jps:GM_Point id="n2"><jps:GM_Point id="n3"/></jps:GM_Point></w>
  <GM_Point id="n4"/>
</ksj:Dataset>)");
    std::string seen;
    for (const auto node : doc.selectNodes("//jps:GM_Point//"))
        seen += str(node.name()) + "[" + str(node.firstAttribute()) + "] ";
    EXPECT_EQ(seen, "jps:GM_Point[n1] P[] DirectPosition.coordinate[] jps:GM_Point[n2] jps:GM_Point[n3] ");

    for (const char* malformed : {"jps:GM_Point", "//jps:GM_Point", "//a/b//", "////"}) {
        auto selection = doc.selectNodes(malformed);
        EXPECT_TRUE(selection.next().isNull()) << malformed;
    }
}

TEST(XmlDocument, FirstAttributeIsExpandedAndElementTextIsTrimmed)
{
    const XmlDocument doc = parsed(R"(<r><a idref="x&amp;y" b="2"/><west>
   139.5 </west><west>140</west></r>)");
    auto selection = doc.selectNodes("//a//");
    EXPECT_EQ(str(selection.next().firstAttribute()), "x&y");
    EXPECT_EQ(doc.firstElementText("west"), QStringLiteral("139.5"));
    EXPECT_FALSE(doc.firstElementText("east").has_value());
}

TEST(XmlDocument, ShiftJisFileIsReadAsText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("N03-21_13.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // "表" ends in the byte 0x5C; "ｱ" is one byte.
    file.write(QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<r><ksj:PRN>") + *miratos::platform::toCp932(QStringLiteral("東京都表ｱ～"))
               + QByteArray("</ksj:PRN></r>"));
    file.close();
    auto doc = XmlDocument::load(path);
    ASSERT_TRUE(doc.ok()) << doc.error().toStdString();
    auto selection = doc->selectNodes("//ksj:PRN//");
    const std::string_view text = selection.next().text();
    EXPECT_EQ(QString::fromUtf8(text.data(), qsizetype(text.size())), QStringLiteral("東京都表ｱ～"));
}

// Files may nest elements deeper than any stack holds: parsing, selection, texts, serialising
// and freeing the document must all get through 300,000 levels inside one coordinate.
TEST(XmlDocument, DeeplyNestedElementsAreReadWithoutRunningOutOfStack)
{
    constexpr int kDepth = 300000;
    QByteArray opening, closing;
    for (int i = 0; i < kDepth; ++i) {
        opening += "<a>";
        closing += "</a>";
    }
    const QByteArray coordinate = "<DirectPosition.coordinate>35 139" + opening + "x" + closing + "</DirectPosition.coordinate>";
    {
        const XmlDocument doc = parsed(QByteArray("<r>" + coordinate + "<b/></r>").constData());
        auto selection = doc.selectNodes("//DirectPosition.coordinate//");
        const auto node = selection.next();
        ASSERT_FALSE(node.isNull());
        EXPECT_EQ(str(node.text()), "35 139" + opening.toStdString() + "x");
        EXPECT_EQ(node.xml(), coordinate);
        int beneath = 0;
        while (!selection.next().isNull())
            ++beneath;
        EXPECT_EQ(beneath, kDepth);
        EXPECT_EQ(doc.firstElementText("DirectPosition.coordinate"), QStringLiteral("35 139x"));
    }
}

TEST(XmlDocument, ProblemsNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.xml"));
    auto doc = XmlDocument::load(missing);
    ASSERT_FALSE(doc.ok());
    EXPECT_TRUE(doc.error().contains(QStringLiteral("none.xml"))) << doc.error().toStdString();

    auto broken = XmlDocument::parse(QByteArray("<r>\n<a>\n</r>"), QStringLiteral("broken.xml"));
    ASSERT_FALSE(broken.ok());
    EXPECT_TRUE(broken.error().startsWith(QStringLiteral("broken.xml: "))) << broken.error().toStdString();
    EXPECT_TRUE(broken.error().contains(QStringLiteral("3 行"))) << broken.error().toStdString();

    auto euc = XmlDocument::parse(QByteArray("<?xml version=\"1.0\" encoding=\"EUC-JP\"?><r/>"), QStringLiteral("e.xml"));
    ASSERT_FALSE(euc.ok());
    EXPECT_TRUE(euc.error().contains(QStringLiteral("euc-jp"))) << euc.error().toStdString();
}

} // namespace
