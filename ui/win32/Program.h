#pragma once

#include <windows.h>

namespace arbolith {

inline constexpr int kExitNormal = 0;
// The dialog could not be created, so nothing could ever end the message loop.
inline constexpr int kExitNoDialog = 1;
// The window system could not deliver messages.
inline constexpr int kExitMessageFailure = 2;

// The whole program: the dialog from the instance's template 101 and the message loop until the
// quit request. Gives the exit status.
int RunProgram(HINSTANCE instance);

} // namespace arbolith
