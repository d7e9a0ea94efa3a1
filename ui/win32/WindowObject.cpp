#include "ui/win32/WindowObject.h"

#include "ui/win32/WindowThunk.h"

namespace arbolith {

CWindowObject::~CWindowObject() {
    // A window that outlives its object must not call into the freed thunk.
    if (windowHandle != nullptr && thunk.code.Get() != nullptr &&
        GetWindowLongPtrA(windowHandle, thunk.installedAt) ==
            reinterpret_cast<LONG_PTR>(thunk.code.Get())) {
        const LONG_PTR fallback =
            thunk.installedAt == GWLP_WNDPROC ? reinterpret_cast<LONG_PTR>(&DefWindowProcA) : 0;
        SetWindowLongPtrA(windowHandle, thunk.installedAt, fallback);
    }
}

} // namespace arbolith
