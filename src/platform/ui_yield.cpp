#include "platform/ui_yield.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace miratos::platform {
namespace {
constexpr qint64 kIntervalMs = 30;

std::function<void()>& hook()
{
    static std::function<void()> h;
    return h;
}
} // namespace

void setYieldHook(std::function<void()> h)
{
    hook() = std::move(h);
}

void yieldToUi()
{
    if (hook()) {
        hook()();
        return;
    }
    static QElapsedTimer timer;
    // Checking the clock is cheap only every so often; 256 calls are far below 30 ms of work.
    static unsigned calls = 0;
    if ((++calls & 0xFF) != 0)
        return;
    if (!timer.isValid()) {
        timer.start();
        return;
    }
    if (timer.elapsed() < kIntervalMs)
        return;
    timer.restart();
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void flushUi()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace miratos::platform
