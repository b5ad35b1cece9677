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

int& yielding()
{
    thread_local int depth = 0; // a job on a worker thread never serves the window's events
    return depth;
}

void processEventsNow()
{
    ++yielding();
    QCoreApplication::processEvents();
    --yielding();
}
} // namespace

int uiYieldDepth()
{
    return yielding();
}

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
        processEventsNow();
}

void flushUi()
{
    if (QCoreApplication::instance())
        processEventsNow();
}

} // namespace miratos::platform
