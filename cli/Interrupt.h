#pragma once

namespace arbolith::cli {

// Ctrl-C (SIGINT) and SIGTERM only raise a flag, so that a render stops between branches and
// its half-written file is discarded rather than left behind.
void CatchInterrupts();
// The signal that asked us to stop, or 0.
int InterruptSignal();

} // namespace arbolith::cli
