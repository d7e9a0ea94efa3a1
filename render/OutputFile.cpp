#include "render/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arbolith {

namespace {

std::string SystemReason(int error) {
    return std::strerror(error);
}

// A file descriptor written in full, remembering the first error.
class Descriptor {
public:
    explicit Descriptor(int fd, bool owned) : fd_(fd), owned_(owned) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool Write(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const char*>(data);
        while (size > 0 && error_ == 0) {
            const ssize_t written = ::write(fd_, bytes, size);
            if (written < 0) {
                if (errno != EINTR) {
                    error_ = errno;
                }
                continue;
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
        return error_ == 0;
    }
    // Syncs a regular file to the disk, so that a full or failing disk shows here and not
    // after the file has been put in place.
    bool Sync() {
        if (error_ == 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
            error_ = errno;
        }
        return error_ == 0;
    }
    bool Close() {
        if (owned_ && fd_ >= 0) {
            if (::close(fd_) != 0 && error_ == 0 && errno != EINTR) {
                error_ = errno;
            }
        }
        fd_ = -1;
        return error_ == 0;
    }
    int Error() const { return error_; }

private:
    int fd_;
    bool owned_;
    int error_ = 0;
};

std::string Directory(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new file beside `target` under a name no other file has; the system applies the
// user's file-creation mask to its permissions. -1 with errno set on failure.
int CreateTemporary(const std::string& target, std::string& name) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = Directory(target) + "/." + BaseName(target) + "." +
               std::to_string(random() % 1000000000u) + ".part";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

WriteResult Failed(std::string reason) {
    return {WriteOutcome::Failed, std::move(reason)};
}

// Writes straight through an open descriptor: standard output, a device, a FIFO.
WriteResult WriteThrough(Descriptor& out, const WriteContent& content) {
    const ByteSink sink = [&out](const void* data, std::size_t size) {
        return out.Write(data, size);
    };
    WriteResult result = content(sink);
    if (out.Error() != 0) {
        return Failed(SystemReason(out.Error()));
    }
    if (result.outcome == WriteOutcome::Written && !out.Close()) {
        return Failed(SystemReason(out.Error()));
    }
    return result;
}

WriteResult ReplaceWhole(const std::string& target, const struct stat* existing,
                         const WriteContent& content) {
    std::string temporary;
    const int fd = CreateTemporary(target, temporary);
    if (fd < 0) {
        return Failed(SystemReason(errno));
    }
    if (existing != nullptr) {
        // The new file keeps the permissions of the one it replaces.
        ::fchmod(fd, existing->st_mode & 07777);
    }
    Descriptor out(fd, true);
    const ByteSink sink = [&out](const void* data, std::size_t size) {
        return out.Write(data, size);
    };
    WriteResult result = content(sink);
    if (out.Error() != 0) {
        result = Failed(SystemReason(out.Error()));
    } else if (result.outcome == WriteOutcome::Written && !(out.Sync() && out.Close())) {
        result = Failed(SystemReason(out.Error()));
    }
    out.Close();
    if (result.outcome == WriteOutcome::Written &&
        ::rename(temporary.c_str(), target.c_str()) != 0) {
        result = Failed(SystemReason(errno));
    }
    if (result.outcome != WriteOutcome::Written) {
        ::unlink(temporary.c_str());
    }
    return result;
}

} // namespace

WriteResult WriteWhole(const std::string& path, const WriteContent& content) {
    if (path == "-") {
        Descriptor out(STDOUT_FILENO, false);
        return WriteThrough(out, content);
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            return Failed(SystemReason(errno));
        }
        return ReplaceWhole(path, nullptr, content);
    }
    if (S_ISDIR(status.st_mode)) {
        return Failed(SystemReason(EISDIR));
    }
    if (!S_ISREG(status.st_mode)) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            return Failed(SystemReason(errno));
        }
        Descriptor out(fd, true);
        return WriteThrough(out, content);
    }
    // A link to a regular file: the file it names is replaced, not the link.
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return Failed(SystemReason(errno));
    }
    return ReplaceWhole(resolved, &status, content);
}

} // namespace arbolith
