#pragma once
// The small-area conversions without a window:
//   miratos convert small-area --year YY --data FILE.xml
//   miratos convert small-area-census --year YY --code CODE --table N --data FILE.txt
#include <QStringList>
#include <QTextStream>

namespace miratos::cli {

int runSmallAreaCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runSmallAreaCensusCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace miratos::cli
