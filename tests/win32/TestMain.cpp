#include <gtest/gtest.h>

#include <windows.h>

#include "ui/win32/ModuleState.h"

// The window layer's module state is process-wide; the tests share one, as the program does.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    arbolith::StartModule(arbolith::moduleState, GetModuleHandleA(nullptr));
    const int status = RUN_ALL_TESTS();
    arbolith::EndModule(arbolith::moduleState);
    return status;
}
