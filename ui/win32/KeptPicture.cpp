#include "ui/win32/KeptPicture.h"

namespace arbolith {

KeptPicture::~KeptPicture() {
    Release();
}

HDC KeptPicture::Prepare(HWND window, HDC windowContext) {
    RECT client{};
    GetClientRect(window, &client);
    const SIZE size{client.right - client.left, client.bottom - client.top};
    if (context_ != nullptr && size.cx == size_.cx && size.cy == size_.cy) {
        return context_;
    }
    Release();
    context_ = CreateCompatibleDC(windowContext);
    bitmap_ = CreateCompatibleBitmap(windowContext, size.cx, size.cy);
    if (context_ == nullptr || bitmap_ == nullptr) {
        Release();
        return nullptr;
    }
    previousBitmap_ = SelectObject(context_, bitmap_);
    size_ = size;
    return context_;
}

void KeptPicture::Repaint(HDC target, const RECT& area) const {
    if (context_ == nullptr) {
        return;
    }
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, context_,
           area.left, area.top, SRCCOPY);
}

void KeptPicture::Release() {
    if (context_ != nullptr && previousBitmap_ != nullptr) {
        SelectObject(context_, previousBitmap_);
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
    }
    if (context_ != nullptr) {
        DeleteDC(context_);
    }
    context_ = nullptr;
    bitmap_ = nullptr;
    previousBitmap_ = nullptr;
    size_ = SIZE{0, 0};
    drawn_ = false;
}

} // namespace arbolith
