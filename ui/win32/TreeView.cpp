#include "ui/win32/TreeView.h"

#include "tree/DrawingRun.h"
#include "ui/win32/Binding.h"
#include "ui/win32/GdiSurface.h"
#include "ui/win32/HandleOwners.h"
#include "ui/win32/MirrorSurface.h"

namespace arbolith {

WindowClassInfo CTreeView::windowClass{
    {sizeof(WNDCLASSEXA), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, &BindWindowProc, 0, 0, nullptr,
     nullptr, nullptr, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr,
     nullptr, nullptr},
    nullptr,
    nullptr,
    IDC_ARROW,
    TRUE,
    0,
    {}};

bool CTreeView::HandleMessage(HWND, UINT message, WPARAM first, LPARAM second, LRESULT& result,
                              DWORD mapId) {
    if (mapId != 0) {
        return false;
    }
    bool handled = true;
    switch (message) {
    case WM_DESTROY:
        result = OnDestroy(message, first, second, handled);
        return handled;
    case WM_PAINT:
        result = OnPaint(message, first, second, handled);
        return handled;
    case WM_ERASEBKGND:
        result = OnEraseBackground(message, first, second, handled);
        return handled;
    default:
        return false;
    }
}

void CTreeView::OnLastMessage(HWND) {
    picture_.Release();
    destroying_ = false;
}

void CTreeView::SetParameters(std::int32_t maxAngleXY, std::int32_t maxAngleYZ,
                              std::int32_t maxAngleXZ, double scaleFactor, std::int32_t limbsDegree,
                              std::int32_t referenceX, std::int32_t referenceY,
                              std::int32_t referenceZ, std::int32_t vectorX, std::int32_t vectorY,
                              std::int32_t vectorZ, std::int32_t levels) {
    parameters_ = TreeParameters{maxAngleXY,
                                 maxAngleYZ,
                                 maxAngleXZ,
                                 scaleFactor,
                                 limbsDegree,
                                 {referenceX, referenceY, referenceZ},
                                 {vectorX, vectorY, vectorZ},
                                 levels};
}

void CTreeView::DrawTree() {
    if (windowHandle == nullptr) {
        return;
    }
    const WindowDC windowContext(windowHandle);
    if (windowContext.Get() == nullptr) {
        return;
    }
    GdiSurface onWindow(windowContext.Get());
    // Every fork reads the clock, as a press has always drawn.
    TreeOrder order{parameters_};
    order.clock = clock_;
    if (HDC keptContext = picture_.Prepare(windowHandle, windowContext.Get())) {
        GdiSurface kept(keptContext);
        MirrorSurface both(onWindow, kept);
        arbolith::DrawTree(both, order, nullptr, &generator_);
        picture_.MarkDrawn();
    } else {
        arbolith::DrawTree(onWindow, order, nullptr, &generator_);
    }
}

// Asked once, as the dialog asks for its own destruction (see CTreeDialog::OnDestroy).
LRESULT CTreeView::OnDestroy(UINT, WPARAM, LPARAM, bool&) {
    if (!destroying_) {
        destroying_ = true;
        DestroyWindow(windowHandle);
    }
    return 0;
}

// Before the first run the window system paints the class background; afterwards the kept
// picture covers the whole client area.
LRESULT CTreeView::OnPaint(UINT, WPARAM, LPARAM, bool& handled) {
    if (!picture_.Drawn()) {
        handled = false;
        return 0;
    }
    const PaintDC paint(windowHandle);
    picture_.Repaint(paint.Get(), paint.Area());
    return 0;
}

LRESULT CTreeView::OnEraseBackground(UINT, WPARAM, LPARAM, bool& handled) {
    if (!picture_.Drawn()) {
        handled = false;
        return 0;
    }
    return 1;
}

} // namespace arbolith
