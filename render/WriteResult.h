#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace arbolith {

enum class WriteOutcome { Written, Stopped, Failed };

// What a 3-D file holds.
struct MeshCounts {
    std::uint64_t branches = 0; // branches written as solids
    std::uint64_t leftOut = 0;  // branches whose corners lie beyond a float's range
    std::uint64_t vertices = 0;
    std::uint64_t triangles = 0;
};

// How writing a tree, or any file, ended.
struct WriteResult {
    WriteResult() = default;
    WriteResult(WriteOutcome outcome_, std::string reason_ = {}, MeshCounts mesh_ = {})
        : outcome(outcome_), reason(std::move(reason_)), mesh(mesh_) {}

    WriteOutcome outcome = WriteOutcome::Written;
    // Why it failed, in the system's words where it has them ("No space left on device"); empty
    // when the sink gave up by itself, whose owner knows why.
    std::string reason;
    // What a 3-D file holds; nothing for a picture. With levels of detail, the first level's, and
    // the next levels' after.
    MeshCounts mesh;
    std::vector<MeshCounts> lesserDetails;
    // Bytes that went straight to a stream (standard output, a device, a FIFO), which cannot
    // take them back: there even when the writing stopped or failed.
    std::uint64_t streamed = 0;
};

} // namespace arbolith
