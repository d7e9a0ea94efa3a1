#include "web/glue/SplitRun.h"

#include <emscripten/val.h>

#include "output/Formats.h"

// Defined by the page's side (web/glue/Callbacks.js).
extern "C" void web_calls(const void* data, std::size_t size);

namespace arbolith::web {

GrowingEnd::GrowingEnd(const PageTree& tree)
    : writer_(
          [](std::span<const SurfacePoint> block) { web_calls(block.data(), block.size_bytes()); },
          kBranchesABlock),
      credit_(writer_) {
    run_.emplace(writer_, tree.order, &credit_);
}

int GrowingEnd::Go(double blocks) {
    if (!run_) {
        return static_cast<int>(RunState::Complete);
    }
    // A count beyond any run's blocks, infinity too, lets the run go on to its end.
    constexpr std::uint64_t kUnlimited = std::uint64_t{1} << 62;
    const std::uint64_t allowed = blocks >= static_cast<double>(kUnlimited) ? kUnlimited
                                  : blocks > 0 ? static_cast<std::uint64_t>(blocks)
                                               : 0;
    credit_.until = writer_.BlocksSent() + allowed;
    const RunResult result = run_->Go();
    if (result.paused) {
        return static_cast<int>(RunState::Drawing);
    }
    // The run gives back its pens and brushes as it ends, and those calls go too.
    run_.reset();
    writer_.Flush();
    return static_cast<int>(result.forkLimitReached ? RunState::ForkLimit : RunState::Complete);
}

DrawingEnd::DrawingEnd()
    : image_(kPictureWidth, kPictureHeight), surface_(image_), player_(surface_), growing_(image_) {
}

bool DrawingEnd::Play(const emscripten::val& bytes) {
    const auto size = bytes["length"].as<std::size_t>();
    if (size % sizeof(SurfacePoint) != 0) {
        return false;
    }
    block_.resize(size / sizeof(SurfacePoint));
    emscripten::val(
        emscripten::typed_memory_view(size, reinterpret_cast<std::uint8_t*>(block_.data())))
        .call<void>("set", bytes);
    const bool played = player_.Play(block_);
    growing_.KeepGoing(player_.Polygons());
    return played;
}

void DrawingEnd::Show() {
    growing_.Show(player_.Polygons());
}

} // namespace arbolith::web
