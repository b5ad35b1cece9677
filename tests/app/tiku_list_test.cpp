#include "app/frm_tiku_list.h"
#include "state/mdl_main.h"
#include "platform/app_folder.h"
#include "platform/text_file.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::app;
using namespace miratos::state;

namespace {

class TikuList : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::AppFolder::set(dir.path());
        resetMdlMain();
        auto& s = mdlMain();
        s.MapMode = QStringLiteral("City");
        s.DataYear = 17;
        for (auto [code, name] : {std::pair{13, "東京都"}, std::pair{14, "神奈川県"}}) {
            s.PrefTable[static_cast<size_t>(code)] = {QStringLiteral("TRUE"), QString::fromUtf8(name), QString()};
            QDir(dir.path()).mkpath(QStringLiteral("MapData/") + QString::fromUtf8(name));
        }
        for (const char* f : {"東京都/17_13101_千代田区.dat", "東京都/12_13101_千代田区.dat", "東京都/Line.dat",
                              "東京都/a17_x.dat", "神奈川県/17_14101_横浜市.鶴見区.dat"})
            touch(QString::fromUtf8(f));
    }
    void TearDown() override { platform::AppFolder::set(QString()); }
    void touch(const QString& rel)
    {
        QFile f(dir.filePath(QStringLiteral("MapData/") + rel));
        f.open(QIODevice::WriteOnly);
    }
    QListWidget* list(frmTikuList& d) { return d.findChild<QListWidget*>(QStringLiteral("lstTiku")); }
    QStringList texts(frmTikuList& d)
    {
        QStringList t;
        for (int i = 0; i < list(d)->count(); ++i)
            t << list(d)->item(i)->text();
        return t;
    }
    QTemporaryDir dir;
    platform::KeyedTable colours;
};

} // namespace

TEST_F(TikuList, OffersTheYearsDistrictFilesInPrefectureOrder)
{
    frmTikuList d(colours);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("地区リスト"));
    EXPECT_EQ(texts(d), (QStringList{QStringLiteral("17_13101_千代田区.dat"), QStringLiteral("17_14101_横浜市.鶴見区.dat")}));
    mdlMain().DataYear = 12;
    frmTikuList d12(colours);
    EXPECT_EQ(texts(d12), QStringList{QStringLiteral("12_13101_千代田区.dat")});
}

TEST_F(TikuList, ConfirmFillsTheSelectionAndRemembersIt)
{
    frmTikuList d(colours);
    d.findChild<QCheckBox*>(QStringLiteral("chkAll"))->click();
    d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const auto& s = mdlMain();
    ASSERT_EQ(s.TikuCount, 2);
    EXPECT_EQ(s.TikuPath[1], dir.filePath(QStringLiteral("MapData/東京都/17_13101_千代田区.dat")));
    EXPECT_EQ(s.TikuPrefix[1], dir.filePath(QStringLiteral("MapData/東京都/17_13101_")));
    EXPECT_EQ(s.TikuTable[1][0], QStringLiteral("千代田区"));
    EXPECT_EQ(s.TikuTable[1][3], QStringLiteral("13101"));
    EXPECT_EQ(s.TikuTable[2][0], QStringLiteral("横浜市")); // cut at the first "."
    EXPECT_EQ(colours.find(QStringLiteral("14101G"))->text, QStringLiteral("65535"));
    EXPECT_EQ(*platform::readTextLines(dir.filePath(QStringLiteral("MapData/SelectCity.txt"))),
              (QStringList{QStringLiteral("17_13101_千代田区.dat"), QStringLiteral("17_14101_横浜市.鶴見区.dat")}));
}

TEST_F(TikuList, NothingChosenEmptiesTheMemoryAndKeepsTheDialogOpen)
{
    QFile old(dir.filePath(QStringLiteral("MapData/SelectCity.txt")));
    old.open(QIODevice::WriteOnly);
    old.write("x\r\n");
    old.close();
    frmTikuList d(colours);
    d.findChild<QPushButton*>(QStringLiteral("cmdGo"))->click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(mdlMain().TikuCount, 0);
    EXPECT_EQ(QFileInfo(old.fileName()).size(), 0);
}

TEST_F(TikuList, PreviousSelectionReselectsTheRememberedFilesStillListed)
{
    ASSERT_TRUE(platform::writeTextLines(dir.filePath(QStringLiteral("MapData/SelectCity.txt")),
                                         {QStringLiteral("17_14101_横浜市.鶴見区.dat"), QStringLiteral("17_99999_消えた市.dat")})
                    .ok());
    frmTikuList d(colours);
    list(d)->item(0)->setSelected(true);
    auto* before = d.findChild<QCheckBox*>(QStringLiteral("chkBefore"));
    before->click();
    EXPECT_FALSE(list(d)->item(0)->isSelected());
    EXPECT_TRUE(list(d)->item(1)->isSelected());
    before->click();
    EXPECT_FALSE(list(d)->item(1)->isSelected());
}
