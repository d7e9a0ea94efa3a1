#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>

#include "tree/TreeParameters.h"
#include "ui/qt/TreeDialog.h"

// Readable failure messages for the Qt values the tests compare.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QImage& image, std::ostream* out) {
    *out << "image " << image.width() << "x" << image.height();
}
inline void PrintTo(const QRect& r, std::ostream* out) {
    *out << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace arbolith::testing {

QLineEdit* Field(const TreeDialog& dialog, int id);
QPushButton* Button(const TreeDialog& dialog, int id);
// Replaces a field's text by typing, as a user would.
void Type(QLineEdit* field, const QString& text);
// Types the twelve values of these parameters into the fields.
void TypeParameters(const TreeDialog& dialog, const TreeParameters& parameters);
// Waits, with a generous deadline, until no run is going; false if it never ended.
bool WaitForRunEnd(const TreeDialog& dialog);
// Waits until the canvas shows the whole tree of these values (and this second, where given),
// however its run was started.
bool WaitForTree(const TreeDialog& dialog, const TreeParameters& parameters,
                 std::optional<std::uint32_t> second = std::nullopt);
// What the status line says.
QString StatusText(const TreeDialog& dialog);
// The canvas as it appears on the screen, border excluded, at one device pixel per pixel.
QImage CanvasPixels(const TreeDialog& dialog);
// The renderer's image of the tree of this second, the canvas's size.
QImage ReferencePixels(const TreeParameters& parameters, std::uint32_t second);
// The same for the first `polygons` polygons of that tree only.
QImage PartialReferencePixels(const TreeParameters& parameters, std::uint32_t second,
                              std::uint64_t polygons);
// A small tree that draws in a moment.
TreeParameters SmallTree();
// A tree that would take days: two limbs per fork over 41 generations, 4.4e12 branches.
TreeParameters EndlessTree();

} // namespace arbolith::testing
