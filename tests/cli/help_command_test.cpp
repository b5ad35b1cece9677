// "miratos --help" lists every command and every subcommand of convert.
#include "cli/convert_command.h"
#include "cli/help_command.h"

#include <QTextStream>

#include <gtest/gtest.h>

using namespace miratos;

namespace {

QString helpText()
{
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(cli::runHelpCommand({}, out, err), 0);
    EXPECT_EQ(errText, QString());
    return outText;
}

TEST(HelpCommand, ListsEveryCommandAndEveryConvertSubcommand)
{
    const QString help = helpText();
    QStringList expected;
    for (const char* command : {"--help", "import", "demo-area", "render", "board", "snapshot"})
        expected << QStringLiteral("miratos %1 ").arg(QString::fromLatin1(command));
    for (const QString& sub : cli::convertSubcommands())
        expected << QStringLiteral("miratos convert %1 ").arg(sub);
    ASSERT_GE(cli::convertSubcommands().size(), 8);
    for (const QString& line : expected)
        EXPECT_TRUE(help.contains(line)) << line.toStdString() << "\n" << help.toStdString();
}

} // namespace
