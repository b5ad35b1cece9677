#include "platform/app_folder.h"
#include "platform/path_part.h"
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using miratos::platform::AppFolder;

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Sets an environment variable for one test and puts back what was there.
class EnvVar {
public:
    EnvVar(const char* name, const QString& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~EnvVar()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// An installed program: usr/bin (read-only, as under /usr) and its shared data in usr/share/miratos.
struct InstalledProgram {
    QTemporaryDir dir;
    QString bin = dir.path() + QStringLiteral("/usr/bin");
    QString shared = dir.path() + QStringLiteral("/usr/share/miratos");
    InstalledProgram()
    {
        writeFile(shared + QStringLiteral("/Init.ini"), "[Init]\r\n");
        writeFile(shared + QStringLiteral("/MapData/公共施設.ini"), "symbols\r\n");
        QDir().mkpath(bin);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }
    ~InstalledProgram() { QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
};
} // namespace

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

TEST(AppFolder, AnInstalledProgramTakesThePerUserFolderUnlessItsOwnFolderHoldsTheData)
{
    InstalledProgram program;
    QTemporaryDir xdg;
    const EnvVar data("XDG_DATA_HOME", xdg.path());
    const QString user = QDir::cleanPath(xdg.path()) + QStringLiteral("/miratos");
    EXPECT_EQ(AppFolder::userFolder(), user);
    EXPECT_EQ(AppFolder::sharedDataFor(program.bin), QDir::cleanPath(program.shared));
    EXPECT_EQ(AppFolder::defaultFor(program.bin), user);

    // A build folder without shared data beside it keeps its own folder.
    QTemporaryDir build;
    EXPECT_EQ(AppFolder::sharedDataFor(build.path()), QString());
    EXPECT_EQ(AppFolder::defaultFor(build.path()), QDir::cleanPath(build.path()));

    // A program folder nobody may write to, without shared data: the per-user folder as well.
    QTemporaryDir locked;
    QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(locked.path()).isWritable()) {
        EXPECT_EQ(AppFolder::defaultFor(locked.path()), user);
    }
    QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The rule for a program beside its own Init.ini stays, installed or not.
    QFile::setPermissions(program.bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeFile(program.bin + QStringLiteral("/app/Init.ini"), "");
    EXPECT_EQ(AppFolder::defaultFor(program.bin), QDir::cleanPath(program.bin + QStringLiteral("/app")));
    writeFile(program.bin + QStringLiteral("/Init.ini"), "");
    EXPECT_EQ(AppFolder::defaultFor(program.bin), QDir::cleanPath(program.bin));
}

TEST(AppFolder, ThePerUserFolderFollowsXdgDataHomeOrFallsBackToTheHome)
{
    QTemporaryDir home;
    const EnvVar homeVar("HOME", home.path());
    const QString fallback = QDir::cleanPath(home.path()) + QStringLiteral("/.local/share/miratos");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/srv/data/"), QStringLiteral("/srv/data/miratos")},
        {QString(), fallback},                                 // unset
        {QStringLiteral(""), fallback},                        // empty
        {QStringLiteral("relative/data"), fallback},           // a relative path is ignored
    };
    for (const auto& [xdg, expected] : cases) {
        const EnvVar data("XDG_DATA_HOME", xdg);
        EXPECT_EQ(AppFolder::userFolder(), expected) << xdg.toStdString();
    }
}

TEST(AppFolder, FirstStartLaysOutThePerUserFolderAndLaterStartsKeepTheUsersFiles)
{
    InstalledProgram program;
    QTemporaryDir xdg;
    const QString user = xdg.path() + QStringLiteral("/miratos");

    const auto first = AppFolder::layOut(user, program.shared);
    ASSERT_TRUE(first) << first.error().toStdString();
    EXPECT_TRUE(*first); // new: the caller says so
    EXPECT_EQ(fileBytes(user + QStringLiteral("/Init.ini")), "[Init]\r\n");
    EXPECT_EQ(fileBytes(user + QStringLiteral("/MapData/公共施設.ini")), "symbols\r\n");
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("/変換フォルダ")).isDir());

    // The user edits Init.ini and loses the symbols: the edit stays, the missing file comes back.
    writeFile(user + QStringLiteral("/Init.ini"), "mine");
    QFile::remove(user + QStringLiteral("/MapData/公共施設.ini"));
    const auto again = AppFolder::layOut(user, program.shared);
    ASSERT_TRUE(again) << again.error().toStdString();
    EXPECT_FALSE(*again); // not new: nothing to say
    EXPECT_EQ(fileBytes(user + QStringLiteral("/Init.ini")), "mine");
    EXPECT_EQ(fileBytes(user + QStringLiteral("/MapData/公共施設.ini")), "symbols\r\n");

    // A file where the folder should be: a clear error naming it, not a half-made folder.
    writeFile(xdg.path() + QStringLiteral("/blocked"), "x");
    const auto blocked = AppFolder::layOut(xdg.path() + QStringLiteral("/blocked"), program.shared);
    ASSERT_FALSE(blocked);
    EXPECT_TRUE(blocked.error().contains(QStringLiteral("blocked"))) << blocked.error().toStdString();

    // With --app-folder nothing is laid out and nothing is said.
    const EnvVar data("XDG_DATA_HOME", xdg.path() + QStringLiteral("/other"));
    AppFolder::set(xdg.path() + QStringLiteral("/chosen"));
    const auto note = AppFolder::prepareForStart();
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->isEmpty());
    EXPECT_FALSE(QFileInfo::exists(xdg.path() + QStringLiteral("/other")));
    EXPECT_FALSE(QFileInfo::exists(xdg.path() + QStringLiteral("/chosen")));
    AppFolder::set(QString());
}

// The window shows the note or the error once in a box; a command gives it as one line on stderr.
TEST(AppFolder, TheFirstStartNoteAndTheErrorReachTheUserOnce)
{
    using miratos::Error;
    using miratos::Result;
    using miratos::platform::MsgIcon;
    const QString note = QStringLiteral("作りました:\n/home/u/.local/share/miratos");
    const struct {
        Result<QString> given;
        bool window;
        bool ready;
        int boxes;
        MsgIcon icon;
        QString line;
    } cases[] = {
        {QString(), true, true, 0, MsgIcon::None, QString()},
        {QString(), false, true, 0, MsgIcon::None, QString()},
        {note, true, true, 1, MsgIcon::Information, QString()},
        {note, false, true, 0, MsgIcon::None, QStringLiteral("miratos: 作りました: /home/u/.local/share/miratos\n")},
        {Error{QStringLiteral("作れません")}, true, false, 1, MsgIcon::Critical, QString()},
        {Error{QStringLiteral("作れません")}, false, false, 0, MsgIcon::None, QStringLiteral("miratos: 作れません\n")},
    };
    for (const auto& c : cases) {
        miratos::platform::ScopedScriptedPrompts prompts;
        QString written;
        QTextStream err(&written);
        EXPECT_EQ(miratos::platform::tellAppFolderStart(c.given, c.window, err), c.ready);
        EXPECT_EQ(written, c.line);
        ASSERT_EQ(static_cast<int>(prompts.records().size()), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(prompts.last().icon, c.icon);
            EXPECT_EQ(prompts.last().title, QStringLiteral("ミラトス"));
            EXPECT_EQ(prompts.last().text, c.given ? *c.given : c.given.error());
        }
    }
}
