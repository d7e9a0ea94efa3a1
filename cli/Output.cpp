#include "cli/Output.h"

#include <cstdio>

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

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

DrawResult WriteFileWhole(const std::string& path, const DrawFunction& draw) {
    QSaveFile file(QFile::decodeName(path.c_str()));
    // Never fall back to writing over the file itself where no temporary file can be made.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return {DrawResult::Failed, file.errorString().toStdString()};
    }
    const DrawResult result = draw(file);
    if (result.outcome != DrawResult::Done) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        return {DrawResult::Failed, file.errorString().toStdString()};
    }
    return result;
}

DrawResult WriteStandardOutput(const DrawFunction& draw) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const DrawResult result = draw(buffer);
    if (result.outcome != DrawResult::Done) {
        return result;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(buffer.data()) != buffer.size() ||
        !out.flush()) {
        return {DrawResult::Failed, out.errorString().toStdString()};
    }
    return result;
}

} // namespace arbolith::cli
