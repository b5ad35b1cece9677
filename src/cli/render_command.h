#pragma once
// "miratos render": the map the windows would export, made without a window: the same loaders,
// join, class proposal, colours, drawing and export.
#include "state/mdl_main.h"
#include "platform/keyed_table.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace miratos::cli {

// args are the arguments after "render" (the app folder already applied). Returns 0 when the
// picture was written; otherwise prints one clear line on err and returns 1 (2 for wrong usage).
int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The map choices of render and snapshot: the mode, the prefectures (all with data when none is
// named) and in City mode the district files, set into the shared state as the selection dialogs
// would. An error text when a choice names nothing there.
std::optional<QString> applyMapChoices(const QString& mode, const QStringList& prefs, const QStringList& districts,
                                       state::MdlMain& s, platform::KeyedTable& colours);

} // namespace miratos::cli
