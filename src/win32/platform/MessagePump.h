#pragma once

#include <windows.h>

// Waits on the user-interface thread while its windows stay alive: the messages that arrive
// meanwhile (painting, an animation's timer, a click) are dispatched.
namespace wisp::win32 {

void PumpMessagesFor(DWORD milliseconds);

}  // namespace wisp::win32
