#include "platform/cp932.h"
#include "platform/ini_file.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace miratos::platform;

class IniFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("Init.ini"));
        const QString text = QStringLiteral("[Pref]\r\n01=北海道\r\n13 = 東京都 \r\nEmpty=\r\nQuoted=\"  a b \"\r\n"
                                            "Long=%1\r\nLongJ=%2\r\n; comment=1\r\n"
                                            "[SpecialCoordinate]\r\n13=139.94 138.92 35.48 35.92\r\n")
                                 .arg(QString(300, QLatin1Char('x')), QString(200, QChar(0x6771)));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(*toCp932(text));
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(IniFile, ReadsValuesLikeTheProfileReader)
{
    EXPECT_EQ(GetINIValue(QStringLiteral("01"), QStringLiteral("Pref"), path), QStringLiteral("北海道"));
    EXPECT_EQ(GetINIValue(QStringLiteral("13"), QStringLiteral("pref"), path), QStringLiteral("東京都"));
    EXPECT_EQ(GetINIValue(QStringLiteral("13"), QStringLiteral("SpecialCoordinate"), path),
              QStringLiteral("139.94 138.92 35.48 35.92"));
    EXPECT_EQ(GetINIValue(QStringLiteral("Quoted"), QStringLiteral("Pref"), path), QStringLiteral("  a b "));
}

TEST_F(IniFile, EmptyValueIsNotAnError)
{
    EXPECT_EQ(GetINIValue(QStringLiteral("Empty"), QStringLiteral("Pref"), path), QString());
}

TEST_F(IniFile, MissingFileSectionOrKeyGivesError)
{
    EXPECT_EQ(GetINIValue(QStringLiteral("02"), QStringLiteral("Pref"), path), QStringLiteral("ERROR"));
    EXPECT_EQ(GetINIValue(QStringLiteral("01"), QStringLiteral("WaterColor"), path), QStringLiteral("ERROR"));
    EXPECT_EQ(GetINIValue(QStringLiteral("01"), QStringLiteral("Pref"), dir.filePath(QStringLiteral("none.ini"))),
              QStringLiteral("ERROR"));
    EXPECT_EQ(GetINIValue(QStringLiteral("; comment"), QStringLiteral("Pref"), path), QStringLiteral("ERROR"));
}

TEST_F(IniFile, LongValuesAreCutTo254Bytes)
{
    EXPECT_EQ(GetINIValue(QStringLiteral("Long"), QStringLiteral("Pref"), path), QString(254, QLatin1Char('x')));
    // Double-byte characters are never split: 127 of them fill the 254 bytes.
    EXPECT_EQ(GetINIValue(QStringLiteral("LongJ"), QStringLiteral("Pref"), path), QString(127, QChar(0x6771)));
}

// Values are kept between look-ups, yet an edit is seen at once: in place with the same size, a
// replacement by a new file, or the file's removal. The times are set an hour back so that the
// file counts as settled and the kept values are used.
TEST_F(IniFile, KeptValuesFollowEditsOfTheFile)
{
    const auto rewrite = [this](const QByteArray& bytes, int minutesAgo) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite | QIODevice::Truncate));
        f.write(bytes);
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFileDevice::FileModificationTime));
    };
    const QString file = path;
    const auto value = [&] { return GetINIValue(QStringLiteral("13"), QStringLiteral("Pref"), file); };
    rewrite("[Pref]\r\n13=AAA\r\n", 60);
    EXPECT_EQ(value(), QStringLiteral("AAA"));
    rewrite("[Pref]\r\n13=BBB\r\n", 59);
    EXPECT_EQ(value(), QStringLiteral("BBB"));
    const QString other = dir.filePath(QStringLiteral("new.ini"));
    {
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Pref]\r\n13=CCC\r\n");
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(value(), QStringLiteral("ERROR"));
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_EQ(value(), QStringLiteral("CCC"));
}
