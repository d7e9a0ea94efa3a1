#include "ui/win32/Binding.h"

#include <utility>

#include "ui/win32/ModuleState.h"
#include "ui/win32/WindowThunk.h"

namespace arbolith {

namespace {

// Binds the announced object, or gives nullptr if nothing is announced for this thread or no
// executable memory is left; the window then stays unbound.
CWindowObject* Bind(HWND window, int procedureIndex) {
    CWindowObject* object = TakeAnnouncement(moduleState);
    if (object == nullptr) {
        return nullptr;
    }
    ExecutableThunk code(object, reinterpret_cast<const void*>(object->GetMessageProc()));
    if (code.Get() == nullptr) {
        return nullptr;
    }
    object->thunk.code = std::move(code);
    object->thunk.installedAt = procedureIndex;
    object->windowHandle = window;
    SetWindowLongPtrA(window, procedureIndex, reinterpret_cast<LONG_PTR>(object->thunk.code.Get()));
    return object;
}

// Common to both message procedures: the message goes to the object's map, with
// `currentMessage` pointing at it for the time being.
bool Dispatch(CWindowObject& object, UINT message, WPARAM first, LPARAM second, LRESULT& result) {
    MessageRecord record{object.windowHandle, message, first, second, 0, {0, 0}};
    MessageRecord* const outer = object.currentMessage;
    object.currentMessage = &record;
    const bool handled =
        object.HandleMessage(object.windowHandle, message, first, second, result, 0);
    object.currentMessage = outer;
    return handled;
}

// Messages whose answer the dialog manager takes from the dialog procedure's own result.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_INITDIALOG:
        return true;
    default:
        return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    }
}

void EndBinding(CWindowObject& object) {
    HWND const formerWindow = object.windowHandle;
    object.windowHandle = nullptr;
    object.OnLastMessage(formerWindow);
}

} // namespace

INT_PTR CALLBACK BindDialogProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (Bind(window, DWLP_DLGPROC) == nullptr) {
        return FALSE;
    }
    const auto thunk = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC));
    return thunk(window, message, first, second);
}

LRESULT CALLBACK BindWindowProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (Bind(window, GWLP_WNDPROC) == nullptr) {
        return DefWindowProcA(window, message, first, second);
    }
    const auto thunk = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    return CallWindowProcA(thunk, window, message, first, second);
}

LRESULT CALLBACK DialogMessageProc(CWindowObject* object, UINT message, WPARAM first,
                                   LPARAM second) {
    LRESULT result = 0;
    if (Dispatch(*object, message, first, second, result)) {
        if (AnswersDirectly(message)) {
            return result;
        }
        SetWindowLongPtrA(object->windowHandle, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        EndBinding(*object);
    }
    return FALSE;
}

LRESULT CALLBACK WindowMessageProc(CWindowObject* object, UINT message, WPARAM first,
                                   LPARAM second) {
    auto& window = static_cast<CCustomWindowObject&>(*object);
    LRESULT result = 0;
    if (Dispatch(window, message, first, second, result)) {
        return result;
    }
    HWND const handle = window.windowHandle;
    if (message != WM_NCDESTROY) {
        return CallWindowProcA(window.previousProc, handle, message, first, second);
    }
    const LONG_PTR installed = GetWindowLongPtrA(handle, GWLP_WNDPROC);
    result = CallWindowProcA(window.previousProc, handle, message, first, second);
    if (window.previousProc != &DefWindowProcA &&
        GetWindowLongPtrA(handle, GWLP_WNDPROC) == installed) {
        SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window.previousProc));
    }
    EndBinding(window);
    return result;
}

} // namespace arbolith
