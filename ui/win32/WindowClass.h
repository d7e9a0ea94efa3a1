#pragma once

#include <windows.h>

#include "ui/win32/ModuleState.h"

namespace arbolith {

// The registration record of one of the program's window classes.
struct WindowClassInfo {
    WNDCLASSEXA classDescription;
    const char* baseClassName; // an existing class to copy, or nullptr
    WNDPROC baseClassProc;     // that class's procedure, filled at registration
    const char* cursorId;      // MAKEINTRESOURCE of the cursor
    BOOL systemCursor;         // the cursor is the system's own
    ATOM atom;                 // 0 until registered
    char generatedName[13];    // "ARB:" and eight hex digits, when the class has no name
};

// Registers the class once per process and gives its atom, or 0 on failure (a later call tries
// again). For a copied class, stores the copied class's procedure into `previousProc`.
ATOM RegisterWindowClass(ModuleState& state, WindowClassInfo& info, WNDPROC& previousProc);

} // namespace arbolith
