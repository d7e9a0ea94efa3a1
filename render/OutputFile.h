#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "render/ByteSink.h"
#include "render/WriteResult.h"

namespace arbolith {

// What a content may do with a regular file being prepared besides appending through the sink.
// For a stream, which cannot go back and has nothing beside it, both are empty.
struct PreparedFile {
    // Writes again over bytes already handed to the sink, for a head that states what only the
    // end knows. False once the file has failed, whose reason the output reports.
    std::function<bool(std::uint64_t offset, const void* data, std::size_t size)> rewrite;
    // Opens an unnamed scratch file for reading and writing, for data that must wait: beside
    // the file, on the same disk, and gone once closed. Null, with errno set, if none can be made.
    std::function<std::FILE*()> scratch;
};

// What writes the content through the sink. It returns Written when it has said everything,
// Stopped when asked to stop, or Failed with its own reason; a sink that gave up is reported
// by the writer itself.
using WriteContent = std::function<WriteResult(const ByteSink& sink, const PreparedFile& file)>;

// Where the bytes written to a name go.
struct Destination {
    enum class Kind {
        // A regular file, or a name not taken yet: replaced whole, through a temporary file
        // beside it.
        File,
        // Standard output ("-"), or an existing device, FIFO, terminal or socket: written
        // straight through, never replaced, and nothing is made beside it.
        Stream,
        // Neither, such as a folder: `reason` says why, in the system's words.
        Refused,
    };
    Kind kind = Kind::Refused;
    // The name with its symbolic links followed, relative ones from the folder the link is in,
    // to the name the last one gives: a link is written through, and a dangling one makes the
    // file it names.
    std::string path;
    std::string reason;
};

// Where bytes written to `path` go; "-" is standard output, whose path is left empty.
Destination FindDestination(const std::string& path);

// One file of an output, named as the user gave it.
struct OutputPart {
    std::string path;
    WriteContent content;
};

// How an output ended; unless it was written, `part` is the one it ended at.
struct OutputResult {
    WriteResult result;
    std::size_t part = 0;
};

// Asked while an output waits on a stream, for a FIFO's reader to come or to take more: false
// stops the output.
using KeepWaiting = std::function<bool()>;

// Writes the parts as one output, whole or not at all. Every part is written into a temporary
// file beside the file it replaces, synced to the disk and closed, before any replaces its
// file; anything less leaves every old file as it was and no temporary behind. A new file keeps
// the mode, and where the system lets us the owner and group, of the file it replaces, and a
// file the user may not write is not replaced, whatever its folder allows. A stream can only be
// an output of one part, and is never left waiting on its reader without `keepWaiting`: without
// it, a FIFO that nobody reads is refused at once. Every write, sync, close and rename is
// checked.
OutputResult WriteWhole(const std::vector<OutputPart>& parts, const KeepWaiting& keepWaiting = {});

// An output of one file.
WriteResult WriteWhole(const std::string& path, const WriteContent& content,
                       const KeepWaiting& keepWaiting = {});

} // namespace arbolith
