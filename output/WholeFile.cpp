#include "output/WholeFile.h"

#include "mesh/ObjWriter.h"
#include "render/OutputFile.h"

namespace arbolith {

namespace {

WriteResult WriteLibrary(const ByteSink& sink, const PreparedFile&) {
    return WriteMaterialLibrary(sink) ? WriteResult{} : WriteResult{WriteOutcome::Failed};
}

// An OBJ and its material library are one output, written whole or not at all: the library goes
// beside the file the OBJ replaces, links followed, under the name MaterialLibraryPath gives it
// there, which the OBJ names. An OBJ to a stream (standard output, a device, a FIFO) is written
// alone and names no library, since nothing is made beside a stream.
TreeFileResult WriteObjFiles(const std::string& path, const TreeOrder& order,
                             WriteSettings settings) {
    TreeFileResult result;
    const Destination destination = FindDestination(path);
    if (destination.kind != Destination::Kind::File) {
        settings.materialLibrary.clear();
        static_cast<WriteResult&>(result) =
            WriteWhole(path, [&](const ByteSink& sink, const PreparedFile&) {
                return WriteTree(Format::Obj, order, sink, settings);
            });
        result.failedFile = path;
        return result;
    }
    const std::string libraryPath = MaterialLibraryPath(destination.path);
    // The OBJ names its library as it lies beside it, without a folder.
    const std::size_t slash = libraryPath.rfind('/');
    settings.materialLibrary =
        slash == std::string::npos ? libraryPath : libraryPath.substr(slash + 1);
    const OutputResult written = WriteWhole({
        {destination.path,
         [&](const ByteSink& sink, const PreparedFile&) {
             return WriteTree(Format::Obj, order, sink, settings);
         }},
        {libraryPath, &WriteLibrary},
    });
    static_cast<WriteResult&>(result) = written.result;
    result.failedFile = written.part == 0 ? path : libraryPath;
    return result;
}

} // namespace

TreeFileResult WriteTreeFile(const std::string& path, Format format, const TreeOrder& order,
                             WriteSettings settings) {
    if (format == Format::Obj) {
        return WriteObjFiles(path, order, settings);
    }
    TreeFileResult result;
    static_cast<WriteResult&>(result) =
        WriteWhole(path, [&](const ByteSink& sink, const PreparedFile& file) {
            WriteSettings onFile = settings;
            onFile.file = &file;
            return WriteTree(format, order, sink, onFile);
        });
    result.failedFile = path;
    return result;
}

WriteResult WriteParameterFile(const std::string& path, const ParameterSet& set) {
    const std::string text = ParameterText(set);
    return WriteWhole(path, [&text](const ByteSink& sink, const PreparedFile&) {
        return sink(text.data(), text.size()) ? WriteResult{} : WriteResult{WriteOutcome::Failed};
    });
}

} // namespace arbolith
