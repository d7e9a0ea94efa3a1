#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "ProcessResources.h"
#include "UpperCase.h"
#include "tests/win32/MemoryBitmap.h"
#include "tree/DrawingRun.h"
#include "ui/DialogLayout.h"
#include "ui/win32/GdiSurface.h"
#include "ui/win32/HandleOwners.h"
#include "ui/win32/ModuleState.h"
#include "ui/win32/Program.h"
#include "ui/win32/TreeDialog.h"

namespace arbolith {
namespace {

constexpr std::uint32_t kSecond = 1767225600;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The pixels of a device context's area, as 0xRRGGBB, row by row from the top.
using Pixels = std::vector<std::uint32_t>;

Pixels ReadPixels(HDC source, int width, int height) {
    const testing::MemoryBitmap copy(width, height, source);
    BitBlt(copy.Context(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    return copy.Pixels();
}

// The part of a child window's client area that its parent's client area does not cut off.
SIZE VisibleClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    RECT parent{};
    GetClientRect(GetParent(window), &parent);
    MapWindowPoints(GetParent(window), window, reinterpret_cast<POINT*>(&parent), 2);
    RECT visible{};
    IntersectRect(&visible, &client, &parent);
    return SIZE{visible.right, visible.bottom};
}

Pixels ReadClient(HWND window, SIZE size) {
    const WindowDC context(window);
    return ReadPixels(context.Get(), size.cx, size.cy);
}

// The same tree drawn into memory, independently of any window.
Pixels Reference(const TreeParameters& tree, std::uint32_t second, int width, int height) {
    const WindowDC screen(nullptr);
    const MemoryDC context(screen.Get());
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    const SelectedObject selection(context.Get(), bitmap.Get());
    {
        GdiSurface surface(context.Get());
        DrawTree(surface, {tree, second});
    }
    return ReadPixels(context.Get(), width, height);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The program's dialog, created as the start-up creates it.
class TreeDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog_.Create());
        ASSERT_NE(dialog_.windowHandle, nullptr);
        PumpMessages();
    }
    void TearDown() override {
        if (dialog_.windowHandle != nullptr) {
            DestroyWindow(dialog_.windowHandle);
        }
        PumpMessages();
    }

    void Press(int buttonId, WORD notification = BN_CLICKED) {
        SendMessageA(dialog_.windowHandle, WM_COMMAND, MAKEWPARAM(buttonId, notification),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog_.windowHandle, buttonId)));
    }

    void Type(const std::pair<int, const char*> (&typed)[12]) {
        for (const auto& [id, text] : typed) {
            SetDlgItemTextA(dialog_.windowHandle, id, text);
        }
    }

    // A tree of two limbs a fork that the tests draw at several depths.
    void TypeTwoLimbTree(const char* levels) {
        Type({{kFieldMaxAngleXY, "35"},
              {kFieldMaxAngleYZ, "25"},
              {kFieldMaxAngleXZ, "20"},
              {kFieldScaleFactor, "0.7"},
              {kFieldLimbsDegree, "2"},
              {kFieldReferenceX, "280"},
              {kFieldReferenceY, "560"},
              {kFieldReferenceZ, "-100"},
              {kFieldVectorX, "0"},
              {kFieldVectorY, "-140"},
              {kFieldVectorZ, "20"},
              {kFieldLevels, levels}});
    }

    // The exit code of a quit request waiting in the queue, or -1 if there is none.
    static int TakeQuitRequest() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            DispatchMessageA(&message);
        }
        return -1;
    }

    CTreeDialog dialog_;
};

