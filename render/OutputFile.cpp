#include "render/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arbolith {

namespace {

// As many links as the system itself follows in one name before it gives up.
constexpr int kMostLinks = 40;

std::string SystemReason(int error) {
    return std::strerror(error);
}

WriteResult Failed(std::string reason) {
    return {WriteOutcome::Failed, std::move(reason)};
}

Destination Refused(int error) {
    return {Destination::Kind::Refused, {}, SystemReason(error)};
}

// How long a stream's writer sleeps between asking whether it should go on waiting.
constexpr int kWaitMilliseconds = 50;

// A file descriptor written in full, remembering the first error. A stream that makes it wait
// (a FIFO whose reader takes no more; a signal) asks `keepWaiting` whether to go on, and stops
// if not.
class Descriptor {
public:
    explicit Descriptor(int fd, bool owned, KeepWaiting keepWaiting = {})
        : fd_(fd), owned_(owned), keepWaiting_(std::move(keepWaiting)) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool Write(const void* data, std::size_t size) { return WriteAt(-1, data, size); }
    // Writes at `offset`, leaving the file's position where it is; at the position if negative.
    bool WriteAt(off_t offset, const void* data, std::size_t size) {
        const auto* bytes = static_cast<const char*>(data);
        while (size > 0 && error_ == 0) {
            const ssize_t written =
                offset < 0 ? ::write(fd_, bytes, size) : ::pwrite(fd_, bytes, size, offset);
            if (written < 0) {
                if (errno == EAGAIN) {
                    pollfd ready{fd_, POLLOUT, 0};
                    ::poll(&ready, 1, kWaitMilliseconds);
                } else if (errno != EINTR) {
                    error_ = errno;
                    break;
                }
                if (keepWaiting_ && !keepWaiting_()) {
                    stopped_ = true;
                    error_ = ECANCELED;
                }
                continue;
            }
            delivered_ += static_cast<std::uint64_t>(written);
            bytes += written;
            size -= static_cast<std::size_t>(written);
            offset = offset < 0 ? offset : offset + written;
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
    bool Stopped() const { return stopped_; }
    std::uint64_t Delivered() const { return delivered_; }
    ByteSink Sink() {
        return [this](const void* data, std::size_t size) {
            return Write(data, size);
        };
    }

private:
    int fd_;
    bool owned_;
    KeepWaiting keepWaiting_;
    int error_ = 0;
    bool stopped_ = false;
    std::uint64_t delivered_ = 0;
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

// The name a symbolic link gives, a relative one read from the link's folder; empty with errno
// set on failure.
std::string LinkTarget(const std::string& link) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t size = ::readlink(link.c_str(), target.data(), target.size());
        if (size < 0) {
            return {};
        }
        if (static_cast<std::size_t>(size) < target.size()) {
            target.resize(static_cast<std::size_t>(size));
            break;
        }
        target.resize(target.size() * 2);
    }
    const std::size_t slash = link.rfind('/');
    if (target.starts_with('/') || slash == std::string::npos) {
        return target;
    }
    return link.substr(0, slash + 1) + target;
}

// A hidden name for the temporary of a file named `base`, ending in `tail`, within the
// folder's longest name: a long base is cut short, at the start of a character.
std::string TemporaryName(std::string base, const std::string& tail, std::size_t longest) {
    const std::size_t room = longest > tail.size() + 1 ? longest - tail.size() - 1 : 0;
    if (base.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0u) == 0x80u) {
            --cut;
        }
        base.resize(cut);
    }
    return "." + base + tail;
}

// Creates a new file beside `target` under a name no other file has; the system applies the
// user's file-creation mask to its permissions. -1 with errno set on failure.
int CreateTemporary(const std::string& target, std::string& name) {
    const std::string folder = Directory(target);
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tail = "." + std::to_string(random() % 1000000000u) + ".part";
        name = folder + "/" +
               TemporaryName(BaseName(target), tail,
                             longest > 0 ? static_cast<std::size_t>(longest) : NAME_MAX);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// The new file takes the old one's owner and group where the system lets us (the owner only
// for root, the group for its members), then its mode, after the change of owner that may clear
// some of its bits.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Ours, then: the system does not let us give it away.
    }
    ::fchmod(fd, old.st_mode & 07777);
}

