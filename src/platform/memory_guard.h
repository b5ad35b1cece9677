#pragma once
// Running out of memory ends the command or the window action that asked for it, with a message
// naming the file being read, instead of aborting the program.
#include <QString>
#include <functional>

class QTextStream;

namespace miratos::platform {

// Runs command; std::bad_alloc ends it with "miratos: メモリが足りません（FILE）" on err and
// status 1.
int runGuardingMemory(const std::function<int()>& command, QTextStream& err);

} // namespace miratos::platform
