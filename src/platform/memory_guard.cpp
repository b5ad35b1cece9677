#include "platform/memory_guard.h"

#include "platform/read_limits.h"

#include <QTextStream>
#include <new>

namespace miratos::platform {

int runGuardingMemory(const std::function<int()>& command, QTextStream& err)
{
    try {
        return command();
    } catch (const std::bad_alloc&) {
        err << "miratos: " << outOfMemoryMessage() << "\n";
        err.flush();
        return 1;
    }
}

} // namespace miratos::platform
