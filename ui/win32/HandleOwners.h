#pragma once

#include <windows.h>

namespace arbolith {

// Owners of the window system's handles and of a held lock. Each gives back what it took when
// it goes, so that the order of release is the reverse of the order of declaration and an
// early return leaks nothing. None can be copied or moved.

class Unmovable {
public:
    Unmovable() = default;
    Unmovable(const Unmovable&) = delete;
    Unmovable& operator=(const Unmovable&) = delete;
};

// A window's device context (GetDC), or the screen's for no window.
class WindowDC : Unmovable {
public:
    explicit WindowDC(HWND window) : window_(window), context_(GetDC(window)) {}
    ~WindowDC() {
        if (context_ != nullptr) {
            ReleaseDC(window_, context_);
        }
    }
    HDC Get() const { return context_; }

private:
    HWND window_;
    HDC context_;
};

// The device context of one paint of a window, and the area to paint.
class PaintDC : Unmovable {
public:
    explicit PaintDC(HWND window) : window_(window), context_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC Get() const { return context_; }
    const RECT& Area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC context_;
};

// A device context in memory, compatible with another one (CreateCompatibleDC).
class MemoryDC : Unmovable {
public:
    explicit MemoryDC(HDC compatibleWith) : context_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (context_ != nullptr) {
            DeleteDC(context_);
        }
    }
    HDC Get() const { return context_; }

private:
    HDC context_;
};

// A GDI object, a bitmap or a brush, that is deleted when it goes.
template <typename Handle> class GdiObject : Unmovable {
public:
    explicit GdiObject(Handle object) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) {
            DeleteObject(object_);
        }
    }
    Handle Get() const { return object_; }

private:
    Handle object_;
};

// An object selected into a device context; the object it replaced is selected back at the end.
class SelectedObject : Unmovable {
public:
    SelectedObject(HDC context, HGDIOBJ object)
        : context_(context), previous_(SelectObject(context, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr) {
            SelectObject(context_, previous_);
        }
    }

private:
    HDC context_;
    HGDIOBJ previous_;
};

// A critical section held for the owner's life.
class HeldLock : Unmovable {
public:
    explicit HeldLock(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~HeldLock() { LeaveCriticalSection(&lock_); }

private:
    CRITICAL_SECTION& lock_;
};

} // namespace arbolith
