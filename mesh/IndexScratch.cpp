#include "mesh/IndexScratch.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace arbolith {

namespace {

// What a record starts with, if not the number of a remembered kind.
constexpr std::uint8_t kNewKind = 0xFE;
constexpr std::uint8_t kRaw = 0xFF;

} // namespace

// Reads the scratch file back from its start, a chunk at a time.
class IndexScratch::Reader {
public:
    explicit Reader(std::FILE* file) : file_(file), buffer_(ChunkedSink::kChunk) {}

    // Copies the next `size` bytes out; false at the end or on a failure.
    bool Take(void* data, std::size_t size) {
        if (end_ - at_ < size && !Refill(size)) {
            return false;
        }
        std::memcpy(data, buffer_.data() + at_, size);
        at_ += size;
        return true;
    }
    template <typename Value> bool Take(Value& value) { return Take(&value, sizeof(value)); }
    bool AtEnd() { return at_ == end_ && !Refill(1); }
    bool Failed() const { return std::ferror(file_) != 0; }

private:
    bool Refill(std::size_t size) {
        std::memmove(buffer_.data(), buffer_.data() + at_, end_ - at_);
        end_ -= at_;
        at_ = 0;
        end_ += std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        return end_ >= size;
    }

    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
};

bool IndexScratch::Kind::operator==(const Kind& other) const {
    return vertices == other.vertices && triangles == other.triangles &&
           std::memcmp(steps.data(), other.steps.data(), 3u * triangles) == 0;
}

IndexScratch::IndexScratch(std::FILE* file)
    : file_(file), toFile_([this](const void* data, std::size_t size) {
          if (std::fwrite(data, 1, size, file_) == size) {
              return true;
          }
          error_ = errno;
          return false;
      }),
      out_(toFile_) {}

bool IndexScratch::KindOf(std::uint64_t newVertices, std::span<const MeshTriangle> triangles,
                          Kind& kind) {
    if (newVertices > 0xFF || triangles.size() > kMostTriangles) {
        return false;
    }
    kind.vertices = static_cast<std::uint8_t>(newVertices);
    kind.triangles = static_cast<std::uint8_t>(triangles.size());
    // Each step plus 128 is below 256 if it fits in a byte; one behind the first wraps round.
    const std::uint64_t below = vertices_ - meshBase_ - 128;
    std::uint64_t outside = 0;
    std::int8_t* step = kind.steps.data();
    for (const MeshTriangle& t : triangles) {
        const std::uint64_t a = t.a - below;
        const std::uint64_t b = t.b - below;
        const std::uint64_t c = t.c - below;
        outside |= (a | b | c) >> 8;
        step[0] = static_cast<std::int8_t>(static_cast<int>(a) - 128);
        step[1] = static_cast<std::int8_t>(static_cast<int>(b) - 128);
        step[2] = static_cast<std::int8_t>(static_cast<int>(c) - 128);
        step += 3;
    }
    return outside == 0;
}

void IndexScratch::Remember(const Kind& kind) {
    kinds_[kindsSeen_++ % kKinds] = kind;
}

void IndexScratch::Add(std::uint64_t newVertices, std::span<const MeshTriangle> triangles) {
    Kind& kind = candidate_;
    if (!KindOf(newVertices, triangles, kind)) {
        out_.Put(static_cast<char>(kRaw));
        const std::uint64_t counts[2] = {newVertices, triangles.size()};
        out_.Put(counts, sizeof(counts));
        for (const MeshTriangle& t : triangles) {
            const std::uint32_t indices[3] = {static_cast<std::uint32_t>(meshBase_ + t.a),
                                              static_cast<std::uint32_t>(meshBase_ + t.b),
                                              static_cast<std::uint32_t>(meshBase_ + t.c)};
            out_.Put(indices, sizeof(indices));
        }
    } else {
        const auto remembered = kinds_.begin() + std::min(kindsSeen_, kKinds);
        const auto known = std::find(kinds_.begin(), remembered, kind);
        if (known != remembered) {
            out_.Put(static_cast<char>(known - kinds_.begin()));
        } else {
            out_.Put(static_cast<char>(kNewKind));
            out_.Put(&kind.vertices, 2);
            out_.Put(kind.steps.data(), 3u * kind.triangles);
            Remember(kind);
        }
    }
    vertices_ += newVertices;
}

