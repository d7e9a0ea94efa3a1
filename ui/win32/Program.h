#pragma once

#include <windows.h>

namespace arbolith {

inline constexpr int kExitNormal = 0;
// The dialog could not be created, so nothing could ever end the message loop.
inline constexpr int kExitNoDialog = 1;
// The window system could not deliver messages.
inline constexpr int kExitMessageFailure = 2;

// Where the message loop takes its messages from: GetMessageA, or a stand-in with its signature.
using MessageSource = BOOL(WINAPI*)(LPMSG message, HWND window, UINT first, UINT last);

// Retrieves, translates and dispatches the thread's messages until the quit request; gives the
// exit status, kExitMessageFailure if the source fails.
int RunMessageLoop(MessageSource next = &GetMessageA);

// The whole program: the dialog from the instance's template 101 and the message loop until the
// quit request. Gives the exit status.
int RunProgram(HINSTANCE instance);

} // namespace arbolith
