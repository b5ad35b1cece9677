#pragma once
// miratos convert census [--pref CODE] WORKBOOK...: the census workbook conversion without a
// window.
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

int runCensusCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
