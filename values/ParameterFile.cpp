#include "values/ParameterFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "values/KeyTable.h"
#include "values/MessageText.h"

namespace arbolith {

namespace {

// A parameter file is a few hundred bytes; anything far larger is some other file, and is not
// read into memory to find that out.
constexpr std::size_t kLargestFile = 64 * 1024;

constexpr std::string_view kSpaces = " \t\r\f\v";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

bool Optional(std::string_view key) {
    return key == kTimeKey || key == kViewKey;
}

std::string KeyList() {
    std::string list;
    for (const TreeKey& key : TreeKeys()) {
        list += (list.empty() ? "" : ", ") + std::string(key.name);
    }
    return list;
}

// What one line says, once its comment is cut off: nothing, or a key and its value.
struct Line {
    std::string_view key;
    std::string_view value;
    bool blank = false;
    bool hasEquals = false;
};

Line Split(std::string_view line) {
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) {
        return {{}, {}, true, false};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {line, {}, false, false};
    }
    return {Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)), false, true};
}

// The parameter set in an open file, read whole, at most kLargestFile bytes.
ParameterReading ReadOpenFile(int fd, bool regularOnly) {
    struct stat status {};
    if (regularOnly && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        return ParameterFault{0, "not a regular file"};
    }
    std::string text(kLargestFile + 1, '\0');
    std::size_t read = 0;
    while (read < text.size()) {
        const ssize_t got = ::read(fd, text.data() + read, text.size() - read);
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            return ParameterFault{0, std::strerror(errno)};
        }
        read += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    if (read > kLargestFile) {
        return ParameterFault{0, "larger than " + std::to_string(kLargestFile / 1024) +
                                     " KiB: not a parameter file"};
    }
    text.resize(read);
    return ReadParameterText(text);
}

} // namespace

ParameterReading ReadParameterText(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const auto keys = TreeKeys();
    // The line each key was given on, 0 for none yet.
    std::vector<std::size_t> givenOn(keys.size(), 0);
    TreeOrder order;
    std::size_t number = 0;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const Line line = Split(text.substr(start, end - start));
        start = end + 1;
        if (line.blank) {
            continue;
        }
        if (!line.hasEquals || line.key.empty()) {
            return ParameterFault{number + 1, "expected KEY = VALUE, such as 'levels = 7', not " +
                                                  Quoted(Trimmed(line.key))};
        }
        const TreeKey* key = FindTreeKey(line.key);
        if (key == nullptr) {
            return ParameterFault{number + 1, "unknown key " + Quoted(line.key) +
                                                  ": expected one of " + KeyList()};
        }
        std::size_t& given = givenOn[static_cast<std::size_t>(key - keys.data())];
        if (given != 0) {
            return ParameterFault{number + 1, std::string(key->name) +
                                                  " given again (first on line " +
                                                  std::to_string(given) + ")"};
        }
        given = number + 1;
        if (!key->read(line.value, order)) {
            return ParameterFault{number + 1, "invalid value " + Quoted(line.value) + " for " +
                                                  std::string(key->name) + ": expected " +
                                                  std::string(key->expected)};
        }
    }
    std::string missing;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (givenOn[i] == 0 && !Optional(keys[i].name)) {
            missing += (missing.empty() ? "" : ", ") + std::string(keys[i].name);
        }
    }
    if (!missing.empty()) {
        return ParameterFault{0, "no value for " + missing +
                                     ": every value of the tree must be given, only time and "
                                     "view may be left out"};
    }
    ParameterSet set{order.parameters, std::nullopt, std::nullopt};
    if (givenOn[static_cast<std::size_t>(FindTreeKey(kTimeKey) - keys.data())] != 0) {
        set.second = order.second;
    }
    if (givenOn[static_cast<std::size_t>(FindTreeKey(kViewKey) - keys.data())] != 0) {
        set.view = order.view;
    }
    return set;
}

ParameterReading ReadParameterFile(const std::string& path, bool regularOnly) {
    if (path == "-") {
        return ReadOpenFile(STDIN_FILENO, false);
    }
    // Opened without waiting for a FIFO's writer when only a regular file will do.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0));
    if (fd < 0) {
        return ParameterFault{0, std::strerror(errno)};
    }
    ParameterReading read = ReadOpenFile(fd, regularOnly);
    ::close(fd);
    return read;
}

std::string DescribeFault(std::string_view file, const ParameterFault& fault) {
    const std::string line = fault.line == 0 ? "" : ", line " + std::to_string(fault.line);
    return std::string(file) + line + ": " + fault.message;
}

std::string ParameterText(const ParameterSet& set) {
    TreeOrder order{set.parameters, set.second.value_or(0)};
    order.view = set.view.value_or(ViewAngles{});
    std::string text = "# An Arbolith tree: arbolith-render --params FILE draws it.\n";
    for (const auto& [name, value] : KeyValues(order)) {
        if ((name == kTimeKey && !set.second) || (name == kViewKey && !set.view)) {
            continue;
        }
        text += std::string(name) + " = " + value + '\n';
    }
    return text;
}

} // namespace arbolith
