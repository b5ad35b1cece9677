#include "platform/app_folder.h"
#include "platform/import_lock.h"
#include "platform/safe_write.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos;
using namespace miratos::platform;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// An app folder with MapData/a holding one file, and a folder beside the app folder.
class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(app("MapData/a"));
        QDir().mkpath(outside());
        put(app("MapData/a/old.dat"), "old");
        put(outside() + QStringLiteral("/keep.txt"), "keep");
        AppFolder::set(app(""));
    }
    void TearDown() override { AppFolder::set(QString()); }

    QString app(const char* rel) const { return m_root.filePath(QStringLiteral("app/") + QString::fromUtf8(rel)); }
    QString outside() const { return m_root.filePath(QStringLiteral("outside")); }
    static void put(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Every entry of a folder, hidden ones too (a temporary file left behind shows up here).
    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_root;
};

TEST_F(SafeWrite, BatchFailingInTheMiddleChangesNothingAndLeavesNoTemporaryFile)
{
    {
        WriteBatch batch;
        ASSERT_TRUE(writeFileAtomically(app("MapData/a/old.dat"), "new").ok());
        ASSERT_TRUE(writeFileAtomically(app("MapData/a/first.dat"), "1").ok());
        // A folder where the file should be: this write fails.
        QDir().mkpath(app("MapData/a/second.dat"));
        EXPECT_FALSE(writeFileAtomically(app("MapData/a/second.dat"), "2").ok());
    }
    EXPECT_EQ(readAll(app("MapData/a/old.dat")), "old");
    EXPECT_EQ(entries(app("MapData/a")), (QStringList{QStringLiteral("old.dat"), QStringLiteral("second.dat")}));
}

TEST_F(SafeWrite, BatchPutsEveryFileInPlaceOnlyAtCommit)
{
    WriteBatch batch;
    ASSERT_TRUE(writeFileAtomically(app("MapData/a/old.dat"), "new").ok());
    ASSERT_TRUE(appendTextLines(app("MapData/a/old.dat"), {QStringLiteral("more")}).ok()); // sees its own write
    ASSERT_TRUE(writeFileAtomically(app("MapData/a/first.dat"), "1").ok());
    EXPECT_EQ(readAll(app("MapData/a/old.dat")), "old");
    EXPECT_FALSE(QFileInfo::exists(app("MapData/a/first.dat")));
    ASSERT_TRUE(batch.commit().ok());
    EXPECT_EQ(readAll(app("MapData/a/old.dat")), "newmore\r\n");
    EXPECT_EQ(readAll(app("MapData/a/first.dat")), "1");
    EXPECT_EQ(entries(app("MapData/a")), (QStringList{QStringLiteral("first.dat"), QStringLiteral("old.dat")}));
}

TEST_F(SafeWrite, InnerBatchGivenUpDropsOnlyItsOwnFiles)
{
    WriteBatch outer;
    ASSERT_TRUE(writeFileAtomically(app("MapData/a/kept.dat"), "k").ok());
    {
        WriteBatch inner;
        ASSERT_TRUE(writeFileAtomically(app("MapData/a/dropped.dat"), "d").ok());
    }
    {
        WriteBatch inner;
        ASSERT_TRUE(writeFileAtomically(app("MapData/a/joined.dat"), "j").ok());
        ASSERT_TRUE(inner.commit().ok());
    }
    EXPECT_FALSE(QFileInfo::exists(app("MapData/a/joined.dat"))); // left to the outer batch
    ASSERT_TRUE(outer.commit().ok());
    EXPECT_EQ(entries(app("MapData/a")), (QStringList{QStringLiteral("joined.dat"), QStringLiteral("kept.dat"), QStringLiteral("old.dat")}));
}

// Links planted in the app folder: where each leads, and whether a write below it is refused.
TEST_F(SafeWrite, LinksOutOfTheAppFolderAreRefusedAndLinksInsideAreReplaced)
{
    struct Case {
        const char* link;   // below the app folder
        QString leadsTo;
        const char* target; // the file written
        bool refused;
    };
    const Case cases[] = {
        {"MapData/out", outside(), "MapData/out/x.dat", true},                                   // a folder out
        {"MapData/a/file.dat", outside() + QStringLiteral("/keep.txt"), "MapData/a/file.dat", true}, // the file itself
        {"MapData/a/gone.dat", outside() + QStringLiteral("/new.txt"), "MapData/a/gone.dat", true},  // dangling, out
        {"MapData/in", app("MapData/a"), "MapData/in/x.dat", false},                              // a folder inside
        {"MapData/a/same.dat", app("MapData/a/old.dat"), "MapData/a/same.dat", false},           // a file inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        ASSERT_TRUE(QFile::link(c.leadsTo, app(c.link)));
        const Status written = writeFileAtomically(app(c.target), "written");
        EXPECT_EQ(written.ok(), !c.refused) << written.error().toStdString();
        if (c.refused) {
            EXPECT_TRUE(written.error().contains(QDir::toNativeSeparators(app(c.link)) + QStringLiteral(" は app フォルダの外")))
                << written.error().toStdString();
        }
    }
    EXPECT_EQ(entries(outside()), QStringList{QStringLiteral("keep.txt")});
    EXPECT_EQ(readAll(outside() + QStringLiteral("/keep.txt")), "keep");
    // The file link inside was replaced by the file; what it pointed at is as it was.
    EXPECT_FALSE(QFileInfo(app("MapData/a/same.dat")).isSymLink());
    EXPECT_EQ(readAll(app("MapData/a/same.dat")), "written");
    EXPECT_EQ(readAll(app("MapData/a/old.dat")), "old");
    EXPECT_FALSE(makeFolder(app("MapData/out/sub")).ok());
    EXPECT_FALSE(QFileInfo::exists(outside() + QStringLiteral("/sub")));
}

TEST_F(SafeWrite, FileOutsideTheAppFolderIsTheUsersChoice)
{
    const QString target = outside() + QStringLiteral("/picture.png");
    ASSERT_TRUE(writeFileAtomically(target, "png").ok());
    EXPECT_EQ(readAll(target), "png");
    EXPECT_EQ(entries(outside()), (QStringList{QStringLiteral("keep.txt"), QStringLiteral("picture.png")}));
}

TEST_F(SafeWrite, ImportLockIsRefusedWhileHeldElsewhereAndNestsOnItsThread)
{
    {
        QLockFile other(ImportLock::path());
        ASSERT_TRUE(other.tryLock(0));
        ImportLock lock;
        const Status s = lock.acquire();
        ASSERT_FALSE(s.ok());
        EXPECT_TRUE(s.error().contains(QStringLiteral("別の取込が実行中です"))) << s.error().toStdString();
    }
    ImportLock job;
    ASSERT_TRUE(job.acquire().ok());
    ImportLock step; // a converter called by the job
    EXPECT_TRUE(step.acquire().ok());
    QLockFile other(ImportLock::path());
    EXPECT_FALSE(other.tryLock(0));
}

} // namespace
