#include <windows.h>

#include "ui/win32/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return arbolith::RunProgram(instance);
}