bool IndexScratch::AppendTo(const ByteSink& sink, std::span<const IndexRun> runs) {
    if (!out_.Flush() || std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        error_ = error_ != 0 ? error_ : errno;
        return false;
    }
    ChunkedSink narrow(sink);
    IndexRuns widths(narrow, runs);
    Reader in(file_);
    // Whole pieces are decoded into this before it is handed on.
    constexpr std::size_t kRoom = ChunkedSink::kChunk / sizeof(std::uint32_t);
    static_assert(kRoom >= 3 * kMostTriangles);
    const std::unique_ptr<std::uint32_t[]> indices(new std::uint32_t[kRoom]);
    std::size_t count = 0;
    const auto handOn = [&] {
        widths.Put(indices.get(), count);
        count = 0;
        return !narrow.Failed();
    };
    // The pieces again, from the first.
    std::uint64_t first = 0;
    kindsSeen_ = 0;
    for (std::uint8_t record = 0; !in.AtEnd() && in.Take(record);) {
        if (count + 3 * kMostTriangles > kRoom && !handOn()) {
            return false;
        }
        if (record == kRaw) {
            std::uint64_t counts[2] = {};
            in.Take(counts, sizeof(counts));
            for (std::uint64_t i = 0; i < 3 * counts[1]; ++i) {
                if ((count == kRoom && !handOn()) || !in.Take(indices[count])) {
                    return false;
                }
                ++count;
            }
            first += counts[0];
            continue;
        }
        const Kind* kind = nullptr;
        if (record == kNewKind) {
            Kind& added = kinds_[kindsSeen_++ % kKinds];
            in.Take(&added.vertices, 2);
            in.Take(added.steps.data(), 3u * added.triangles);
            kind = &added;
        } else if (record < kKinds) {
            kind = &kinds_[record];
        } else {
            error_ = EIO;
            return false;
        }
        std::uint32_t* const out = indices.get() + count;
        for (std::size_t i = 0; i < 3u * kind->triangles; ++i) {
            out[i] = static_cast<std::uint32_t>(first + static_cast<std::uint64_t>(kind->steps[i]));
        }
        count += 3u * kind->triangles;
        first += kind->vertices;
    }
    if (in.Failed()) {
        error_ = errno;
        return false;
    }
    return handOn() && narrow.Flush();
}

void IndexRuns::Put(const std::uint32_t* indices, std::size_t count) {
    // Room for a block of indices in their widths.
    constexpr std::size_t kBlock = 1024;
    std::array<std::uint16_t, kBlock> words;
    std::array<std::uint8_t, kBlock> bytes;
    while (count > 0 && run_ < runs_.size()) {
        const IndexRun& run = runs_[run_];
        const std::size_t block =
            static_cast<std::size_t>(std::min<std::uint64_t>({count, run.indices - done_, kBlock}));
        const std::uint32_t first = static_cast<std::uint32_t>(run.firstVertex);
        if (run.bytesPerIndex == 1) {
            for (std::size_t i = 0; i < block; ++i) {
                bytes[i] = static_cast<std::uint8_t>(indices[i] - first);
            }
            out_.Put(bytes.data(), block);
        } else {
            for (std::size_t i = 0; i < block; ++i) {
                words[i] = static_cast<std::uint16_t>(indices[i] - first);
            }
            out_.Put(words.data(), block * sizeof(std::uint16_t));
        }
        indices += block;
        count -= block;
        done_ += block;
        if (done_ == run.indices) {
            const std::uint64_t padding = (4 - run.indices * run.bytesPerIndex % 4) % 4;
            out_.Put(std::array<char, 4>{}.data(), padding);
            ++run_;
            done_ = 0;
        }
    }
}

} // namespace arbolith
