// データ取込 as a user meets it: opened from the launcher, downloads dropped on it, imported with
// the progress bar running, cancelled without a trace, and closed back to the launcher.
#include "app/frm_menu.h"
#include "imports/frm_import.h"
#include "platform/app_folder.h"

#include <QApplication>
#include <QDirIterator>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include "zip_writer.h"

namespace {

using miratos::imports::frmImport;
using miratos::imports::InputKind;

const QString kData = QStringLiteral(MIRATOS_SHARED_DATA);

QWidget* visibleTopLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

void saveShot(QWidget* w, const QString& name)
{
    const QByteArray dir = qgetenv("MIRATOS_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

void drop(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
}

QStringList mapDataFiles(const QString& app)
{
    QStringList files;
    for (QDirIterator it(app + QStringLiteral("/MapData"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    files.sort();
    return files;
}

class ImportWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(kData + QStringLiteral("/n03-2021")))
            GTEST_SKIP() << "shared data absent";
        miratos::platform::AppFolder::set(m_app.path());
        ASSERT_TRUE(QFile::copy(QStringLiteral(MIRATOS_SOURCE_DIR "/data/Init.ini"), m_app.filePath(QStringLiteral("Init.ini"))));
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->hide();
            w->deleteLater();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        miratos::platform::AppFolder::set(QString());
    }

    // The launcher, its データ取込 button pressed: the import window, the launcher gone.
    frmImport* openFromLauncher()
    {
        auto* menu = new miratos::app::frmMenu;
        menu->show();
        auto* button = menu->findChild<QPushButton*>(QStringLiteral("cmdImport"));
        EXPECT_NE(button, nullptr);
        if (!button)
            return nullptr;
        EXPECT_EQ(button->text(), QStringLiteral("データ取込"));
        button->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(visibleTopLevel(QStringLiteral("frmMenu")), nullptr);
        auto* window = qobject_cast<frmImport*>(visibleTopLevel(QStringLiteral("frmImport")));
        EXPECT_NE(window, nullptr);
        if (window) {
            EXPECT_EQ(window->windowTitle(), QStringLiteral("データ取込"));
        }
        return window;
    }

    QStringList downloads() const
    {
        return {kData + QStringLiteral("/n03-2021/geojson/N03-21_13_210101.json"),
                kData + QStringLiteral("/n03-2021/geojson/N03-21_14_210101.json"),
                kData + QStringLiteral("/railway"),
                kData + QStringLiteral("/facilities-p02-2006/P02-06_13-g_PublicFacility.geojson"),
                kData + QStringLiteral("/small-area-itabashi-2015"),
                kData + QStringLiteral("/README.md")};
    }

    QTemporaryDir m_app;
};

TEST_F(ImportWindow, DroppedDownloadsAreListedImportedAndSummarised)
{
    frmImport* window = openFromLauncher();
    ASSERT_NE(window, nullptr);
    drop(window, downloads());
    auto* grid = window->findChild<QTableWidget*>(QStringLiteral("grdInputs"));
    ASSERT_NE(grid, nullptr);
    QStringList kinds;
    for (int r = 0; r < grid->rowCount(); ++r)
        kinds << grid->item(r, 0)->text();
    for (const char* kind : {"行政区域", "鉄道（路線）", "鉄道（駅）", "公共施設", "小地域境界", "小地域集計", "不明"})
        EXPECT_TRUE(kinds.contains(QString::fromUtf8(kind))) << kind << " in " << kinds.join(',').toStdString();
    EXPECT_TRUE(mapDataFiles(m_app.path()).isEmpty()); // nothing is written before 取込
    window->resize(1100, 600);
    saveShot(window, QStringLiteral("import_window_listed.png"));

    QSignalSpy finished(window, &frmImport::importFinished);
    window->findChild<QPushButton*>(QStringLiteral("cmdImport"))->click();
    EXPECT_TRUE(window->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->isEnabled());
    ASSERT_TRUE(finished.wait(120000));
    const QString summary = window->findChild<QPlainTextEdit*>(QStringLiteral("txtSummary"))->toPlainText();
    EXPECT_TRUE(summary.startsWith(QStringLiteral("取込が終わりました"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("書いたもの:")));
    EXPECT_TRUE(summary.contains(QStringLiteral("鉄道: 鉄道区間"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Build.dat: 公共施設"))) << summary.toStdString();
    // The tables of the small areas find the boundaries imported in the same run.
    EXPECT_TRUE(summary.contains(QStringLiteral("小地域: "))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("itabashi_setai.csv から 1 ファイルを書きました"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("飛ばしたもの:")));
    EXPECT_TRUE(summary.contains(QStringLiteral("README.md"))) << summary.toStdString();
    auto* progress = window->findChild<QProgressBar*>(QStringLiteral("prgImport"));
    EXPECT_EQ(progress->value(), progress->maximum());
    const QStringList written = mapDataFiles(m_app.path());
    for (const char* file : {"MapData/東京都/Polygon.dat", "MapData/神奈川県/Polygon.dat", "MapData/鉄道/Rosen.dat", "MapData/鉄道/Eki.dat", "MapData/東京都/Build.dat"})
        EXPECT_TRUE(written.contains(m_app.filePath(QString::fromUtf8(file)))) << file;
    saveShot(window, QStringLiteral("import_window_done.png"));

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_NE(visibleTopLevel(QStringLiteral("frmMenu")), nullptr); // closing returns to the launcher
}

TEST_F(ImportWindow, CancelLeavesEveryFileAsItWas)
{
    frmImport* window = openFromLauncher();
    ASSERT_NE(window, nullptr);
    window->addInputs(downloads());
    QSignalSpy finished(window, &frmImport::importFinished);
    window->findChild<QPushButton*>(QStringLiteral("cmdImport"))->click();
    window->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_TRUE(window->findChild<QPlainTextEdit*>(QStringLiteral("txtSummary"))->toPlainText().startsWith(QStringLiteral("中止しました")));
    EXPECT_TRUE(mapDataFiles(m_app.path()).isEmpty());
    // Closed while nothing runs, the window goes; listed again and imported, it writes.
    window->findChild<QPushButton*>(QStringLiteral("cmdImport"))->click();
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_FALSE(mapDataFiles(m_app.path()).isEmpty());
}

TEST_F(ImportWindow, AZipDroppedIsListedByItsMembersAndImportedFromThem)
{
    QFile source(kData + QStringLiteral("/n03-2021/geojson/N03-21_13_210101.json"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString zip = m_app.filePath(QStringLiteral("N03-20210101_13_GML.zip"));
    writeZip(zip, {{"N03-20210101_13_GML/N03-21_13_210101.geojson", source.readAll()}, {"N03-20210101_13_GML/KS-META-N03.xml", "<meta/>"}});
    frmImport* window = openFromLauncher();
    ASSERT_NE(window, nullptr);
    drop(window, {zip});
    ASSERT_EQ(window->inputs().size(), 1u);
    const auto& input = window->inputs().front();
    EXPECT_EQ(input.kind, InputKind::Boundary);
    EXPECT_EQ(input.places, QStringLiteral("東京都"));
    EXPECT_TRUE(input.shown.contains(QStringLiteral("N03-20210101_13_GML.zip の "))) << input.shown.toStdString();
    QSignalSpy finished(window, &frmImport::importFinished);
    window->findChild<QPushButton*>(QStringLiteral("cmdImport"))->click();
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_TRUE(QFileInfo::exists(m_app.filePath(QStringLiteral("MapData/東京都/Polygon.dat"))));
    const QString summary = window->findChild<QPlainTextEdit*>(QStringLiteral("txtSummary"))->toPlainText();
    EXPECT_TRUE(summary.startsWith(QStringLiteral("取込が終わりました。"))) << summary.toStdString();
}

} // namespace
