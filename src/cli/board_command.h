#pragma once
// "miratos board --out FILE.png": the 国盗合戦 board generated from the app folder's MapData,
// written without a window (to check it, or to print it).
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

// args are the arguments after "board" (the app folder already applied). Returns 0 when the
// picture was written, 1 with one clear line on err when it could not be made or written, 2 for
// wrong usage.
int runBoardCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
