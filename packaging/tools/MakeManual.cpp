// Writes the manual page arbolith-render(1) from the option table that also makes --help, so
// that the two cannot drift apart.
//   arbolith_make_manual FILE
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/RenderOptions.h"

namespace {

using namespace arbolith::cli;

bool StartsWord(std::string_view text, std::size_t i) {
    return i == 0 || std::string_view(" \n(\"'").find(text[i - 1]) != std::string_view::npos;
}

// Text as roff reads it: a dash that begins a word (an option, a negative number) is a minus
// sign, a backslash is printed as itself, and every sentence starts a line of its own.
std::string Roff(std::string_view text) {
    std::string roff;
    bool inOption = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\n') {
            inOption = false;
        }
        if (c == '-' && (inOption || StartsWord(text, i))) {
            inOption = true;
            roff += "\\-";
        } else if (c == '\\') {
            roff += "\\e";
        } else if (c == ' ' && i > 0 && text[i - 1] == '.' && i + 1 < text.size() &&
                   std::isupper(static_cast<unsigned char>(text[i + 1])) != 0) {
            roff += '\n';
        } else {
            roff += c;
        }
    }
    return roff;
}

// Source lines of at most 80 bytes, broken at spaces; no line may start as a request does.
std::string Lines(const std::string& roff) {
    constexpr std::size_t kWidth = 80;
    std::string lines;
    const auto add = [&lines](std::string line) {
        if (line.starts_with('.') || line.starts_with('\'')) {
            line.insert(0, "\\&");
        }
        lines += line + '\n';
    };
    std::istringstream input(roff);
    for (std::string line; std::getline(input, line);) {
        for (std::size_t space = line.rfind(' ', kWidth);
             line.size() > kWidth && space != std::string::npos; space = line.rfind(' ', kWidth)) {
            add(line.substr(0, space));
            line.erase(0, space + 1);
        }
        add(line);
    }
    return lines;
}

std::string OptionHead(const OptionHelp& option) {
    std::string head;
    if (!option.alias.empty()) {
        head += "\\fB" + Roff(option.alias) + "\\fR, ";
    }
    head += "\\fB" + Roff(option.name) + "\\fR";
    if (!option.valueName.empty()) {
        head += " \\fI" + Roff(option.valueName) + "\\fR";
    }
    return head;
}

std::string Manual() {
    std::string page = ".TH ARBOLITH-RENDER 1 " ARBOLITH_RELEASE_DATE
                       " \"Arbolith " ARBOLITH_VERSION "\" \"User Commands\"\n"
                       ".SH NAME\n"
                       "arbolith-render \\- draw random three-dimensional trees to PNG, SVG or "
                       "PDF files,\nor write them in 3\\-D as glTF or OBJ\n"
                       ".SH SYNOPSIS\n"
                       ".B arbolith-render\n" +
                       Lines(Roff(kUsage)) + ".SH DESCRIPTION\n" + Lines(Roff(kAbout)) +
                       ".SH OPTIONS\n";
    for (const OptionHelp& option : DescribeOptions()) {
        page += ".TP\n" + OptionHead(option) + '\n' + Lines(Roff(option.text));
    }
    page += ".SH EXIT STATUS\n";
    for (const ExitStatusHelp& code : kExitStatuses) {
        page += ".TP\n.B " + std::to_string(code.status) + '\n' + Lines(Roff(code.meaning));
    }
    page += ".SH EXAMPLES\n"
            "Draw the example tree of this second, then the same tree again as SVG:\n"
            ".PP\n"
            ".EX\n"
            "arbolith\\-render \\-o tree.png\n"
            "arbolith\\-render \\-\\-time SECOND \\-o tree.svg\n"
            ".EE\n"
            ".PP\n"
            "Ten trees of ten consecutive seconds, five levels each:\n"
            ".PP\n"
            ".EX\n"
            "arbolith\\-render \\-\\-levels 5 \\-\\-count 10 \\-o 'tree\\-{n}.png'\n"
            ".EE\n"
            ".SH SEE ALSO\n"
            ".BR arbolith (1)\n";
    return page;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: arbolith_make_manual FILE\n");
        return 2;
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << Manual();
    file.close();
    if (!file) {
        std::fprintf(stderr, "arbolith_make_manual: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
