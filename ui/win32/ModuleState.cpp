#include "ui/win32/ModuleState.h"

#include "ui/win32/HandleOwners.h"

namespace arbolith {

ModuleState moduleState{};

void StartModule(ModuleState& state, HINSTANCE instance) {
    state.instance = instance;
    state.resourceInstance = instance;
    InitializeCriticalSection(&state.windowCreationLock);
    state.pendingCreations = nullptr;
}

void EndModule(ModuleState& state) {
    DeleteCriticalSection(&state.windowCreationLock);
}

void AnnounceCreation(ModuleState& state, CWindowObject& object) {
    CreationRecord& record = object.thunk.creation;
    record.object = &object;
    record.threadId = GetCurrentThreadId();
    const HeldLock held(state.windowCreationLock);
    record.next = state.pendingCreations;
    state.pendingCreations = &record;
}

void WithdrawAnnouncement(ModuleState& state, CWindowObject& object) {
    const HeldLock held(state.windowCreationLock);
    for (CreationRecord** link = &state.pendingCreations; *link != nullptr; link = &(*link)->next) {
        if (*link == &object.thunk.creation) {
            *link = (*link)->next;
            return;
        }
    }
}

CWindowObject* TakeAnnouncement(ModuleState& state) {
    const DWORD thread = GetCurrentThreadId();
    const HeldLock held(state.windowCreationLock);
    for (CreationRecord** link = &state.pendingCreations; *link != nullptr; link = &(*link)->next) {
        if ((*link)->threadId == thread) {
            CWindowObject* const object = (*link)->object;
            *link = (*link)->next;
            return object;
        }
    }
    return nullptr;
}

} // namespace arbolith
