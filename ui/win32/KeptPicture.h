#pragma once

#include <windows.h>

#include <optional>

#include "ui/win32/HandleOwners.h"

namespace arbolith {

// An off-screen copy of a window's client area, from which the window repaints whatever the
// window system asks for, so that a picture outlives being covered.
class KeptPicture {
public:
    // A device context on a bitmap of the window's client size, made on first use, or nullptr
    // if the window system cannot give one.
    HDC Prepare(HWND window, HDC windowContext);
    void MarkDrawn() { drawn_ = true; }
    // True once a picture has been drawn into the copy.
    bool Drawn() const { return drawn_; }
    // Copies the area from the kept picture onto the target.
    void Repaint(HDC target, const RECT& area) const;
    void Release();

private:
    // Released from the bottom up: the bitmap is selected out, deleted, and then the context.
    struct Copy {
        Copy(HDC windowContext, SIZE size)
            : context(windowContext),
              bitmap(CreateCompatibleBitmap(windowContext, size.cx, size.cy)),
              selection(context.Get(), bitmap.Get()) {}
        MemoryDC context;
        GdiObject<HBITMAP> bitmap;
        SelectedObject selection;
    };

    std::optional<Copy> copy_;
    SIZE size_{0, 0};
    bool drawn_ = false;
};

} // namespace arbolith
