#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "tree/TreeParameters.h"
#include "tree/ViewAngles.h"

namespace arbolith {

// A tree as a parameter file gives it: always the twelve values, and the clock second and the
// view where the file names them.
struct ParameterSet {
    TreeParameters parameters;
    std::optional<std::uint32_t> second; // none: now
    std::optional<ViewAngles> view;      // none: whatever view the reader has
    friend bool operator==(const ParameterSet&, const ParameterSet&) = default;
};

// Why a parameter text was refused: the line it was found on (0 when it concerns the whole text,
// such as a missing value or a file that cannot be read), and what is wrong.
struct ParameterFault {
    std::size_t line = 0;
    std::string message;
    friend bool operator==(const ParameterFault&, const ParameterFault&) = default;
};

using ParameterReading = std::variant<ParameterSet, ParameterFault>;

// Reads `key = value` lines under the names of values/KeyTable.h, each value as strictly as
// arbolith-render's options read it. A `#` starts a comment that runs to the end of its line (no
// value holds one); blank lines and the spaces round keys and values do not count. Every value of
// the tree must be given, `time` and `view` may be; an unknown key, a bad value or a key given
// twice refuses the whole text, at the first faulty line.
ParameterReading ReadParameterText(std::string_view text);

// The same for a file, read whole; "-" reads standard input. A file that cannot be read, or one
// too large to be a parameter file, is refused with the reason. With `regularOnly`, anything but
// a regular file (a FIFO, a device) is refused without waiting for it, as a window must never
// wait on what may not come.
ParameterReading ReadParameterFile(const std::string& path, bool regularOnly = false);

// The fault in one line that names the file: "FILE, line N: what is wrong".
std::string DescribeFault(std::string_view file, const ParameterFault& fault);

// The set as a parameter text that reads back as exactly the same set: a comment naming it,
// then a line for every value it holds. output/WholeFile.h writes it to a file.
std::string ParameterText(const ParameterSet& set);

} // namespace arbolith
