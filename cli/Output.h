#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QIODevice>

#include "cli/TreeWriters.h"

namespace arbolith::cli {

// The output name of tree `number` (1 to `count`) drawn for `second`: {n} becomes the number,
// padded with zeros to the width of `count` so that names sort in order, {time} the second.
std::string OutputName(const std::string& pattern, int number, int count, std::uint32_t second);

using DrawFunction = std::function<DrawResult(QIODevice& device)>;

// Writes a file whole or not at all: into a temporary file beside it, renamed over the name
// only when everything is written. A stopped or failed drawing leaves nothing behind.
DrawResult WriteFileWhole(const std::string& path, const DrawFunction& draw);

// Writes to standard output, only once the whole picture is drawn.
DrawResult WriteStandardOutput(const DrawFunction& draw);

} // namespace arbolith::cli
