#pragma once

#include <functional>
#include <string>

#include "render/ByteSink.h"
#include "render/WriteResult.h"

namespace arbolith {

// What writes the content through the sink. It returns Written when it has said everything,
// Stopped when asked to stop, or Failed with its own reason; a sink that gave up is reported
// by the writer itself.
using WriteContent = std::function<WriteResult(const ByteSink& sink)>;

// Writes a file whole or not at all. A regular file, or a name not taken yet, is written into a
// temporary file beside it, which replaces it only once every byte is written and on the disk;
// anything less leaves the old file as it was and no temporary behind. Standard output ("-")
// and any existing file that is not a regular one (a device, a FIFO, a terminal) are written
// straight through and never replaced. Every write, the sync and the close are checked.
WriteResult WriteWhole(const std::string& path, const WriteContent& content);

} // namespace arbolith
