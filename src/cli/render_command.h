#pragma once
// "miratos render": the map the windows would export, made without a window: the same loaders,
// join, class proposal, colours, drawing and export.
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

// args are the arguments after "render" (the app folder already applied). Returns 0 when the
// picture was written; otherwise prints one clear line on err and returns 1 (2 for wrong usage).
int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
