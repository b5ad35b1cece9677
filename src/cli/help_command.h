#pragma once
// "miratos --help": every command and subcommand with its arguments.
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

// The usage text, one line per command; convert's subcommands as "miratos convert" lists them.
QString miratosUsage();

// Writes miratosUsage() to out; returns 0.
int runHelpCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
