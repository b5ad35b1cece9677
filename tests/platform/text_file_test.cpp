#include "platform/cp932.h"
#include "platform/text_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos::platform;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}
} // namespace

TEST(Cp932, KeepsWaveDashAndCircledDigits)
{
    // "～" must be FULLWIDTH TILDE (0x8160) and "①" must survive: the CP932 table, not SHIFT_JIS.
    const auto bytes = toCp932(QStringLiteral("～①東京都"));
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(*bytes, QByteArray("\x81\x60\x87\x40\x93\x8C\x8B\x9E\x93\x73"));
    EXPECT_EQ(fromCp932(*bytes), QStringLiteral("～①東京都"));
}

TEST(Cp932, CharacterOutsideCp932IsAnError)
{
    const auto bytes = toCp932(QStringLiteral("abc😀"));
    EXPECT_FALSE(bytes.ok());
    EXPECT_TRUE(bytes.error().contains(QStringLiteral("😀")));
}

// Each character CP932 cannot hold (one or two UTF-16 units) becomes one "〓"; the rest, "～"
// and "①" among them, stays, so that the result always encodes.
TEST(Cp932, MarksReplaceOnlyTheCharactersCp932CannotHold)
{
    struct Case {
        const char* text;
        const char* marked;
        qsizetype count;
    };
    const Case cases[] = {
        {"abc", "abc", 0},
        {"～①東京都", "～①東京都", 0},
        {"𠮷野家", "〓野家", 1},
        {"a😀b𠮷c", "a〓b〓c", 2},
        {"〓", "〓", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        qsizetype count = -1;
        const QString marked = withCp932Marks(QString::fromUtf8(c.text), &count);
        EXPECT_EQ(marked, QString::fromUtf8(c.marked));
        EXPECT_EQ(count, c.count);
        EXPECT_TRUE(toCp932(marked).ok());
    }
}

TEST(TextFile, ReadsEveryLineEndAndEncoding)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const QByteArray tokyo = *toCp932(QStringLiteral("東京都"));
    const Case cases[] = {
        {"crlf", "a\r\n" + tokyo + "\r\n"},
        {"lf", "a\n" + tokyo + "\n"},
        {"no final line end", "a\r\n" + tokyo},
        {"utf8 bom", QByteArray("\xEF\xBB\xBF") + "a\r\n" + QStringLiteral("東京都").toUtf8() + "\r\n"},
        {"cr only", "a\r" + tokyo + "\r"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeAll(path, c.bytes);
        const auto lines = readTextLines(path);
        ASSERT_TRUE(lines.ok()) << c.name;
        EXPECT_EQ(*lines, (QStringList{QStringLiteral("a"), QStringLiteral("東京都")})) << c.name;
    }
}

TEST(Cp932, BytesThatAreNotCp932AreReadAsGetaMarksThatCanBeWrittenAgain)
{
    // One 〓 per byte that is not CP932; a lead byte with a bad second byte loses only itself.
    struct Case {
        QByteArray bytes;
        QString text;
        qsizetype invalid;
    };
    const QByteArray tokyo = *toCp932(QStringLiteral("東京"));
    const Case cases[] = {
        {"a\x80" "b", QStringLiteral("a〓b"), 1},
        {"\xFD\xFE\xFF", QStringLiteral("〓〓〓"), 3},
        {"\x81 x", QStringLiteral("〓 x"), 1},
        {tokyo + "\x82", QStringLiteral("東京〓"), 1},
        {"\xA0" + tokyo, QStringLiteral("〓東京"), 1},
        {tokyo, QStringLiteral("東京"), 0},
    };
    for (const Case& c : cases) {
        qsizetype invalid = -1;
        const QString text = fromCp932(c.bytes, &invalid);
        EXPECT_EQ(text, c.text) << c.bytes.toHex().constData();
        EXPECT_EQ(invalid, c.invalid) << c.bytes.toHex().constData();
        const auto written = toCp932(text);
        ASSERT_TRUE(written.ok()) << written.error().toStdString();
        EXPECT_EQ(fromCp932(*written), text);
    }
    EXPECT_EQ(*toCp932(QStringLiteral("〓")), QByteArray("\x81\xAC"));

    // UTF-8 files: every byte of a broken sequence becomes the same mark.
    qsizetype invalid = 0;
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF" "a\xE6\x9D" "b\xFF"), TextEncoding::Utf8, &invalid), QStringLiteral("a〓〓b〓"));
    EXPECT_EQ(invalid, 3);
}

TEST(TextFile, Utf16IsRefusedNamingTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("u16.csv"));
    writeAll(path, QByteArray("\xFF\xFE" "a\0b\0", 6));
    for (const auto& lines : {readTextLines(path), readTextLinesGuessing(path)}) {
        ASSERT_FALSE(lines.ok());
        EXPECT_TRUE(lines.error().contains(QStringLiteral("u16.csv は UTF-16 のため読めません"))) << lines.error().toStdString();
    }
}

TEST(TextFile, KeepsEmptyLinesInside)
{
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\nb")), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(splitLines(QString()).isEmpty());
}

TEST(TextFile, TextAndBytesSplitAtTheSameLineEnds)
{
    struct Case {
        const char* text;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},    // CR only: an old Mac file
        {"a\rb\nc", {"a\rb", "c"}}, // a file with LF keeps a stray CR inside its line
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QByteArray(c.text).toHex(' ').toStdString());
        EXPECT_EQ(splitLines(QString::fromLatin1(c.text)), c.lines);
        QStringList fromBytes;
        for (QByteArrayView line : splitByteLines(QByteArrayView(c.text)))
            fromBytes << QString::fromLatin1(line);
        EXPECT_EQ(fromBytes, c.lines);
    }
}

TEST(TextFile, GuessesUtf8WithoutBom)
{
    QTemporaryDir dir;
    const QString utf8 = dir.filePath(QStringLiteral("u.csv"));
    const QString sjis = dir.filePath(QStringLiteral("s.csv"));
    writeAll(utf8, QStringLiteral("コード,面積\r\n").toUtf8());
    writeAll(sjis, *toCp932(QStringLiteral("コード,面積\r\n")));
    EXPECT_EQ(readTextLinesGuessing(utf8)->value(0), QStringLiteral("コード,面積"));
    EXPECT_EQ(readTextLinesGuessing(sjis)->value(0), QStringLiteral("コード,面積"));
}

TEST(TextFile, WritesCp932WithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(writeTextLines(path, {QStringLiteral("13"), QStringLiteral("東京都")}).ok());
    EXPECT_EQ(readAll(path), QByteArray("13\r\n\x93\x8C\x8B\x9E\x93\x73\r\n"));
    ASSERT_TRUE(writeTextLines(path, {QStringLiteral("a"), QStringLiteral("b")}, false).ok());
    EXPECT_EQ(readAll(path), QByteArray("a\r\nb"));
}

TEST(TextFile, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    writeAll(path, "good\r\n");
    const miratos::Status status = writeTextLines(path, {QStringLiteral("ok"), QStringLiteral("bad 😀")});
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains(QStringLiteral("keep.txt")));
    EXPECT_TRUE(status.error().contains(QStringLiteral("2 行目")));
    EXPECT_EQ(readAll(path), QByteArray("good\r\n"));
}

TEST(TextFile, MissingFileIsReported)
{
    const auto lines = readTextLines(QStringLiteral("/nonexistent/dir/x.dat"));
    ASSERT_FALSE(lines.ok());
    EXPECT_TRUE(lines.error().contains(QStringLiteral("x.dat")));
}