TEST_F(TreeDialogTest, HasTheTemplatesControlsInOrderAndTheCanvas) {
    HWND dialog = dialog_.windowHandle;
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(TextOf(dialog), kDialogHeader.title);

    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != dialog_.canvas.windowHandle) {
            controls.push_back(child);
        }
    }
    ASSERT_EQ(controls.size(), kDialogControls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& expected = kDialogControls[i];
        SCOPED_TRACE(i);
        HWND control = controls[i];
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(control)), static_cast<short>(expected.id));
        EXPECT_EQ(UpperCase(ClassOf(control)), expected.windowClass);
        // The window system may trade a control's plain border for the sunken client edge.
        const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        const auto extendedStyle = static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE));
        EXPECT_EQ(style | (expected.style & WS_BORDER), expected.style);
        if ((expected.style & WS_BORDER) != 0) {
            EXPECT_TRUE((style & WS_BORDER) != 0 || (extendedStyle & WS_EX_CLIENTEDGE) != 0);
        }
        if (expected.kind == ControlKind::Picture) {
            const auto bitmap =
                reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
            ASSERT_NE(bitmap, nullptr);
            BITMAP shown{};
            GetObjectA(bitmap, sizeof(shown), &shown);
            EXPECT_EQ(shown.bmWidth, 179);
            EXPECT_EQ(shown.bmHeight, 299);
        } else {
            EXPECT_EQ(TextOf(control), expected.text);
        }
    }
}

TEST_F(TreeDialogTest, CanvasIsAChildOfItsOwnClassAtItsPlace) {
    HWND canvas = dialog_.canvas.windowHandle;
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(GetParent(canvas), dialog_.windowHandle);
    EXPECT_TRUE(std::regex_match(ClassOf(canvas), std::regex("ARB:[0-9A-F]{8}")))
        << ClassOf(canvas);
    EXPECT_EQ(TextOf(canvas), kCanvasCaption);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(canvas, GWL_STYLE)), 0x50800000u);
    RECT place{};
    GetWindowRect(canvas, &place);
    MapWindowPoints(nullptr, dialog_.windowHandle, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, kCanvasX);
    EXPECT_EQ(place.top, kCanvasY);
    EXPECT_EQ(place.right - place.left, kCanvasWidth);
    EXPECT_EQ(place.bottom - place.top, kCanvasHeight);
}

TEST_F(TreeDialogTest, FieldsStartEmptyAndAnUntouchedDialogDrawsWithZeros) {
    dialog_.canvas.SetParameters(1, 2, 3, 4.0, 5, 6, 7, 8, 9, 10, 11, 12);
    for (const int id : kFieldReadOrder) {
        EXPECT_EQ(TextOf(GetDlgItem(dialog_.windowHandle, id)), "");
    }
    Press(kButtonGenerate);
    EXPECT_EQ(dialog_.canvas.Parameters(), TreeParameters{});
}

TEST_F(TreeDialogTest, GenerateReadsEveryFieldIntoItsOwnParameter) {
    const std::pair<int, const char*> typed[] = {
        {kFieldMaxAngleXY, "12abc"}, {kFieldMaxAngleYZ, " -7"}, {kFieldMaxAngleXZ, "2.9"},
        {kFieldScaleFactor, "1d1"},  {kFieldLimbsDegree, "3"},  {kFieldReferenceX, "100"},
        {kFieldReferenceY, "500"},   {kFieldReferenceZ, "-30"}, {kFieldVectorX, "4"},
        {kFieldVectorY, "-100"},     {kFieldVectorZ, "5"},      {kFieldLevels, "4294967297"}};
    Type(typed);
    Press(kButtonGenerate);
    const TreeParameters expected{12, -7, 2, 10.0, 3, {100, 500, -30}, {4, -100, 5}, 1};
    EXPECT_EQ(dialog_.canvas.Parameters(), expected);
}

