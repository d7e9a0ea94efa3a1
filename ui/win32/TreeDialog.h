#pragma once

#include <windows.h>

#include "ui/win32/TreeView.h"
#include "ui/win32/WindowObject.h"

namespace arbolith {

// The parameter dialog, from template 101, with the canvas as its child. Virtual slot order:
// HandleMessage, GetMessageProc, OnLastMessage, destructor, OnGenerate, OnExit, OnInitDialog,
// OnClose, OnDestroy.
class CTreeDialog : public CDialogObject {
public:
    CTreeDialog() = default;
    bool HandleMessage(HWND window, UINT message, WPARAM first, LPARAM second, LRESULT& result,
                       DWORD mapId) override;
    void OnLastMessage(HWND formerWindow) override;
    ~CTreeDialog() override = default;

    virtual LRESULT OnGenerate(WORD notification, WORD controlId, HWND control, bool& handled);
    virtual LRESULT OnExit(WORD notification, WORD controlId, HWND control, bool& handled);
    virtual LRESULT OnInitDialog(UINT message, WPARAM first, LPARAM second, bool& handled);
    virtual LRESULT OnClose(UINT message, WPARAM first, LPARAM second, bool& handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM first, LPARAM second, bool& handled);

    // Announces the object and creates the modeless dialog, which shows itself. Gives false if
    // the window system made no dialog.
    bool Create();

    CTreeView canvas;

private:
    // Set while the destroy notice asks for the window's destruction, which under Wine brings a
    // notice of its own.
    bool destroying_ = false;
};

// Any child-window identifier will do; nothing looks the canvas up by it.
inline constexpr int kCanvasChildId = 2000;

} // namespace arbolith
