#include "platform/qt_application.h"

#include "platform/prompts.h"
#include "platform/read_limits.h"

#include <new>

namespace miratos::platform {

bool MiratosApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        // What the action held is released by now; a box needs little.
        warn(QStringLiteral("残念"), outOfMemoryMessage());
        return true;
    }
}

} // namespace miratos::platform