TEST_F(TreeDialogTest, TheCanvasShowsTheTreeAndKeepsItWhenRepainted) {
    TypeTwoLimbTree("6");
    dialog_.canvas.SetClock([] { return kSecond; });
    Press(kButtonGenerate);
    HWND canvas = dialog_.canvas.windowHandle;
    // The canvas may reach beyond the dialog, depending on the dialog font; compare what shows.
    const SIZE visible = VisibleClientSize(canvas);
    ASSERT_GT(visible.cy, 500);
    const Pixels expected = Reference(dialog_.canvas.Parameters(), kSecond, visible.cx, visible.cy);
    const Pixels blank(expected.size(), 0xFFFFFFu);
    ASSERT_NE(expected, blank);
    EXPECT_EQ(ReadClient(canvas, visible), expected);

    // As when another window has passed over it: everything must be repainted.
    RedrawWindow(canvas, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ReadClient(canvas, visible), expected);
    const RECT half{0, 0, visible.cx / 2, visible.cy};
    RedrawWindow(canvas, &half, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ReadClient(canvas, visible), expected);
}

TEST_F(TreeDialogTest, ABottomlessTreeEndsItsRunWhereARunsForksEnd) {
    TypeTwoLimbTree("2147483647");
    dialog_.canvas.SetClock([] { return kSecond; });
    Press(kButtonGenerate); // returns: the run has ended
    HWND canvas = dialog_.canvas.windowHandle;
    const SIZE visible = VisibleClientSize(canvas);
    EXPECT_EQ(ReadClient(canvas, visible),
              Reference(dialog_.canvas.Parameters(), kSecond, visible.cx, visible.cy));
    // And the dialog goes on as before.
    SetDlgItemTextA(dialog_.windowHandle, kFieldLevels, "3");
    Press(kButtonGenerate);
    EXPECT_EQ(dialog_.canvas.Parameters().levels, 3);
}

// The dialog does not look at a button's notification code.
constexpr WORD kNotificationCodes[] = {BN_CLICKED, BN_DOUBLECLICKED, BN_SETFOCUS, 0xFFFF};

TEST_F(TreeDialogTest, GenerateStartsARunWhateverTheNotificationCode) {
    SetDlgItemTextA(dialog_.windowHandle, kFieldLevels, "3");
    for (const WORD code : kNotificationCodes) {
        dialog_.canvas.SetParameters(1, 2, 3, 4.0, 5, 6, 7, 8, 9, 10, 11, 12);
        Press(kButtonGenerate, code);
        EXPECT_EQ(dialog_.canvas.Parameters(), (TreeParameters{0, 0, 0, 0.0, 0, {}, {}, 3}))
            << code;
    }
}

TEST_F(TreeDialogTest, ExitAndCloseRequestTheQuitWithCodeZero) {
    PumpMessages();
    for (const WORD code : kNotificationCodes) {
        Press(kButtonExit, code);
        EXPECT_EQ(TakeQuitRequest(), 0) << code;
    }
    EXPECT_TRUE(IsWindow(dialog_.windowHandle)); // nothing is destroyed

    SendMessageA(dialog_.windowHandle, WM_CLOSE, 0, 0);
    EXPECT_EQ(TakeQuitRequest(), 0);
    EXPECT_TRUE(IsWindow(dialog_.windowHandle));
}

// Keys posted to a field as the keyboard would send them, through the program's own loop.
TEST_F(TreeDialogTest, EnterAndTabInAFieldDrawNothingAndMoveNowhere) {
    HWND field = GetDlgItem(dialog_.windowHandle, kFieldLimbsDegree);
    SetWindowTextA(field, "3");
    SetFocus(field);
    ASSERT_EQ(GetFocus(), field);
    const TreeParameters untouched{1, 2, 3, 4.0, 5, {6, 7, 8}, {9, 10, 11}, 12};
    dialog_.canvas.SetParameters(1, 2, 3, 4.0, 5, 6, 7, 8, 9, 10, 11, 12);
    for (const WPARAM key : {VK_TAB, VK_RETURN, VK_TAB}) {
        const UINT scanCode = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        PostMessageA(field, WM_KEYDOWN, key, 1 | static_cast<LPARAM>(scanCode << 16));
        PostMessageA(field, WM_KEYUP, key, 0xC0000001 | static_cast<LPARAM>(scanCode << 16));
    }
    PostQuitMessage(0);
    EXPECT_EQ(RunMessageLoop(), kExitNormal);
    EXPECT_EQ(GetFocus(), field);
    EXPECT_EQ(TextOf(field), "3");
    EXPECT_EQ(dialog_.canvas.Parameters(), untouched);
}

