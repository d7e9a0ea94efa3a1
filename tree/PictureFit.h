#pragma once

#include <optional>

#include "tree/Placement.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

// The pixels a picture covers, right and bottom exclusive; empty when it draws nothing.
struct PictureBox {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

// The box of the order's picture, drawn at its own placement; none if the monitor stopped the run.
std::optional<PictureBox> MeasurePicture(const TreeOrder& order, RunMonitor* monitor = nullptr);

// The placement that shows the box, drawn at the identity, as large as a picture of
// width x height has room for with a margin round it, in its middle; never larger than
// kLargestScale, and the identity for an empty box.
Placement FitPlacement(const PictureBox& box, int width, int height);

} // namespace arbolith
