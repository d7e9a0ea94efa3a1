#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <vector>

#include "ui/win32/Binding.h"
#include "ui/win32/ModuleState.h"
#include "ui/win32/WindowClass.h"

namespace arbolith {
namespace {

constexpr UINT kOuter = WM_APP + 1;
constexpr UINT kInner = WM_APP + 2;

// A custom window object that notes what reaches it.
class RecordingWindow : public CCustomWindowObject {
public:
    bool HandleMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result,
                       DWORD mapId) override {
        if (messages.empty()) {
            handleAtFirstMessage = windowHandle;
            windowArgumentAtFirstMessage = window;
        }
        messages.push_back(message);
        if (mapId != 0) {
            return false;
        }
        if (message == kOuter) {
            SendMessageA(windowHandle, kInner, 0, 0);
            outerAfterNested = currentMessage != nullptr ? currentMessage->message : 0;
            result = 11;
            return true;
        }
        if (message == kInner) {
            innerSeen = currentMessage != nullptr ? currentMessage->message : 0;
            result = 22;
            return true;
        }
        return false;
    }
    void OnLastMessage(HWND formerWindow) override {
        lastMessageWindow = formerWindow;
        handleAtLastMessage = windowHandle;
        ++lastMessageCalls;
    }

    std::vector<UINT> messages;
    HWND handleAtFirstMessage = nullptr;
    HWND windowArgumentAtFirstMessage = nullptr;
    UINT outerAfterNested = 0;
    UINT innerSeen = 0;
    HWND lastMessageWindow = nullptr;
    HWND handleAtLastMessage = reinterpret_cast<HWND>(1);
    int lastMessageCalls = 0;
};

WindowClassInfo testClass{
    {sizeof(WNDCLASSEXA), CS_DBLCLKS, &BindWindowProc, 0, 0, nullptr, nullptr, nullptr,
     reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr, nullptr, nullptr},
    nullptr,
    nullptr,
    IDC_ARROW,
    TRUE,
    0,
    {}};

HWND CreateFor(CWindowObject& object) {
    WNDPROC unused = nullptr;
    const ATOM atom = RegisterWindowClass(moduleState, testClass, unused);
    AnnounceCreation(moduleState, object);
    return CreateWindowExA(0, MAKEINTATOM(atom), "test", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                           moduleState.instance, nullptr);
}

TEST(WindowBinding, TheFirstMessageAlreadyReachesTheBoundObject) {
    RecordingWindow object;
    HWND window = CreateFor(object);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(object.messages.empty());
    EXPECT_EQ(object.handleAtFirstMessage, window);
    EXPECT_EQ(object.windowArgumentAtFirstMessage, window);
    EXPECT_EQ(object.windowHandle, window);
    EXPECT_EQ(moduleState.pendingCreations, nullptr);
    DestroyWindow(window);
}

TEST(WindowBinding, UnhandledMessagesGetTheDefaultTreatment) {
    RecordingWindow object;
    HWND window = CreateFor(object);
    ASSERT_NE(window, nullptr);
    SetWindowTextA(window, "kept by the default procedure");
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "kept by the default procedure");
    DestroyWindow(window);
}

TEST(WindowBinding, CurrentMessageFollowsNestedDispatch) {
    RecordingWindow object;
    HWND window = CreateFor(object);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, kOuter, 0, 0), 11);
    EXPECT_EQ(object.innerSeen, kInner);
    EXPECT_EQ(object.outerAfterNested, kOuter);
    EXPECT_EQ(object.currentMessage, nullptr);
    DestroyWindow(window);
}

