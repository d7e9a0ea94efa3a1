#pragma once

#include <windows.h>

namespace arbolith {

// The procedures a window starts with. The first message binds the latest object its thread
// announced to the window, installs the object's thunk as the procedure and is then handled
// like every later message.
INT_PTR CALLBACK BindDialogProc(HWND window, UINT message, WPARAM first, LPARAM second);
LRESULT CALLBACK BindWindowProc(HWND window, UINT message, WPARAM first, LPARAM second);

} // namespace arbolith
