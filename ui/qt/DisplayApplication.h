#pragma once

#include <QApplication>
#include <memory>

namespace arbolith {

// The desktop program's exit status when it finds no display to open its window on.
inline constexpr int kExitNoDisplay = 1;

// The application object on the window system. Where there is no display the toolkit ends the
// process with a fatal message of several lines and an abort; instead the program says so in
// one line on standard error and ends with kExitNoDisplay. The toolkit's messages are held back
// while the object connects, and passed on once it has.
std::unique_ptr<QApplication> ApplicationOnDisplay(int& argc, char** argv);

} // namespace arbolith
