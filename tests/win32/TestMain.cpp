#include <gtest/gtest.h>

#include <windows.h>

#include "ui/win32/ModuleState.h"

// The window layer's module state is process-wide; the tests share one, as the program does.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const arbolith::RunningModule module(arbolith::moduleState, GetModuleHandleA(nullptr));
    return RUN_ALL_TESTS();
}
