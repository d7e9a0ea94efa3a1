#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <vector>

#include "surface/DrawingSurface.h"

namespace arbolith::testing {

// The corners of every <polygon> in an SVG document, in document order.
inline std::vector<std::vector<SurfacePoint>> SvgPolygons(const QByteArray& svg) {
    std::vector<std::vector<SurfacePoint>> polygons;
    static const QRegularExpression element(R"re(<polygon points="([^"]*)"/>)re");
    static const QRegularExpression point(R"re((-?\d+),(-?\d+))re");
    for (auto match = element.globalMatch(QString::fromUtf8(svg)); match.hasNext();) {
        std::vector<SurfacePoint>& corners = polygons.emplace_back();
        const QString points = match.next().captured(1);
        for (auto p = point.globalMatch(points); p.hasNext();) {
            const auto pair = p.next();
            corners.push_back({pair.captured(1).toInt(), pair.captured(2).toInt()});
        }
    }
    return polygons;
}

} // namespace arbolith::testing
