#include "platform/memory_guard.h"
#include "platform/read_limits.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <new>

using namespace miratos::platform;

// A command that runs out of memory while a file is read ends with the file named, not with an
// abort; the name of a reading that ended normally is not blamed.
TEST(MemoryGuard, NamesTheFileBeingReadWhenMemoryRunsOut)
{
    struct Case {
        bool throws;
        int status;
        const char* message;
    };
    for (const Case& c : {Case{true, 1, "miratos: メモリが足りません（/data/Line.dat）\n"}, Case{false, 7, ""}}) {
        QString text;
        QTextStream err(&text);
        const int status = runGuardingMemory(
            [&] {
                ReadingFile outer(QStringLiteral("/data/NEWS.dat"));
                { ReadingFile done(QStringLiteral("/data/Point.dat")); }
                ReadingFile inner(QStringLiteral("/data/Line.dat"));
                if (c.throws)
                    throw std::bad_alloc();
                return 7;
            },
            err);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(text, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(outOfMemoryMessage(), QStringLiteral("メモリが足りません"));
}

// A reader that parses after its bytes are in memory names no scope of its own: the file it read
// last is named.
TEST(MemoryGuard, NamesTheLastFileReadWhenNoReaderSaidWhich)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Line.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("13c1\r\n");
    file.close();
    QString text;
    QTextStream err(&text);
    runGuardingMemory(
        [&]() -> int {
            if (!readCheckedFile(path))
                return 0;
            throw std::bad_alloc();
        },
        err);
    EXPECT_EQ(text, QStringLiteral("miratos: メモリが足りません（%1）\n").arg(path));
}