TEST(WindowBinding, TheLastMessageUnbindsAndThenTellsTheObject) {
    RecordingWindow object;
    HWND window = CreateFor(object);
    ASSERT_NE(window, nullptr);
    const LONG_PTR thunk = GetWindowLongPtrA(window, GWLP_WNDPROC);
    EXPECT_EQ(reinterpret_cast<void*>(thunk), object.thunk.code.Get());
    DestroyWindow(window);
    EXPECT_EQ(object.lastMessageCalls, 1);
    EXPECT_EQ(object.lastMessageWindow, window);
    EXPECT_EQ(object.handleAtLastMessage, nullptr);
    EXPECT_EQ(object.windowHandle, nullptr);
    EXPECT_EQ(object.messages.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(WindowBinding, AnnouncementsWorkAsAStack) {
    RecordingWindow a;
    RecordingWindow b;
    WNDPROC unused = nullptr;
    const ATOM atom = RegisterWindowClass(moduleState, testClass, unused);
    AnnounceCreation(moduleState, a);
    AnnounceCreation(moduleState, b);
    HWND first = CreateWindowExA(0, MAKEINTATOM(atom), "first", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, moduleState.instance, nullptr);
    HWND second = CreateWindowExA(0, MAKEINTATOM(atom), "second", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, moduleState.instance, nullptr);
    EXPECT_EQ(b.windowHandle, first);
    EXPECT_EQ(a.windowHandle, second);
    EXPECT_EQ(moduleState.pendingCreations, nullptr);
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST(WindowClassRegistration, RegistersOnceUnderAGeneratedName) {
    WindowClassInfo info{{sizeof(WNDCLASSEXA), CS_GLOBALCLASS | CS_HREDRAW, &BindWindowProc, 0, 0,
                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
                         nullptr,
                         nullptr,
                         IDC_ARROW,
                         TRUE,
                         0,
                         {}};
    WNDPROC previous = &DefWindowProcA;
    const ATOM atom = RegisterWindowClass(moduleState, info, previous);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterWindowClass(moduleState, info, previous), atom);
    EXPECT_TRUE(std::regex_match(info.generatedName, std::regex("ARB:[0-9A-F]{8}")))
        << info.generatedName;
    EXPECT_EQ(previous, &DefWindowProcA);

    WNDCLASSEXA registered{};
    registered.cbSize = sizeof(registered);
    EXPECT_EQ(GetClassInfoExA(moduleState.instance, info.generatedName, &registered), atom);
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_HREDRAW));
    EXPECT_EQ(registered.hCursor, LoadCursorA(nullptr, IDC_ARROW));
}

TEST(WindowClassRegistration, CopiesABaseClassAndHandsBackItsProcedure) {
    WindowClassInfo info{{sizeof(WNDCLASSEXA), 0, &BindWindowProc, 0, 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr},
                         "BUTTON",
                         nullptr,
                         IDC_ARROW,
                         TRUE,
                         0,
                         {}};
    WNDPROC previous = &DefWindowProcA;
    ASSERT_NE(RegisterWindowClass(moduleState, info, previous), 0);
    WNDCLASSEXA button{};
    button.cbSize = sizeof(button);
    ASSERT_TRUE(GetClassInfoExA(nullptr, "BUTTON", &button));
    EXPECT_EQ(previous, button.lpfnWndProc);
    EXPECT_EQ(info.classDescription.lpfnWndProc, &BindWindowProc);

    WindowClassInfo missing = info;
    missing.atom = 0;
    missing.baseClassName = "NoSuchClassAnywhere";
    missing.classDescription.lpszClassName = "ArbolithNoBase";
    EXPECT_EQ(RegisterWindowClass(moduleState, missing, previous), 0);
}

TEST(WindowClassRegistration, AWindowOfACopiedClassBehavesAsThatClass) {
    static WindowClassInfo checkBoxClass{{sizeof(WNDCLASSEXA), 0, &BindWindowProc, 0, 0, nullptr,
                                          nullptr, nullptr, nullptr, nullptr, "ArbolithCheckBox",
                                          nullptr},
                                         "BUTTON",
                                         nullptr,
                                         IDC_ARROW,
                                         TRUE,
                                         0,
                                         {}};
    RecordingWindow object;
    const ATOM atom = RegisterWindowClass(moduleState, checkBoxClass, object.previousProc);
    ASSERT_NE(atom, 0);
    ASSERT_NE(object.previousProc, &DefWindowProcA);
    AnnounceCreation(moduleState, object);
    HWND box = CreateWindowExA(0, MAKEINTATOM(atom), "box", WS_POPUP | BS_CHECKBOX, 0, 0, 40, 20,
                               nullptr, nullptr, moduleState.instance, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(object.windowHandle, box);
    // Unhandled, these reach the copied class's own procedure, which keeps the check state.
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    DestroyWindow(box);
    EXPECT_EQ(object.lastMessageCalls, 1);
    EXPECT_EQ(object.windowHandle, nullptr);
}

// A dialog object that answers a few messages with known results.
class AnsweringDialog : public CDialogObject {
public:
    bool HandleMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD) override {
        switch (message) {
        case WM_INITDIALOG:
            result = 5;
            return true;
        case 305:
        case 306:
        case 312:
        case 313:
            result = static_cast<LRESULT>(message) * 10;
            return true;
        default:
            return false;
        }
    }
    void OnLastMessage(HWND formerWindow) override { lastMessageWindow = formerWindow; }
    HWND lastMessageWindow = nullptr;
};

// An empty extended dialog template, in memory.
std::vector<WORD> EmptyDialogTemplate() {
    std::vector<WORD> words;
    const auto put32 = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    words.push_back(1);      // version
    words.push_back(0xFFFF); // extended
    put32(0);                // help id
    put32(0);                // extended style
    put32(WS_POPUP);         // style
    words.push_back(0);      // no controls
    words.insert(words.end(), {0, 0, 100, 100});
    words.insert(words.end(), {0, 0, 0}); // no menu, the standard class, no title
    return words;
}

TEST(DialogBinding, AnswersDirectlyOrThroughTheStoredResult) {
    AnsweringDialog object;
    const std::vector<WORD> dialogTemplate = EmptyDialogTemplate();
    AnnounceCreation(moduleState, object);
    HWND dialog = CreateDialogIndirectParamA(
        moduleState.instance, reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), nullptr,
        &BindDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(object.windowHandle, dialog);

    const auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
    ASSERT_EQ(reinterpret_cast<void*>(procedure), object.thunk.code.Get());
    EXPECT_EQ(procedure(dialog, WM_INITDIALOG, 0, 0), 5);

    for (const UINT stored : {305u, 313u}) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, -1);
        EXPECT_EQ(procedure(dialog, stored, 0, 0), TRUE);
        EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_MSGRESULT), static_cast<LONG_PTR>(stored) * 10);
        EXPECT_EQ(SendMessageA(dialog, stored, 0, 0), static_cast<LRESULT>(stored) * 10);
    }
    for (const UINT direct : {306u, 312u}) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, -1);
        EXPECT_EQ(procedure(dialog, direct, 0, 0), static_cast<INT_PTR>(direct) * 10);
        EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_MSGRESULT), -1);
    }
    // Not handled: the dialog manager's own treatment.
    EXPECT_EQ(procedure(dialog, WM_APP, 0, 0), FALSE);

    DestroyWindow(dialog);
    EXPECT_EQ(object.lastMessageWindow, dialog);
    EXPECT_EQ(object.windowHandle, nullptr);
}

} // namespace
} // namespace arbolith
