#pragma once

namespace arbolith {

// Called first thing in main, before any file is opened: each of standard input, output and
// error that was closed is given /dev/null opened the other way round, as careful tools do, so
// that no file the program opens takes its number (and receives what was meant for the
// terminal), and a use of it still fails as on a closed one (EBADF).
void HoldClosedStandardStreams();

// Flushes standard output: false, with errno set, if anything written there was lost, such as
// help on a full disk (ENOSPC) or a closed standard output (EBADF).
bool StandardOutputDelivered();

} // namespace arbolith
