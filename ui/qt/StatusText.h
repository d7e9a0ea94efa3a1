#pragma once

#include <QString>

namespace arbolith {

class TreeDrawing;

// A message as the window shows it, whatever it quotes (a file's name, a line of a file): made
// printable as every front end's messages are (values/MessageText.h), one line, nothing hidden
// and nothing reordered.
QString PrintableText(const QString& text);

// What the status line says of the tree on the canvas: how far its run has got, or which tree it
// shows and the arbolith-render command that draws it again.
QString DrawingStatus(const TreeDrawing& drawing);

} // namespace arbolith
