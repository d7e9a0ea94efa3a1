#include "ui/win32/WindowClass.h"

#include <cstdint>

#include "ui/win32/HandleOwners.h"

namespace arbolith {

namespace {

// Copies the description of `info.baseClassName` over the record, keeping its own name and
// procedure. Looks among the system's classes first, then the module's.
bool CopyBaseClass(const ModuleState& state, WindowClassInfo& info) {
    WNDCLASSEXA& description = info.classDescription;
    const WNDPROC ownProc = description.lpfnWndProc;
    const LPCSTR ownName = description.lpszClassName;
    WNDCLASSEXA found{};
    found.cbSize = sizeof(found);
    if (!GetClassInfoExA(nullptr, info.baseClassName, &found)) {
        found = {};
        found.cbSize = sizeof(found);
        if (!GetClassInfoExA(state.instance, info.baseClassName, &found)) {
            return false;
        }
    }
    description = found;
    info.baseClassProc = found.lpfnWndProc;
    description.lpszClassName = ownName;
    description.lpfnWndProc = ownProc;
    return true;
}

ATOM RegisterLocked(const ModuleState& state, WindowClassInfo& info) {
    WNDCLASSEXA& description = info.classDescription;
    if (info.baseClassName != nullptr) {
        if (!CopyBaseClass(state, info)) {
            return 0;
        }
    } else {
        description.hCursor =
            LoadCursorA(info.systemCursor ? nullptr : state.instance, info.cursorId);
    }
    description.hInstance = state.instance;
    description.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    if (description.lpszClassName == nullptr) {
        // Eight hex digits of the record's address; on 64-bit the upper half is folded in.
        const auto address = reinterpret_cast<std::uintptr_t>(&info);
        const auto folded = static_cast<std::uint32_t>(address ^ (address >> 16 >> 16));
        wsprintfA(info.generatedName, "ARB:%8.8X", static_cast<unsigned>(folded));
        description.lpszClassName = info.generatedName;
    }
    WNDCLASSEXA scratch = description;
    const ATOM existing =
        static_cast<ATOM>(GetClassInfoExA(state.instance, description.lpszClassName, &scratch));
    return existing != 0 ? existing : RegisterClassExA(&description);
}

} // namespace

ATOM RegisterWindowClass(ModuleState& state, WindowClassInfo& info, WNDPROC& previousProc) {
    if (info.atom == 0) {
        const HeldLock held(state.windowCreationLock);
        if (info.atom == 0) {
            info.atom = RegisterLocked(state, info);
        }
    }
    if (info.baseClassName != nullptr && info.atom != 0) {
        previousProc = info.baseClassProc;
    }
    return info.atom;
}

} // namespace arbolith
