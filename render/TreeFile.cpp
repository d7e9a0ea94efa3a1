#include "render/TreeFile.h"

#include "render/ObjWriter.h"
#include "render/OutputFile.h"

namespace arbolith {

namespace {

std::string FileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

TreeFileResult WriteTreeFile(const std::string& path, Format format, const TreeOrder& order,
                             WriteSettings settings) {
    const bool obj = format == Format::Obj;
    if (obj) {
        settings.materialLibrary = FileName(MaterialLibraryPath(path));
    }
    TreeFileResult result;
    static_cast<WriteResult&>(result) = WriteWhole(
        path, [&](const ByteSink& sink) { return WriteTree(format, order, sink, settings); });
    if (result.outcome != WriteOutcome::Written) {
        result.failedFile = path;
        return result;
    }
    if (obj) {
        const std::string library = MaterialLibraryPath(path);
        const WriteResult written = WriteWhole(library, [](const ByteSink& sink) {
            return WriteResult{WriteMaterialLibrary(sink) ? WriteOutcome::Written
                                                          : WriteOutcome::Failed};
        });
        if (written.outcome != WriteOutcome::Written) {
            result.outcome = written.outcome;
            result.reason = written.reason;
            result.failedFile = library;
        }
    }
    return result;
}

} // namespace arbolith
