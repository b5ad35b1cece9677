#include "platform/keyed_table.h"

#include <gtest/gtest.h>

using miratos::platform::KeyedTable;

TEST(KeyedTable, KeepsInsertionOrderAndOneBasedPositions)
{
    KeyedTable t;
    EXPECT_TRUE(t.add(QStringLiteral("G13101"), QStringLiteral("13p1"), {QStringLiteral("東京都@千代田区"), QStringLiteral("3")}));
    EXPECT_TRUE(t.add(QString(), QStringLiteral("extra")));
    EXPECT_TRUE(t.add(QString(), QStringLiteral("extra2"))); // rows without key never collide
    EXPECT_TRUE(t.add(QStringLiteral("G13102"), QStringLiteral("13p2")));
    ASSERT_EQ(t.count(), 4);
    EXPECT_EQ(t.at(1).text, QStringLiteral("13p1"));
    EXPECT_EQ(t.at(2).text, QStringLiteral("extra"));
    EXPECT_EQ(t.indexOf(QStringLiteral("G13102")), 4);
    EXPECT_EQ(t.find(QStringLiteral("G13101"))->subItem(2), QStringLiteral("3"));
    EXPECT_EQ(t.find(QStringLiteral("G13101"))->subItem(4), QString());
}

TEST(KeyedTable, DuplicateAddAndMissingLookupFail)
{
    KeyedTable t;
    ASSERT_TRUE(t.add(QStringLiteral("K13"), QStringLiteral("東京都")));
    EXPECT_FALSE(t.add(QStringLiteral("K13"), QStringLiteral("other")));
    EXPECT_EQ(t.count(), 1);
    EXPECT_EQ(t.find(QStringLiteral("K13"))->text, QStringLiteral("東京都"));
    EXPECT_EQ(t.find(QStringLiteral("K14")), nullptr);
    EXPECT_EQ(t.indexOf(QStringLiteral("K14")), 0);
    EXPECT_FALSE(t.remove(QStringLiteral("K14")));
}

TEST(KeyedTable, RemovalKeepsLaterKeysReachable)
{
    KeyedTable t;
    for (const char* k : {"a", "b", "c", "d"})
        t.add(QString::fromLatin1(k), QString::fromLatin1(k).toUpper());
    ASSERT_TRUE(t.remove(QStringLiteral("b")));
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.indexOf(QStringLiteral("c")), 2);
    EXPECT_EQ(t.find(QStringLiteral("d"))->text, QStringLiteral("D"));
    EXPECT_TRUE(t.add(QStringLiteral("b"), QStringLiteral("again")));
    EXPECT_EQ(t.indexOf(QStringLiteral("b")), 4);
    t.find(QStringLiteral("a"))->setSubItem(3, QStringLiteral("x"));
    EXPECT_EQ(t.at(1).subItems, (QStringList{QString(), QString(), QStringLiteral("x")}));
}
