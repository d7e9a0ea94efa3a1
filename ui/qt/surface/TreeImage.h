#pragma once

#include <QImage>
#include <QSize>

#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"

namespace arbolith {

// Draws one run's tree into a new image of `size` through a PainterSurface, as the canvas
// shows it. The run whitens its own rectangle; the rest of a larger image is white too, since
// an image has no window colour. The generator reads the clock as the caller has set it (see
// FixedClock). Returns a null image if the monitor stopped the run.
QImage RenderTreeImage(const TreeParameters& parameters, QSize size, RunMonitor* monitor = nullptr,
                       GrowthPath path = GrowthPath::RepeatsOnce);

} // namespace arbolith
