#pragma once
// "miratos demo-area [--app-folder DIR] BASE": reads the maps database BASE and writes the area
// of each prefecture to MapData/demo/面積.csv of the app folder.
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

// args are the arguments after the command name (the app folder already applied). Returns the
// process exit code: 0 done, 1 failed (message on err), 2 wrong arguments.
int runDemoAreaCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
