#pragma once

#include <cstdint>

#include <QImage>
#include <QSize>
#include <QString>

#include "tree/TreeParameters.h"
#include "tree/ViewTurn.h"
#include "ui/qt/GuardedSurface.h"

namespace arbolith {

// What a saved picture holds: the tree of one clock second, and how many of its polygons the
// canvas shows (all of them unless its run was stopped).
struct TreeRecord {
    TreeParameters parameters;
    std::uint32_t second = 0;
    std::uint64_t polygonLimit = RunControl::kNoLimit;
    // The side the picture shows it from; a 3-D file holds the tree itself.
    ViewAngles view;
};

// Writes the picture as PNG, or as SVG when the name ends in ".svg": the same tree drawn again
// for the same second through the SVG writer, one polygon per branch; or the tree in 3-D, as
// glTF when the name ends in ".glb" and as OBJ with its material library beside it for ".obj".
// Each file is written whole or not at all. Returns an empty text on success, else why it
// failed. All but PNG run the process-wide generator, so no other run may be going; `control`,
// if given, can stop them.
QString SavePicture(const QString& path, const QImage& picture, const TreeRecord& tree,
                    RunControl* control = nullptr);

bool IsSvgPath(const QString& path);
bool IsModelPath(const QString& path);

} // namespace arbolith
