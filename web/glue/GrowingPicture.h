#pragma once

#include <cstdint>
#include <vector>

#include "render/PixelImage.h"
#include "tree/TreePainter.h"

namespace arbolith::web {

// Shows the growing tree every so often, and once more at the end: the picture at a poll holds
// exactly the polygons counted, so a run stopped there is the tree with that branch limit.
class GrowingPicture final : public RunMonitor {
public:
    explicit GrowingPicture(const PixelImage& image);
    bool KeepGoing(std::uint64_t polygonsDrawn) override;

    // Hands the picture to the page as RGBA, which is what a canvas takes.
    void Show(std::uint64_t drawn);

private:
    static constexpr double kIntervalMilliseconds = 100;
    const PixelImage& image_;
    std::vector<std::uint8_t> rgba_;
    double shown_;
};

} // namespace arbolith::web
