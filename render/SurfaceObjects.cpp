#include "render/SurfaceObjects.h"

namespace arbolith {

SurfaceObject SurfaceObjects::CreatePen(PenStyle style, int width, Rgb colour) {
    const SurfaceObject handle = nextHandle_++;
    objects_.emplace(handle, Pen{style, width, colour});
    return handle;
}

SurfaceObject SurfaceObjects::CreateBrush(Rgb colour) {
    const SurfaceObject handle = nextHandle_++;
    objects_.emplace(handle, Brush{colour});
    return handle;
}

SurfaceObject SurfaceObjects::Select(SurfaceObject object) {
    const auto found = objects_.find(object);
    if (found == objects_.end()) {
        return 0;
    }
    SurfaceObject& slot =
        std::holds_alternative<Pen>(found->second) ? selectedPen_ : selectedBrush_;
    const SurfaceObject replaced = slot;
    slot = object;
    return replaced;
}

bool SurfaceObjects::Delete(SurfaceObject object) {
    if (object == kStockPen || object == kStockBrush || object == selectedPen_ ||
        object == selectedBrush_) {
        return false;
    }
    return objects_.erase(object) == 1;
}

const SurfaceObjects::Pen& SurfaceObjects::SelectedPen() const {
    return std::get<Pen>(objects_.at(selectedPen_));
}

const SurfaceObjects::Brush& SurfaceObjects::SelectedBrush() const {
    return std::get<Brush>(objects_.at(selectedBrush_));
}

} // namespace arbolith
