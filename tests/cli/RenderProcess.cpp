#include "RenderProcess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace arbolith::testing {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TempPath(const char* tag) {
    std::string path = std::string(P_tmpdir) + "/arbolith-render-" + tag + "-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd >= 0) {
        close(fd);
    }
    return path;
}

} // namespace

RenderProcess::RenderProcess(const std::string& directory, const std::vector<std::string>& args,
                             int standardOutput, int user)
    : outPath_(TempPath("out")), errPath_(TempPath("err")) {
    std::vector<char*> argv;
    std::string program = ARBOLITH_RENDER;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = standardOutput >= 0 ? standardOutput
                        : standardOutput == kClosedOutput
                            ? open("/dev/null", O_WRONLY)
                            : open(outPath_.c_str(), O_WRONLY | O_TRUNC);
        const int err = open(errPath_.c_str(), O_WRONLY | O_TRUNC);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0 || chdir(directory.c_str()) != 0) {
            _exit(127);
        }
        if (user >= 0 && (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(user)) != 0 ||
                          setuid(static_cast<uid_t>(user)) != 0)) {
            _exit(126);
        }
        // Nothing else of the test's reaches the program: a pipe end left open here would keep
        // the program's output pipe from ever closing.
        for (int fd = 3; fd < 1024; ++fd) {
            close(fd);
        }
        if (standardOutput == kClosedOutput) {
            close(STDOUT_FILENO);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
}

RenderProcess::~RenderProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::remove(outPath_.c_str());
    std::remove(errPath_.c_str());
}

void RenderProcess::Signal(int signal) const {
    if (pid_ > 0) {
        kill(pid_, signal);
    }
}

bool RenderProcess::Sleeping() const {
    // The state follows the name in parentheses, which may itself hold spaces.
    const std::string stat = ReadAll("/proc/" + std::to_string(pid_) + "/stat");
    const std::size_t end = stat.rfind(')');
    return end != std::string::npos && stat.compare(end, 3, ") S") == 0;
}

bool RenderProcess::HasOpenFileIn(const std::string& directory) const {
    const std::string prefix = std::filesystem::canonical(directory).string() + "/";
    std::error_code error;
    const std::string fds = "/proc/" + std::to_string(pid_) + "/fd";
    for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
        const auto target = std::filesystem::read_symlink(fd.path(), error);
        if (!error && target.string().starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

RenderRun RenderProcess::Wait() {
    RenderRun run;
    int status = 0;
    struct rusage usage {};
    if (pid_ > 0 && wait4(pid_, &status, 0, &usage) == pid_) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.peakKiB = usage.ru_maxrss;
    }
    pid_ = -1;
    run.out = ReadAll(outPath_);
    run.err = ReadAll(errPath_);
    return run;
}

RenderRun RunRender(const std::string& directory, const std::vector<std::string>& args, int user) {
    return RenderProcess(directory, args, -1, user).Wait();
}

} // namespace arbolith::testing
