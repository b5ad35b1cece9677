// frmChange_C: the year options and the table names from Init.ini, the boundary job writing the
// district file of the chosen XML, and the census job writing the ticked tables.
#include "boundary_fixture.h"
#include "convert/frm_change_c.h"
#include "platform/prompts.h"
#include "platform/text_file.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace miratos;

namespace {

class ChangeCTest : public BoundaryFolder {
protected:
    void SetUp() override
    {
        BoundaryFolder::SetUp();
        QStringList ini{QStringLiteral("[Pref]"), QStringLiteral("13=東京都"), QStringLiteral("[FileName12]")};
        for (int k = 1; k <= 11; ++k)
            ini << QStringLiteral("%1=A%1_").arg(k);
        ini << QStringLiteral("[FileName17]");
        for (int k = 1; k <= 10; ++k) // key 11 missing
            ini << QStringLiteral("%1=P%1_").arg(k);
        ASSERT_TRUE(platform::writeTextLines(path(QStringLiteral("Init.ini")), ini));
    }
    template <class T>
    T* child(QWidget& w, const QString& name)
    {
        T* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(ChangeCTest, YearOptionsFillTheTableNames)
{
    convert::frmChange_C w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("市区町村データ変換プログラム"));
    EXPECT_TRUE(child<QRadioButton>(w, QStringLiteral("optNen_1"))->isChecked());
    EXPECT_EQ(w.year(), 17);
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtFileName_1"))->text(), QStringLiteral("P1_"));
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtFileName_11"))->text(), QStringLiteral("ERROR"));
    EXPECT_FALSE(child<QCheckBox>(w, QStringLiteral("chk7"))->isEnabled());
    EXPECT_EQ(child<QCheckBox>(w, QStringLiteral("chk3"))->text(), QStringLiteral("世帯人員別一般世帯数"));
    child<QRadioButton>(w, QStringLiteral("optNen_0"))->click();
    EXPECT_EQ(w.year(), 12);
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtFileName_11"))->text(), QStringLiteral("A11_"));
    for (const char* box : {"chk7", "chk9", "chk10", "chk11"})
        EXPECT_TRUE(child<QCheckBox>(w, QString::fromLatin1(box))->isEnabled()) << box;
}

TEST_F(ChangeCTest, BoundaryJobThenCensusJob)
{
    const QString xml = inputFile(QStringLiteral("h17ka13101.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<D><B><Coordinates>139.7,35.6 139.8,35.7</Coordinates></B>
<GeometricFeature><P><OuterBoundary><R><Coordinates>139.7,35.6 139.8,35.6 139.7,35.6</Coordinates></R></OuterBoundary></P>
<Property name="AREA">10</Property><Property name="GST_NAME">千代田区</Property><Property name="CSS_NAME"> </Property>
<Property name="HCODE">8101</Property><Property name="KEN">13</Property><Property name="KEYCODE2">101001001</Property>
<Property name="AREA_MAX_F">M</Property><Property name="MOJI">丸の内１丁目</Property>
<Property name="X_CODE">139.76</Property><Property name="Y_CODE">35.68</Property></GeometricFeature></D>
)");
    convert::frmChange_C w;
    child<QLineEdit>(w, QStringLiteral("txtFile2"))->setText(xml);
    child<QPushButton>(w, QStringLiteral("cmdChange"))->click();
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtCode"))->text(), QStringLiteral("13101"));
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！"));
    EXPECT_EQ(fileText(QStringLiteral("17_13101_千代田区.dat")).substr(0, 23), "139.7 35.6 139.8 35.7\r\n");
    EXPECT_TRUE(child<QPushButton>(w, QStringLiteral("cmdChange"))->isEnabled());

    // Upper-case XML is not converted and says nothing.
    child<QLineEdit>(w, QStringLiteral("txtFile2"))->setText(path(QStringLiteral("変換フォルダ/h17ka13102.XML")));
    child<QPushButton>(w, QStringLiteral("cmdChange"))->click();
    EXPECT_EQ(prompts.records().size(), 1u);

    // Census: table 1 and table 7 (ticked under 12, disabled under 17) are converted when their
    // input exists; table 3's is missing and skipped.
    child<QRadioButton>(w, QStringLiteral("optNen_0"))->click();
    child<QCheckBox>(w, QStringLiteral("chk7"))->setChecked(true);
    child<QRadioButton>(w, QStringLiteral("optNen_1"))->click();
    child<QLineEdit>(w, QStringLiteral("txtFileName_7"))->setText(QStringLiteral("Q7_"));
    child<QLineEdit>(w, QStringLiteral("txtCode"))->setText(QStringLiteral("13101"));
    inputFile(QStringLiteral("P1_13101.txt"), platform::encodeLines({QStringLiteral("h"), QStringLiteral("h"),
                                                                     QStringLiteral("13101001001,,,千代田区,丸の内１丁目,1,2,3,4")}).value());
    inputFile(QStringLiteral("Q7_13101.txt"), platform::encodeLines({QStringLiteral("h"), QStringLiteral("h")}).value());
    child<QRadioButton>(w, QStringLiteral("optMode_1"))->setChecked(true);
    child<QPushButton>(w, QStringLiteral("cmdChange"))->click();
    EXPECT_EQ(prompts.last().text, QStringLiteral("変換終了！"));
    EXPECT_EQ(fileText(QStringLiteral("17_13101_statistic1.csv")),
              "Code,地区名,人口総数,男,女,世帯総数\r\n13101001001,千代田区・丸の内１丁目,1,2,3,4\r\n");
    EXPECT_EQ(fileText(QStringLiteral("17_13101_statistic7.csv")), "Code,地区名,65歳以上親族のみの世帯数\r\n");
    EXPECT_EQ(fileText(QStringLiteral("17_13101_statistic3.csv")), "<missing>");

    // A prefecture code not in [Pref] does nothing.
    const size_t before = prompts.records().size();
    child<QLineEdit>(w, QStringLiteral("txtCode"))->setText(QStringLiteral("99101"));
    child<QPushButton>(w, QStringLiteral("cmdChange"))->click();
    EXPECT_EQ(prompts.records().size(), before);
}

TEST_F(ChangeCTest, CaptionsFitAndNothingOverlaps)
{
    convert::frmChange_C w;
    w.show();
    QCoreApplication::processEvents();
    QVector<QWidget*> shown;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (!c->isVisible() || c->parentWidget() != &w)
            continue;
        if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QLabel*>(c)) {
            EXPECT_GE(c->width(), c->sizeHint().width()) << c->objectName().toStdString();
        }
        for (QWidget* other : shown)
            EXPECT_FALSE(c->geometry().intersects(other->geometry())) << c->objectName().toStdString() << " / " << other->objectName().toStdString();
        shown.append(c);
    }
}