// An unnamed file in `folder`, or where the system keeps temporary files if that folder's file
// system makes none.
std::FILE* Scratch(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno == EOPNOTSUPP || errno == EISDIR ? std::tmpfile() : nullptr;
    }
    std::FILE* file = ::fdopen(fd, "w+b");
    if (file == nullptr) {
        ::close(fd);
    }
    return file;
}

// Opens a device or a FIFO for writing, without blocking the thread on a FIFO that has no
// reader yet: it waits for one while `keepWaiting` says so, and fails at once without it. The
// descriptor stays non-blocking, so that a write that must wait can be stopped too. -1 with
// errno set on failure, ECANCELED when stopped.
int OpenStream(const std::string& path, const KeepWaiting& keepWaiting) {
    for (;;) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat status {};
        if (fd >= 0 || errno != ENXIO || ::stat(path.c_str(), &status) != 0 ||
            !S_ISFIFO(status.st_mode)) {
            return fd;
        }
        if (!keepWaiting) {
            errno = ENXIO;
            return -1;
        }
        if (!keepWaiting()) {
            errno = ECANCELED;
            return -1;
        }
        ::poll(nullptr, 0, kWaitMilliseconds);
    }
}

// Writes straight through: standard output, a device, a FIFO. What went cannot be taken back,
// so the result counts it, stopped or failed.
WriteResult WriteThrough(const std::string& path, const WriteContent& content,
                         const KeepWaiting& keepWaiting) {
    const int fd = path.empty() ? STDOUT_FILENO : OpenStream(path, keepWaiting);
    if (fd < 0) {
        if (errno == ECANCELED) {
            return {WriteOutcome::Stopped};
        }
        return Failed(errno == ENXIO ? "no program is reading it" : SystemReason(errno));
    }
    Descriptor out(fd, !path.empty(), keepWaiting);
    WriteResult result = content(out.Sink(), PreparedFile{});
    if (out.Stopped()) {
        result = {WriteOutcome::Stopped};
    } else if (out.Error() != 0) {
        result = Failed(SystemReason(out.Error()));
    } else if (result.outcome == WriteOutcome::Written && !out.Close()) {
        result = Failed(SystemReason(out.Error()));
    }
    result.streamed = out.Delivered();
    return result;
}

// One part on its way: written into its temporary, then put in place.
struct Prepared {
    enum class Stage { Writing, Exchanged, Renamed };
    std::string target;
    std::string temporary;
    bool replaces = false; // an old file is there
    Stage stage = Stage::Writing;
};

WriteResult Prepare(Prepared& part, const WriteContent& content) {
    struct stat old {};
    part.replaces = ::stat(part.target.c_str(), &old) == 0;
    // The folder alone would let us replace a file we may not write.
    if (part.replaces && ::faccessat(AT_FDCWD, part.target.c_str(), W_OK, AT_EACCESS) != 0) {
        return Failed(SystemReason(errno));
    }
    const int fd = CreateTemporary(part.target, part.temporary);
    if (fd < 0) {
        const int error = errno;
        part.temporary.clear();
        return Failed(SystemReason(error));
    }
    Descriptor out(fd, true);
    if (part.replaces) {
        KeepOwnerAndMode(fd, old);
    }
    const PreparedFile file{[&out](std::uint64_t offset, const void* data, std::size_t size) {
                                return out.WriteAt(static_cast<off_t>(offset), data, size);
                            },
                            [&part] {
                                return Scratch(Directory(part.target));
                            }};
    WriteResult result = content(out.Sink(), file);
    if (out.Error() != 0) {
        return Failed(SystemReason(out.Error()));
    }
    if (result.outcome == WriteOutcome::Written && !(out.Sync() && out.Close())) {
        return Failed(SystemReason(out.Error()));
    }
    return result;
}

// Swaps two names in one step; false where the file system cannot, or one of them is gone.
bool Exchange(const std::string& a, const std::string& b) {
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
}

// Leaves every file as it was before the output: temporaries removed, exchanged files swapped
// back, new files that replaced nothing removed. An old file that cannot be swapped back stays
// whole under its temporary's name rather than be lost.
void Abandon(std::vector<Prepared>& parts) {
    for (Prepared& part : parts) {
        switch (part.stage) {
        case Prepared::Stage::Writing:
            if (!part.temporary.empty()) {
                ::unlink(part.temporary.c_str());
            }
            break;
        case Prepared::Stage::Exchanged:
            if (Exchange(part.temporary, part.target)) {
                ::unlink(part.temporary.c_str());
            }
            break;
        case Prepared::Stage::Renamed:
            if (!part.replaces) {
                ::unlink(part.target.c_str());
            }
            break;
        }
    }
}

