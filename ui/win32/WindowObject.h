#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/win32/WindowThunk.h"

namespace arbolith {

class CWindowObject;

// The static message procedure of a kind of window object. Reached only through a thunk, which
// passes the object where the window system passes the window handle.
using MessageProc = LRESULT(CALLBACK*)(CWindowObject* object, UINT message, WPARAM first,
                                       LPARAM second);

// The message being handled, laid out as the window system's MSG.
struct MessageRecord {
    HWND windowHandle;
    UINT message;
    WPARAM firstParameter;
    LPARAM secondParameter;
    DWORD time;
    POINT point;
};
static_assert(sizeof(MessageRecord) == sizeof(MSG));
static_assert(offsetof(MessageRecord, secondParameter) == offsetof(MSG, lParam));
static_assert(offsetof(MessageRecord, point) == offsetof(MSG, pt));

// An announced window creation whose window has not yet had its first message.
struct CreationRecord {
    CWindowObject* object;
    DWORD threadId;
    CreationRecord* next;
};

// While announced, the object's creation record; once bound, the executable thunk that leads the
// window system to the object. The code itself cannot live in the object: objects sit on the
// stack or in data, and neither may be executed.
struct ThunkStorage {
    CreationRecord creation;
    ExecutableThunk code;
    // Where the code is installed: DWLP_DLGPROC or GWLP_WNDPROC.
    int installedAt;
};

// The root of all window objects. Virtual slot order: HandleMessage, GetMessageProc,
// OnLastMessage, destructor.
class CWindowObject {
public:
    CWindowObject() = default;
    CWindowObject(const CWindowObject&) = delete;
    CWindowObject& operator=(const CWindowObject&) = delete;

    // Gives true if it handled the message, and then it has stored the message's result.
    virtual bool HandleMessage(HWND window, UINT message, WPARAM first, LPARAM second,
                               LRESULT& result, DWORD mapId) = 0;
    virtual MessageProc GetMessageProc() = 0;
    // Called after the window's last message, when `windowHandle` is none again.
    virtual void OnLastMessage(HWND formerWindow) = 0;
    virtual ~CWindowObject();

    HWND windowHandle = nullptr;
    ThunkStorage thunk{};
    MessageRecord* currentMessage = nullptr;
};

LRESULT CALLBACK DialogMessageProc(CWindowObject* object, UINT message, WPARAM first,
                                   LPARAM second);
LRESULT CALLBACK WindowMessageProc(CWindowObject* object, UINT message, WPARAM first,
                                   LPARAM second);

// Window objects of dialogs: unhandled messages get the dialog manager's treatment.
class CDialogObject : public CWindowObject {
public:
    MessageProc GetMessageProc() override { return &DialogMessageProc; }
};

// Window objects of the program's own classes: unhandled messages go to `previousProc`.
class CCustomWindowObject : public CWindowObject {
public:
    MessageProc GetMessageProc() override { return &WindowMessageProc; }

    WNDPROC previousProc = &DefWindowProcA;
};

} // namespace arbolith
