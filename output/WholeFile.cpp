#include "output/WholeFile.h"

#include "mesh/ObjWriter.h"
#include "render/OutputFile.h"

namespace arbolith {

namespace {

// Once the whole tree has gone to a stream, which cannot take it back, a stop comes too late:
// the stream was written, and says so.
class StreamMonitor final : public RunMonitor {
public:
    explicit StreamMonitor(RunMonitor* monitor) : monitor_(monitor) {}
    bool KeepGoing(std::uint64_t polygonsDrawn) override {
        return monitor_ == nullptr || monitor_->KeepGoing(polygonsDrawn);
    }
    bool MayFinish() override { return true; }

private:
    RunMonitor* monitor_;
};

// While the output waits on a stream: for as long as the monitor would let it finish.
KeepWaiting WaitingOf(const WriteSettings& settings) {
    return [monitor = settings.monitor] {
        return monitor == nullptr || monitor->MayFinish();
    };
}

WriteResult WriteLibrary(const ByteSink& sink, const PreparedFile&) {
    return WriteMaterialLibrary(sink) ? WriteResult{} : WriteResult{WriteOutcome::Failed};
}

// Writes one file of the tree: a picture, a .glb, or an OBJ to a stream.
TreeFileResult WriteAlone(const std::string& path, Format format, const TreeOrder& order,
                          const WriteSettings& settings) {
    const KeepWaiting keepWaiting = WaitingOf(settings);
    StreamMonitor onStream(settings.monitor);
    TreeFileResult result;
    static_cast<WriteResult&>(result) = WriteWhole(
        path,
        [&](const ByteSink& sink, const PreparedFile& file) {
            WriteSettings written = settings;
            written.file = &file;
            if (!file.rewrite) {
                written.monitor = &onStream;
            }
            return WriteTree(format, order, sink, written);
        },
        keepWaiting);
    result.failedFile = path;
    return result;
}

// An OBJ and its material library are one output, written whole or not at all: the library goes
// beside the file the OBJ replaces, links followed, under the name MaterialLibraryPath gives it
// there, which the OBJ names. An OBJ to a stream (standard output, a device, a FIFO) is written
// alone and names no library, since nothing is made beside a stream.
TreeFileResult WriteObjFiles(const std::string& path, const TreeOrder& order,
                             WriteSettings settings) {
    const Destination destination = FindDestination(path);
    if (destination.kind != Destination::Kind::File) {
        settings.materialLibrary.clear();
        return WriteAlone(path, Format::Obj, order, settings);
    }
    const std::string libraryPath = MaterialLibraryPath(destination.path);
    // The OBJ names its library as it lies beside it, without a folder.
    const std::size_t slash = libraryPath.rfind('/');
    settings.materialLibrary =
        slash == std::string::npos ? libraryPath : libraryPath.substr(slash + 1);
    const OutputResult written = WriteWhole(
        {
            {destination.path,
             [&](const ByteSink& sink, const PreparedFile&) {
                 return WriteTree(Format::Obj, order, sink, settings);
             }},
            {libraryPath, &WriteLibrary},
        },
        WaitingOf(settings));
    TreeFileResult result;
    static_cast<WriteResult&>(result) = written.result;
    result.failedFile = written.part == 0 ? path : libraryPath;
    return result;
}

} // namespace

TreeFileResult WriteTreeFile(const std::string& path, Format format, const TreeOrder& order,
                             WriteSettings settings) {
    return format == Format::Obj ? WriteObjFiles(path, order, std::move(settings))
                                 : WriteAlone(path, format, order, settings);
}

WriteResult WriteParameterFile(const std::string& path, const ParameterSet& set) {
    const std::string text = ParameterText(set);
    return WriteWhole(path, [&text](const ByteSink& sink, const PreparedFile&) {
        return sink(text.data(), text.size()) ? WriteResult{} : WriteResult{WriteOutcome::Failed};
    });
}

} // namespace arbolith
