#include "cli/Output.h"

namespace arbolith::cli {

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

} // namespace

std::string OutputName(const std::string& pattern, int number, int count, std::uint32_t second) {
    std::string digits = std::to_string(number);
    const std::size_t width = std::to_string(count).size();
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    std::string name = pattern;
    ReplaceAll(name, "{n}", digits);
    ReplaceAll(name, "{time}", std::to_string(second));
    return name;
}

} // namespace arbolith::cli
