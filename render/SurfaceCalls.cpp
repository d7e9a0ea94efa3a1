#include "render/SurfaceCalls.h"

#include <algorithm>
#include <utility>

namespace arbolith {

namespace {

// Each call is its code and its arguments, in pairs of words: the code with its first argument,
// then the others two by two, the last pair filled with 0 where they are odd in number. A
// polygon's or a block's corners follow their count, a pair each.
enum Code : std::int32_t {
    kFillRectWhite = 1, // left; top, right; bottom
    kCreatePen,         // style; width, colour; the handle given
    kCreateSolidBrush,  // colour; the handle given
    kSetPolyFillMode,   // mode
    kSelectObject,      // the handle selected; the handle it replaced
    kPolygon,           // corners; each corner
    kDeleteObject,      // handle
    kQuadrilaterals,    // quadrilaterals; each one's four corners
};

// The pairs each call takes, its code's included, but for the corners.
constexpr std::size_t kPairs[] = {0, 3, 3, 2, 1, 2, 1, 1, 1};

// Handles a CallWriter gives count up from a few hundred, so a word holds them.
std::int32_t Word(SurfaceObject handle) {
    return static_cast<std::int32_t>(handle);
}

std::int32_t Word(Rgb colour) {
    return colour.red << 16 | colour.green << 8 | colour.blue;
}

Rgb Colour(std::int32_t word) {
    return {static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
            static_cast<std::uint8_t>(word)};
}

// A block's count is one word; a writer never gathers a block this large.
constexpr std::size_t kMostQuadrilateralsACall = std::size_t{1} << 24;

} // namespace

CallWriter::CallWriter(Send send, std::size_t branchesABlock)
    : send_(std::move(send)), branchesABlock_(branchesABlock) {}

void CallWriter::Write(std::initializer_list<std::int32_t> words) {
    const std::int32_t* word = words.begin();
    for (; word + 1 < words.end(); word += 2) {
        block_.push_back({word[0], word[1]});
    }
    if (word != words.end()) {
        block_.push_back({word[0], 0});
    }
}

void CallWriter::FillRectWhite(const SurfaceRect& rect) {
    Write({kFillRectWhite, rect.left, rect.top, rect.right, rect.bottom});
}

SurfaceObject CallWriter::CreatePen(PenStyle style, int width, Rgb colour) {
    const SurfaceObject pen = ObjectSurface::CreatePen(style, width, colour);
    Write({kCreatePen, static_cast<std::int32_t>(style), width, Word(colour), Word(pen)});
    return pen;
}

SurfaceObject CallWriter::CreateSolidBrush(Rgb colour) {
    const SurfaceObject brush = ObjectSurface::CreateSolidBrush(colour);
    Write({kCreateSolidBrush, Word(colour), Word(brush)});
    return brush;
}

void CallWriter::SetPolyFillMode(PolyFillMode mode) {
    ObjectSurface::SetPolyFillMode(mode);
    Write({kSetPolyFillMode, static_cast<std::int32_t>(mode)});
}

SurfaceObject CallWriter::SelectObject(SurfaceObject object) {
    const SurfaceObject replaced = ObjectSurface::SelectObject(object);
    Write({kSelectObject, Word(object), Word(replaced)});
    return replaced;
}

void CallWriter::Polygon(const SurfacePoint* points, int count) {
    // A polygon of no corners draws nothing, as one of fewer does.
    const int corners = std::max(count, 0);
    Write({kPolygon, corners});
    block_.insert(block_.end(), points, points + corners);
}

bool CallWriter::DeleteObject(SurfaceObject object) {
    const bool deleted = ObjectSurface::DeleteObject(object);
    Write({kDeleteObject, Word(object)});
    return deleted;
}

void CallWriter::Quadrilaterals(const SurfacePoint* corners, std::size_t count) {
    while (count > 0) {
        const std::size_t part = std::min(count, kMostQuadrilateralsACall);
        Write({kQuadrilaterals, static_cast<std::int32_t>(part)});
        block_.insert(block_.end(), corners, corners + 4 * part);
        branches_ += part;
        corners += 4 * part;
        count -= part;
    }
    if (branches_ >= branchesABlock_) {
        Flush();
    }
}

void CallWriter::Flush() {
    if (block_.empty()) {
        return;
    }
    send_(block_);
    block_.clear();
    branches_ = 0;
    ++blocksSent_;
}

bool CallPlayer::Play(std::span<const SurfacePoint> block) {
    const SurfacePoint* at = block.data();
    const SurfacePoint* const end = at + block.size();
    while (at < end) {
        const std::int32_t code = at->x;
        if (code < kFillRectWhite || code > kQuadrilaterals ||
            static_cast<std::size_t>(end - at) < kPairs[code]) {
            return false;
        }
        const SurfacePoint* const next = at + kPairs[code];
        switch (code) {
        case kFillRectWhite:
            target_.FillRectWhite({at[0].y, at[1].x, at[1].y, at[2].x});
            break;
        case kCreatePen:
            objects_[at[2].x] =
                target_.CreatePen(static_cast<PenStyle>(at[0].y), at[1].x, Colour(at[1].y));
            break;
        case kCreateSolidBrush:
            objects_[at[1].x] = target_.CreateSolidBrush(Colour(at[0].y));
            break;
        case kSetPolyFillMode:
            target_.SetPolyFillMode(static_cast<PolyFillMode>(at[0].y));
            break;
        case kSelectObject: {
            // What the target gives back is, on its side, what the writer gave back on its own:
            // the stock objects, which no call creates, become known so.
            const SurfaceObject replaced = target_.SelectObject(Target(at[0].y));
            if (replaced != 0) {
                objects_[at[1].x] = replaced;
            }
            break;
        }
        case kDeleteObject:
            target_.DeleteObject(Target(at[0].y));
            objects_.erase(at[0].y);
            break;
        case kPolygon:
        case kQuadrilaterals: {
            const std::int32_t count = at[0].y;
            const std::size_t cornersEach = code == kPolygon ? 1 : 4;
            // Divided, not multiplied, so that no count wraps round where sizes are 32 bits.
            if (count < 0 || static_cast<std::size_t>(end - next) / cornersEach <
                                 static_cast<std::size_t>(count)) {
                return false;
            }
            const std::size_t corners = static_cast<std::size_t>(count) * cornersEach;
            if (code == kPolygon) {
                target_.Polygon(next, count);
                ++polygons_;
            } else {
                target_.Quadrilaterals(next, static_cast<std::size_t>(count));
                polygons_ += static_cast<std::size_t>(count);
            }
            at = next + corners;
            continue;
        }
        }
        at = next;
    }
    return true;
}

SurfaceObject CallPlayer::Target(std::int32_t handle) const {
    const auto found = objects_.find(handle);
    return found != objects_.end() ? found->second : 0;
}

} // namespace arbolith
