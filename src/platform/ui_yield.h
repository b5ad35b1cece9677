#pragma once
// Long loops call yieldToUi() once per item; it hands control to the event loop only when about
// 30 ms have passed, so the window repaints and stays responsive without per-line event
// processing, which is far too slow on national data.
#include <functional>

namespace miratos::platform {

void yieldToUi();
// While set, every yieldToUi() call runs this hook instead, without looking at the clock: tests
// act in the middle of a long loop (press a button while a file is being read). Empty: normal.
void setYieldHook(std::function<void()> hook);
// Processes pending events now (at the end of a long task, before showing its result).
void flushUi();
// How many yieldToUi() or flushUi() calls are serving the event loop now: whatever starts then
// runs in the middle of a long task, not inside it.
int uiYieldDepth();

} // namespace miratos::platform
