#pragma once

#include <windows.h>

#include "ui/win32/WindowObject.h"

namespace arbolith {

// The window layer's one process-wide record.
struct ModuleState {
    HINSTANCE instance;
    HINSTANCE resourceInstance;
    CRITICAL_SECTION windowCreationLock;
    CreationRecord* pendingCreations;
};

extern ModuleState moduleState;

void StartModule(ModuleState& state, HINSTANCE instance);
void EndModule(ModuleState& state);

// The module record filled for the owner's life, and torn down when it goes.
class RunningModule {
public:
    RunningModule(ModuleState& state, HINSTANCE instance) : state_(state) {
        StartModule(state_, instance);
    }
    ~RunningModule() { EndModule(state_); }
    RunningModule(const RunningModule&) = delete;
    RunningModule& operator=(const RunningModule&) = delete;

private:
    ModuleState& state_;
};

// Puts the object's creation record, in its own thunk storage, at the head of the list. Call it
// on the creating thread just before asking for the window.
void AnnounceCreation(ModuleState& state, CWindowObject& object);
// Takes the object's announcement back off the list if its window never came.
void WithdrawAnnouncement(ModuleState& state, CWindowObject& object);
// Takes the latest announcement of the current thread off the list, or gives nullptr.
CWindowObject* TakeAnnouncement(ModuleState& state);

} // namespace arbolith
