#include "ui/win32/Program.h"

#include "ui/win32/ModuleState.h"
#include "ui/win32/TreeDialog.h"

namespace arbolith {

// Straight from retrieval to translation to dispatch: no dialog navigation, so Tab and Enter
// do nothing special.
int RunMessageLoop(MessageSource next) {
    MSG message{};
    for (;;) {
        const BOOL got = next(&message, nullptr, 0, 0);
        if (got == 0) {
            return kExitNormal;
        }
        if (got == -1) {
            return kExitMessageFailure;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int RunProgram(HINSTANCE instance) {
    // The dialog object outlives the module record: the record is torn down first, and no
    // message reaches the object after that. Constructing it touches nothing of the record.
    CTreeDialog dialog;
    const RunningModule module(moduleState, instance);
    return dialog.Create() ? RunMessageLoop() : kExitNoDialog;
}

} // namespace arbolith
