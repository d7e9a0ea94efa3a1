#pragma once

#include <windows.h>

namespace arbolith {

// An off-screen copy of a window's client area, from which the window repaints whatever the
// window system asks for, so that a picture outlives being covered.
class KeptPicture {
public:
    KeptPicture() = default;
    KeptPicture(const KeptPicture&) = delete;
    KeptPicture& operator=(const KeptPicture&) = delete;
    ~KeptPicture();

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
    HDC context_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    SIZE size_{0, 0};
    bool drawn_ = false;
};

} // namespace arbolith