// Puts the written parts in place, the last first, so that the first, which the others serve
// (an OBJ names its material library), replaces its file last: the one rename that completes
// the output. Each part before it is exchanged with the file it replaces in one step, which
// keeps the old file under the temporary's name; so if a later rename fails (the folder taken
// away, a disk error), every exchange is undone and every old file is back. Where the file
// system cannot exchange names, such a part simply replaces its file, and a failure after it
// leaves that part new beside the old first part: as far as the system lets a set of files be
// one. The old files are removed once the first part is in place; a machine that stops before
// that leaves them whole under their hidden temporary names, never a file half-written.
OutputResult PutInPlace(std::vector<Prepared>& parts) {
    for (std::size_t i = parts.size(); i-- > 0;) {
        Prepared& part = parts[i];
        if (i > 0 && part.replaces && Exchange(part.temporary, part.target)) {
            part.stage = Prepared::Stage::Exchanged;
        } else if (::rename(part.temporary.c_str(), part.target.c_str()) == 0) {
            part.stage = Prepared::Stage::Renamed;
        } else {
            const int error = errno;
            Abandon(parts);
            return {Failed(SystemReason(error)), i};
        }
    }
    for (const Prepared& part : parts) {
        if (part.stage == Prepared::Stage::Exchanged) {
            ::unlink(part.temporary.c_str());
        }
    }
    return {};
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return a == b || (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
                      first.st_dev == second.st_dev && first.st_ino == second.st_ino);
}

} // namespace

Destination FindDestination(const std::string& path) {
    if (path == "-") {
        return {Destination::Kind::Stream, {}, {}};
    }
    std::string name = path;
    for (int links = 0;; ++links) {
        struct stat status {};
        if (::lstat(name.c_str(), &status) != 0) {
            // A new file; a missing folder shows when its temporary is made.
            return errno == ENOENT ? Destination{Destination::Kind::File, name, {}}
                                   : Refused(errno);
        }
        if (S_ISDIR(status.st_mode)) {
            return Refused(EISDIR);
        }
        if (!S_ISLNK(status.st_mode)) {
            return {S_ISREG(status.st_mode) ? Destination::Kind::File : Destination::Kind::Stream,
                    name,
                    {}};
        }
        if (links == kMostLinks) {
            return Refused(ELOOP);
        }
        name = LinkTarget(name);
        if (name.empty()) {
            return Refused(errno);
        }
    }
}

OutputResult WriteWhole(const std::vector<OutputPart>& parts, const KeepWaiting& keepWaiting) {
    std::vector<Prepared> prepared(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Destination destination = FindDestination(parts[i].path);
        switch (destination.kind) {
        case Destination::Kind::Refused:
            return {Failed(destination.reason), i};
        case Destination::Kind::Stream:
            if (parts.size() > 1) {
                return {Failed("not a regular file, so it cannot be replaced together with the "
                               "other files"),
                        i};
            }
            return {WriteThrough(destination.path, parts[i].content, keepWaiting), i};
        case Destination::Kind::File:
            break;
        }
        for (std::size_t earlier = 0; earlier < i; ++earlier) {
            if (SameFile(prepared[earlier].target, destination.path)) {
                return {Failed("the same file as " + parts[earlier].path), i};
            }
        }
        prepared[i].target = destination.path;
    }
    std::vector<WriteResult> written;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        written.push_back(Prepare(prepared[i], parts[i].content));
        if (written.back().outcome != WriteOutcome::Written) {
            Abandon(prepared);
            return {std::move(written.back()), i};
        }
    }
    OutputResult placed = PutInPlace(prepared);
    if (placed.result.outcome == WriteOutcome::Written) {
        // What the first part said of itself, such as what a 3-D file holds.
        placed.result = std::move(written.front());
    }
    return placed;
}

WriteResult WriteWhole(const std::string& path, const WriteContent& content,
                       const KeepWaiting& keepWaiting) {
    return WriteWhole({{path, content}}, keepWaiting).result;
}

} // namespace arbolith
