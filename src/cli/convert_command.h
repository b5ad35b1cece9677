#pragma once
// "miratos convert boundary --pref CODE --meta META.xml --data DATA.xml": the boundary conversion
// of the prefecture conversion window without a window, so that all 47 prefectures convert in one
// shell loop.
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

// args are the arguments after "convert" (the app folder is already applied). The output goes to
// AppFolder::mapData() + the prefecture's folder name from Init.ini, which must exist. Progress
// and the report go to out, problems to err as "miratos convert: problem". Returns 0 when the
// files were written, 1 on a failed conversion, 2 on wrong arguments.
int runConvertCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The subcommands runConvertCommand takes (anything else gets the usage), and that usage.
QStringList convertSubcommands();
QString convertUsage();

} // namespace miratos::cli
