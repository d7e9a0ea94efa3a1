#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "render/ByteSink.h"
#include "render/WriteResult.h"

namespace arbolith {

// What writes the content through the sink. It returns Written when it has said everything,
// Stopped when asked to stop, or Failed with its own reason; a sink that gave up is reported
// by the writer itself.
using WriteContent = std::function<WriteResult(const ByteSink& sink)>;

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

// Writes the parts as one output, whole or not at all. Every part is written into a temporary
// file beside the file it replaces, synced to the disk and closed, before any replaces its
// file; anything less leaves every old file as it was and no temporary behind. A new file keeps
// the mode, and where the system lets us the owner and group, of the file it replaces, and a
// file the user may not write is not replaced, whatever its folder allows. A stream can only be
// an output of one part. Every write, sync, close and rename is checked.
OutputResult WriteWhole(const std::vector<OutputPart>& parts);

// An output of one file.
WriteResult WriteWhole(const std::string& path, const WriteContent& content);

} // namespace arbolith
