#include "ui/win32/TreeDialog.h"

#include <string>

#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/win32/Binding.h"
#include "ui/win32/ModuleState.h"

namespace arbolith {

bool CTreeDialog::HandleMessage(HWND, UINT message, WPARAM first, LPARAM second, LRESULT& result,
                                DWORD mapId) {
    if (mapId != 0) {
        return false;
    }
    bool handled = true;
    switch (message) {
    case WM_COMMAND: {
        const WORD controlId = LOWORD(first);
        const WORD notification = HIWORD(first);
        const auto control = reinterpret_cast<HWND>(second);
        if (controlId == kButtonGenerate) {
            result = OnGenerate(notification, controlId, control, handled);
            return handled;
        }
        if (controlId == kButtonExit) {
            result = OnExit(notification, controlId, control, handled);
            return handled;
        }
        return false;
    }
    case WM_INITDIALOG:
        result = OnInitDialog(message, first, second, handled);
        return handled;
    case WM_DESTROY:
        result = OnDestroy(message, first, second, handled);
        return handled;
    case WM_CLOSE:
        result = OnClose(message, first, second, handled);
        return handled;
    default:
        return false;
    }
}

void CTreeDialog::OnLastMessage(HWND) {
    destroying_ = false;
}

bool CTreeDialog::Create() {
    AnnounceCreation(moduleState, *this);
    HWND dialog =
        CreateDialogParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(kDialogTemplateId),
                           nullptr, &BindDialogProc, 0);
    if (dialog == nullptr) {
        WithdrawAnnouncement(moduleState, *this);
        return false;
    }
    return true;
}

LRESULT CTreeDialog::OnGenerate(WORD, WORD, HWND, bool&) {
    const TreeParameters values = ReadTreeParameters([this](int controlId) {
        char text[kFieldTextLimit + 1] = {};
        GetWindowTextA(GetDlgItem(windowHandle, controlId), text, sizeof(text));
        return std::string(text);
    });
    canvas.SetParameters(values.maxAngleXY, values.maxAngleYZ, values.maxAngleXZ,
                         values.scaleFactor, values.limbsDegree, values.referencePoint.x,
                         values.referencePoint.y, values.referencePoint.z, values.firstVector.x,
                         values.firstVector.y, values.firstVector.z, values.levels);
    UpdateWindow(windowHandle);
    canvas.DrawTree();
    return 0;
}

LRESULT CTreeDialog::OnExit(WORD, WORD, HWND, bool&) {
    PostQuitMessage(0);
    return 0;
}

LRESULT CTreeDialog::OnInitDialog(UINT, WPARAM, LPARAM, bool& handled) {
    const ATOM atom = RegisterWindowClass(moduleState, CTreeView::windowClass, canvas.previousProc);
    if (atom != 0) {
        AnnounceCreation(moduleState, canvas);
        HWND created =
            CreateWindowExA(0, MAKEINTATOM(atom), kCanvasCaption, WS_CHILD | WS_VISIBLE | WS_BORDER,
                            kCanvasX, kCanvasY, kCanvasWidth, kCanvasHeight, windowHandle,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCanvasChildId)),
                            moduleState.instance, nullptr);
        if (created == nullptr) {
            WithdrawAnnouncement(moduleState, canvas);
        }
    }
    ShowWindow(windowHandle, SW_SHOW);
    // Not handled: the dialog manager answers 0 and sets no initial focus.
    handled = false;
    return 0;
}

LRESULT CTreeDialog::OnClose(UINT, WPARAM, LPARAM, bool&) {
    PostQuitMessage(0);
    return 0;
}

// The dialog is already on its way out when this notice comes. Under Wine, DestroyWindow from
// inside the notice destroys the window once more, notice and all, so an unguarded handler would
// start itself again and again, and the windows would go without their last message ever reaching
// their objects (or the program stalls). So the dialog and then the canvas are asked to go once;
// the notice that the first request brings finds them asked and asks nothing.
LRESULT CTreeDialog::OnDestroy(UINT, WPARAM, LPARAM, bool&) {
    if (destroying_) {
        return 0;
    }
    destroying_ = true;
    DestroyWindow(windowHandle);
    if (canvas.windowHandle != nullptr) {
        DestroyWindow(canvas.windowHandle);
    }
    return 0;
}

} // namespace arbolith
