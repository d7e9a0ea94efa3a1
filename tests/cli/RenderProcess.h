#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace arbolith::testing {

// Runs the real arbolith-render in `directory`, its standard output and error caught in files.
struct RenderRun {
    int exitCode = -1; // 128 + the signal if one ended it
    std::string out;
    std::string err;
    long peakKiB = 0; // the process's peak resident memory
};
RenderRun RunRender(const std::string& directory, const std::vector<std::string>& args,
                    int user = -1);

// A standard output the program starts with closed.
inline constexpr int kClosedOutput = -2;

// The same, started without waiting, for tests that signal the process while it draws.
class RenderProcess {
public:
    // Standard output goes to `standardOutput` if it is given (a descriptor the caller keeps),
    // is closed for kClosedOutput, else goes into a file whose content Wait returns. Root may run
    // it as another `user`, with that user's id for its group and no other groups; it ends with
    // status 126 if it cannot.
    RenderProcess(const std::string& directory, const std::vector<std::string>& args,
                  int standardOutput = -1, int user = -1);
    ~RenderProcess();
    RenderProcess(const RenderProcess&) = delete;
    RenderProcess& operator=(const RenderProcess&) = delete;

    void Signal(int signal) const;
    // Whether the program's main thread sleeps, waiting in the system for something to happen.
    bool Sleeping() const;
    // Whether the process holds a file open in `directory`, deleted or not.
    bool HasOpenFileIn(const std::string& directory) const;
    RenderRun Wait();

private:
    pid_t pid_ = -1;
    std::string outPath_;
    std::string errPath_;
};

} // namespace arbolith::testing
