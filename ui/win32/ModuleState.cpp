#include "ui/win32/ModuleState.h"

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
    EnterCriticalSection(&state.windowCreationLock);
    record.next = state.pendingCreations;
    state.pendingCreations = &record;
    LeaveCriticalSection(&state.windowCreationLock);
}

void WithdrawAnnouncement(ModuleState& state, CWindowObject& object) {
    EnterCriticalSection(&state.windowCreationLock);
    for (CreationRecord** link = &state.pendingCreations; *link != nullptr; link = &(*link)->next) {
        if (*link == &object.thunk.creation) {
            *link = (*link)->next;
            break;
        }
    }
    LeaveCriticalSection(&state.windowCreationLock);
}

CWindowObject* TakeAnnouncement(ModuleState& state) {
    const DWORD thread = GetCurrentThreadId();
    CWindowObject* object = nullptr;
    EnterCriticalSection(&state.windowCreationLock);
    for (CreationRecord** link = &state.pendingCreations; *link != nullptr; link = &(*link)->next) {
        if ((*link)->threadId == thread) {
            object = (*link)->object;
            *link = (*link)->next;
            break;
        }
    }
    LeaveCriticalSection(&state.windowCreationLock);
    return object;
}

} // namespace arbolith
