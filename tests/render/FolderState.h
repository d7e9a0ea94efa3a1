#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace arbolith::testing {

// Every entry below `folder` by its path from there: a folder as "folder", a link as
// "-> TARGET", a FIFO as "fifo", a device as "device", and a regular file as `describe` tells
// its content. Comparing the whole state checks what was written, what was kept, and that
// nothing else was left behind.
inline std::map<std::string, std::string>
FolderState(const std::filesystem::path& folder,
            const std::function<std::string(const std::string&)>& describe) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> state;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        std::string& seen = state[entry.path().lexically_relative(folder).string()];
        if (fs::is_symlink(status)) {
            seen = "-> " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_directory(status)) {
            seen = "folder";
        } else if (fs::is_fifo(status)) {
            seen = "fifo";
        } else if (!fs::is_regular_file(status)) {
            seen = "device";
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            seen = describe({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        }
    }
    return state;
}

} // namespace arbolith::testing
