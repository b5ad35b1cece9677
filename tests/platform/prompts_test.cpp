#include "platform/prompts.h"

#include <gtest/gtest.h>

using namespace miratos::platform;

TEST(ScriptedPrompts, RecordsPromptsAndAnswersFromTheQueue)
{
    ScopedScriptedPrompts scripted;
    scripted.queue(MsgAnswer::No);
    scripted.queueText(QStringLiteral("/tmp/a.csv"));
    scripted.queueColor(255);

    EXPECT_EQ(prompts().message(MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("要確認"), QStringLiteral("?")), MsgAnswer::No);
    EXPECT_EQ(prompts().openFile({QStringLiteral("データ取り込み"), QStringLiteral("*.csv"), {}, {}}), QStringLiteral("/tmp/a.csv"));
    EXPECT_EQ(prompts().chooseColor(0), 255);
    // Queue empty: messages take their first button, dialogs are cancelled.
    EXPECT_EQ(prompts().message(MsgIcon::None, MsgButtons::OkCancel, QString(), QString()), MsgAnswer::Ok);
    EXPECT_FALSE(prompts().saveFile({}).has_value());
    EXPECT_FALSE(prompts().input(QStringLiteral("名称変更"), QStringLiteral("名称変更"), QString()).has_value());

    ASSERT_EQ(scripted.records().size(), 6u);
    EXPECT_EQ(scripted.records()[0].title, QStringLiteral("要確認"));
    EXPECT_EQ(scripted.records()[0].icon, MsgIcon::Question);
    EXPECT_EQ(scripted.records()[1].kind, ScriptedPrompts::Kind::OpenFile);
}

TEST(ScriptedPrompts, AnswerOfTheWrongKindIsNotConsumed)
{
    ScopedScriptedPrompts scripted;
    scripted.queueText(QStringLiteral("x"));
    EXPECT_EQ(prompts().message(MsgIcon::None, MsgButtons::YesNo, QString(), QString()), MsgAnswer::Yes);
    EXPECT_EQ(prompts().input(QString(), QString(), QString()), QStringLiteral("x"));
}

TEST(SaveDialog, TheChosenFiltersExtensionIsAddedToABareName)
{
    const QString bmp = QStringLiteral("ビットマップ (*.bmp)");
    const struct {
        const char* typed;
        QString filter;
        const char* written;
    } cases[] = {
        {"/tmp/image", bmp, "/tmp/image.bmp"},
        {"/tmp/image.png", bmp, "/tmp/image.png"}, // an extension the user typed stays
        {"/tmp/地図", QStringLiteral("PNG (*.png);;PDF (*.pdf)"), "/tmp/地図.png"},
        {"/tmp/x", QStringLiteral("すべて (*.*)"), "/tmp/x"},
        {"/tmp/v1.2/x", QStringLiteral("CSV (*.csv)"), "/tmp/v1.2/x.csv"}, // a dot in a folder is no extension
    };
    for (const auto& c : cases)
        EXPECT_EQ(withFilterSuffix(QString::fromUtf8(c.typed), c.filter), QString::fromUtf8(c.written)) << c.typed;
}
