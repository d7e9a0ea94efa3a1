#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "tree/Clock.h"
#include "tree/Random.h"
#include "tree/TreeParameters.h"
#include "ui/win32/KeptPicture.h"
#include "ui/win32/WindowClass.h"
#include "ui/win32/WindowObject.h"

namespace arbolith {

// The canvas: a child window of the dialog that holds the tree parameters and draws trees.
// Virtual slot order: HandleMessage, GetMessageProc, OnLastMessage, destructor, SetParameters,
// DrawTree, OnDestroy.
class CTreeView : public CCustomWindowObject {
public:
    bool HandleMessage(HWND window, UINT message, WPARAM first, LPARAM second, LRESULT& result,
                       DWORD mapId) override;
    void OnLastMessage(HWND formerWindow) override;

    virtual void SetParameters(std::int32_t maxAngleXY, std::int32_t maxAngleYZ,
                               std::int32_t maxAngleXZ, double scaleFactor,
                               std::int32_t limbsDegree, std::int32_t referenceX,
                               std::int32_t referenceY, std::int32_t referenceZ,
                               std::int32_t vectorX, std::int32_t vectorY, std::int32_t vectorZ,
                               std::int32_t levels);
    // One drawing run into the canvas window, and into the kept picture from which the window
    // repaints. Draws nothing while there is no window.
    virtual void DrawTree();
    virtual LRESULT OnDestroy(UINT message, WPARAM first, LPARAM second, bool& handled);

    const TreeParameters& Parameters() const { return parameters_; }
    // The clock every fork of a run reads: the system's, unless a test sets another.
    void SetClock(ClockReading clock) { clock_ = std::move(clock); }

    // The canvas's window class, registered on first use.
    static WindowClassInfo windowClass;

private:
    LRESULT OnPaint(UINT message, WPARAM first, LPARAM second, bool& handled);
    LRESULT OnEraseBackground(UINT message, WPARAM first, LPARAM second, bool& handled);

    TreeParameters parameters_;
    // The generator every run draws from. Each fork seeds it from the clock, so what one run
    // leaves in it never shows in the next; it lives as long as the one canvas, the process.
    RandomGenerator generator_;
    ClockReading clock_ = &SystemClockSeconds;
    KeptPicture picture_;
    // Set while the destroy notice asks for the window's destruction.
    bool destroying_ = false;
};

} // namespace arbolith
