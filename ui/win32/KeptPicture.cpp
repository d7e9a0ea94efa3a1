#include "ui/win32/KeptPicture.h"

namespace arbolith {

HDC KeptPicture::Prepare(HWND window, HDC windowContext) {
    RECT client{};
    GetClientRect(window, &client);
    const SIZE size{client.right - client.left, client.bottom - client.top};
    if (copy_ && size.cx == size_.cx && size.cy == size_.cy) {
        return copy_->context.Get();
    }
    Release();
    copy_.emplace(windowContext, size);
    if (copy_->context.Get() == nullptr || copy_->bitmap.Get() == nullptr) {
        Release();
        return nullptr;
    }
    size_ = size;
    return copy_->context.Get();
}

void KeptPicture::Repaint(HDC target, const RECT& area) const {
    if (!copy_) {
        return;
    }
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top,
           copy_->context.Get(), area.left, area.top, SRCCOPY);
}

void KeptPicture::Release() {
    copy_.reset();
    size_ = SIZE{0, 0};
    drawn_ = false;
}

} // namespace arbolith
