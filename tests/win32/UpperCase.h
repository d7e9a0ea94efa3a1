#pragma once

#include <cctype>
#include <string>

namespace arbolith {

// Window class names compare without regard to case.
inline std::string UpperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace arbolith
