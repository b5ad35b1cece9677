#pragma once
// The end of the program, reached when its one top-level window closes.
#include <functional>

namespace miratos::platform {

// Closes every other window, then ends the event loop. Call it from a window's close event once
// the close has been accepted: no message box may be opened after it.
void endProgram();

// Replaces the ending (tests watch a window end the program without ending their own process);
// an empty function restores it.
void setProgramEnd(std::function<void()> end);

} // namespace miratos::platform
