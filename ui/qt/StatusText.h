#pragma once

#include <QString>

namespace arbolith {

class TreeDrawing;

// What the status line says of the tree on the canvas: how far its run has got, or which tree it
// shows and the arbolith-render command that draws it again.
QString DrawingStatus(const TreeDrawing& drawing);

} // namespace arbolith