BOOL WINAPI FailingMessageSource(LPMSG, HWND, UINT, UINT) {
    return -1;
}

TEST(MessageLoop, EndsWithStatusTwoWhenMessagesCannotBeHad) {
    EXPECT_EQ(RunMessageLoop(&FailingMessageSource), 2);
}

// Gives the canvas a window colour other than a run's white while it lives.
class TintedWindowColour {
public:
    TintedWindowColour() { SetSysColors(1, &kElement, &kTint); }
    ~TintedWindowColour() { SetSysColors(1, &kElement, &previous_); }

    static constexpr COLORREF kTint = RGB(200, 220, 240);
    static constexpr std::uint32_t kTintPixel = 0xC8DCF0;

private:
    static constexpr INT kElement = COLOR_WINDOW;
    const COLORREF previous_ = GetSysColor(COLOR_WINDOW);
};

TEST_F(TreeDialogTest, TheCanvasShowsTheWindowColourUntilARunAndADoubleClickChangesNothing) {
    const TintedWindowColour tint;
    HWND canvas = dialog_.canvas.windowHandle;
    const auto doubleClick = [&] {
        const LPARAM at = MAKELPARAM(120, 200);
        for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
            SendMessageA(canvas, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        }
        PumpMessages();
    };
    RedrawWindow(canvas, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const SIZE visible = VisibleClientSize(canvas);
    const Pixels windowColour(static_cast<std::size_t>(visible.cx) * visible.cy,
                              TintedWindowColour::kTintPixel);
    EXPECT_EQ(ReadClient(canvas, visible), windowColour);
    doubleClick();
    EXPECT_EQ(ReadClient(canvas, visible), windowColour);

    TypeTwoLimbTree("5");
    dialog_.canvas.SetClock([] { return kSecond; });
    Press(kButtonGenerate);
    const Pixels drawn = ReadClient(canvas, visible);
    EXPECT_EQ(drawn, Reference(dialog_.canvas.Parameters(), kSecond, visible.cx, visible.cy));
    doubleClick();
    EXPECT_EQ(ReadClient(canvas, visible), drawn);
}

// Draws a thousand trees; every GDI object and handle a run takes is given back.
TEST_F(TreeDialogTest, AThousandTreesLeaveTheProcessWithTheGdiObjectsAndHandlesItHad) {
    TypeTwoLimbTree("4");
    // The first run makes the kept picture, which the canvas keeps for the next ones.
    Press(kButtonGenerate);
    const long gdiObjects = GdiObjectCount();
    const long handles = KernelHandleCount();
    ASSERT_GT(gdiObjects, 0);
    ASSERT_GT(handles, 0);
    for (int run = 0; run < 1000; ++run) {
        Press(kButtonGenerate);
    }
    EXPECT_EQ(GdiObjectCount(), gdiObjects);
    EXPECT_EQ(KernelHandleCount(), handles);
}

TEST_F(TreeDialogTest, DestroyingTheDialogEndsBothBindings) {
    HWND canvas = dialog_.canvas.windowHandle;
    HWND dialog = dialog_.windowHandle;
    EXPECT_TRUE(DestroyWindow(dialog));
    EXPECT_FALSE(IsWindow(canvas));
    EXPECT_EQ(dialog_.windowHandle, nullptr);
    EXPECT_EQ(dialog_.canvas.windowHandle, nullptr);
}

TEST(Program, EndsWithAFailureStatusWhenTheDialogCannotBeMade) {
    // ntdll has no dialog template 101.
    const int status = RunProgram(GetModuleHandleA("ntdll.dll"));
    StartModule(moduleState, GetModuleHandleA(nullptr)); // the other tests' module state again
    EXPECT_EQ(status, kExitNoDialog);
    EXPECT_EQ(moduleState.pendingCreations, nullptr);
}

} // namespace
} // namespace arbolith
