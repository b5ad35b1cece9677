#include "platform/app_folder.h"
#include "platform/path_part.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using miratos::platform::AppFolder;

TEST(AppFolder, DefaultsToTheExecutableFolderAndTakesTheOverride)
{
    AppFolder::set(QString());
    EXPECT_EQ(AppFolder::root(), QCoreApplication::applicationDirPath());

    const QStringList rest = AppFolder::applyArguments(
        {QStringLiteral("miratos"), QStringLiteral("--app-folder"), QStringLiteral("/tmp/app/"), QStringLiteral("import")});
    EXPECT_EQ(rest, (QStringList{QStringLiteral("miratos"), QStringLiteral("import")}));
    EXPECT_EQ(AppFolder::root(), QStringLiteral("/tmp/app"));
    EXPECT_EQ(AppFolder::initIni(), QStringLiteral("/tmp/app/Init.ini"));
    EXPECT_EQ(AppFolder::path(QStringLiteral("\\MapData\\SelectCity.txt")), QStringLiteral("/tmp/app/MapData/SelectCity.txt"));
    EXPECT_EQ(AppFolder::prefFolder(QStringLiteral("東京都")), QStringLiteral("/tmp/app/MapData/東京都/"));
    EXPECT_EQ(AppFolder::convertFolder(), QStringLiteral("/tmp/app/変換フォルダ"));
    AppFolder::set(QString());
}

TEST(AppFolder, AProgramBesideItsPreparedAppSubfolderUsesIt)
{
    QTemporaryDir exe;
    const QString root = QDir::cleanPath(exe.path());
    auto touch = [](const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    EXPECT_EQ(AppFolder::defaultFor(root), root); // nothing prepared: the program's own folder
    touch(root + QStringLiteral("/app/Init.ini"));
    EXPECT_EQ(AppFolder::defaultFor(root), root + QStringLiteral("/app"));
    touch(root + QStringLiteral("/Init.ini")); // an installed program keeps its data beside it
    EXPECT_EQ(AppFolder::defaultFor(root), root);
}

// Names from data become one path part: nothing in them can climb out of or reach past MapData.
TEST(AppFolder, NamesFromDataStayOnePathPartInsideMapData)
{
    using miratos::platform::safePathPart;
    const std::pair<const char*, const char*> cases[] = {
        {"東京都", "東京都"},
        {" 東京都 ", "東京都"},
        {"..\\..\\x", "....x"},
        {"../x", "..x"},
        {"..", ""},
        {".", ""},
        {" .. ", ""},
        {"/", ""},
        {"C:\\Windows", "CWindows"},
        {"a*b?c\"d<e>f|g", "abcdefg"},
        {"a\tb\r\nc", "abc"},
        {"17_13101_千代田区.dat", "17_13101_千代田区.dat"},
    };
    for (const auto& [text, part] : cases)
        EXPECT_EQ(safePathPart(QString::fromUtf8(text)), QString::fromUtf8(part)) << text;

    AppFolder::set(QStringLiteral("/tmp/app"));
    for (const char* name : {"..\\..\\x", "../../x", "..", "/etc"}) {
        const QString folder = QDir::cleanPath(AppFolder::prefFolder(QString::fromUtf8(name)));
        EXPECT_TRUE(folder.startsWith(QStringLiteral("/tmp/app/MapData"))) << name << " gives " << folder.toStdString();
    }
    AppFolder::set(QString());
}
