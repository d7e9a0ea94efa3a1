#include "render/ObjFiles.h"

#include "render/ObjWriter.h"

namespace arbolith {

WriteResult WriteObjFiles(const std::string& path, const WriteObjContent& writeObj,
                          std::string& failed) {
    const Destination destination = FindDestination(path);
    if (destination.kind != Destination::Kind::File) {
        failed = path;
        return WriteWhole(path, [&](const ByteSink& sink) { return writeObj(sink, {}); });
    }
    const std::string libraryPath = MaterialLibraryPath(destination.path);
    // The OBJ names its library as it lies beside it, without a folder.
    const std::size_t slash = libraryPath.rfind('/');
    const std::string library =
        slash == std::string::npos ? libraryPath : libraryPath.substr(slash + 1);
    const OutputResult written = WriteWhole({
        {destination.path,
         [&](const ByteSink& sink) {
             return writeObj(sink, library);
         }},
        {libraryPath,
         [](const ByteSink& sink) {
             return WriteMaterialLibrary(sink)
                        ? WriteResult{}
                        : WriteResult{WriteOutcome::Failed, "the file took no more bytes"};
         }},
    });
    failed = written.part == 0 ? path : libraryPath;
    return written.result;
}

} // namespace arbolith
