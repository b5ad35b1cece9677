#pragma once
// Long loops call yieldToUi() once per item; it hands control to the event loop only when about
// 30 ms have passed, so the window repaints and stays responsive without per-line event
// processing, which is far too slow on national data.
namespace miratos::platform {

void yieldToUi();
// Processes pending events now (at the end of a long task, before showing its result).
void flushUi();

} // namespace miratos::platform
