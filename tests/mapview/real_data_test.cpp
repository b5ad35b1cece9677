// The map window on real boundaries: imported from the published TopoJSON, loaded and drawn in
// every style. Skipped when the shared data is not beside the project. With MIRATOS_SCREENSHOT_DIR
// set, the window pictures are saved there for a look.
#include "app/frm_main.h"
#include "state/mdl_main.h"
#include "cli/import_command.h"
#include "platform/app_folder.h"
#include "platform/prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace miratos;

namespace {

QString topoJson(int code)
{
    return QStringLiteral(MIRATOS_SHARED_DATA "/n03-2021/topojson/N03-21_%1_210101.json").arg(code, 2, 10, QLatin1Char('0'));
}

int countNonWhite(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += (line[x] & 0xFFFFFF) != 0xFFFFFF;
    }
    return n;
}

void saveShot(QWidget& w, const QString& name)
{
    const QByteArray dir = qgetenv("MIRATOS_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    w.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name);
}

class RealData : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(topoJson(13)))
            GTEST_SKIP() << "shared data not found at " << MIRATOS_SHARED_DATA;
        platform::AppFolder::set(dir.path());
        QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), dir.filePath(QStringLiteral("Init.ini")));
        QString text;
        QTextStream out(&text), err(&text);
        ASSERT_EQ(cli::runImportCommand({topoJson(13), topoJson(14), topoJson(27)}, out, err), 0) << text.toStdString();
        state::resetMdlMain();
        app::frmMain::setAutoLoad(false);
    }
    void TearDown() override
    {
        app::frmMain::setAutoLoad(true);
        platform::AppFolder::set(QString());
    }
    void select(const QString& mode)
    {
        auto& s = state::mdlMain();
        s.MapMode = mode;
        s.UseSpecialCoordinate = true;
        for (int code : {13, 14}) {
            s.PrefTable[static_cast<size_t>(code)][0] = QStringLiteral("TRUE");
            s.PrefTable[static_cast<size_t>(code)][1] = code == 13 ? QStringLiteral("東京都") : QStringLiteral("神奈川県");
        }
    }
    QTemporaryDir dir;
    platform::ScopedScriptedPrompts prompts;
};

} // namespace

TEST_F(RealData, PrefModeDrawsTokyoAndKanagawaInEveryStyle)
{
    select(QStringLiteral("Pref"));
    app::frmMain window;
    window.show();
    window.初期化();
    EXPECT_TRUE(prompts.records().empty()) << prompts.last().text.toStdString();
    EXPECT_GT(window.tables().lvwUseTiku.count(), 90);
    EXPECT_GT(window.tables().LineRecords.size(), 300u);
    int previous = -1;
    for (int style : {0, 1, 2}) {
        window.findChild<QRadioButton*>(QStringLiteral("optMode_%1").arg(style))->setChecked(true);
        window.描画();
        const int inked = countNonWhite(window.canvas().image());
        EXPECT_GT(inked, 1000) << "style " << style;
        EXPECT_NE(inked, previous) << "style " << style;
        previous = inked;
        saveShot(window, QStringLiteral("pref_style%1.png").arg(style));
    }
}

TEST_F(RealData, JapanModeDrawsFilledPrefectures)
{
    select(QStringLiteral("Japan"));
    app::frmMain window;
    window.show();
    window.初期化();
    EXPECT_EQ(window.tables().lvwUsePref.count(), 2);
    window.findChild<QRadioButton*>(QStringLiteral("optMode_2"))->setChecked(true);
    window.描画();
    EXPECT_GT(countNonWhite(window.canvas().image()), 20000);
    saveShot(window, QStringLiteral("japan_style2.png"));
}

TEST_F(RealData, OsakaWardsAreLabelledByWardNotCity)
{
    auto& s = state::mdlMain();
    s.MapMode = QStringLiteral("Pref");
    s.PrefTable[27] = {QStringLiteral("TRUE"), QStringLiteral("大阪府"), QString()};
    app::frmMain window;
    window.show();
    window.初期化();
    window.findChild<QCheckBox*>(QStringLiteral("chkCity"))->click();
    QStringList captions;
    const auto& lbl = window.labels().array(mapview::LabelKind::Pref);
    for (int i = 1; i < lbl.count(); ++i)
        captions << lbl.at(i).caption;
    EXPECT_TRUE(captions.contains(QStringLiteral("北区")));
    EXPECT_TRUE(captions.contains(QStringLiteral("堺区")));
    EXPECT_FALSE(captions.contains(QStringLiteral("大阪市")));
    EXPECT_EQ(lbl.count() - 1, window.tables().lvwUseTiku.count());
    saveShot(window, QStringLiteral("osaka_labels.png"));
}
