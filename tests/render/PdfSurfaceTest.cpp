// The PDF surface read back as a reader would: the cross-reference table, each stream's length,
// the compressed content, and a path for every polygon that shows, in drawing order.
#include <gtest/gtest.h>

#include <libdeflate.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "render/PdfSurface.h"
#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"

namespace arbolith {
namespace {

struct Path {
    std::vector<SurfacePoint> corners;
    std::string paint; // "b" (winding) or "b*" (alternate)
};

// A PDF checked for its structure, with its page content as paths.
struct ReadPdf {
    std::size_t contentObjects = 0;
    std::vector<Path> paths;
    std::vector<double> farCorners; // coordinates of paths that are not whole numbers
};

std::size_t NumberAt(const std::string& text, std::size_t at) {
    return static_cast<std::size_t>(std::strtoull(text.c_str() + at, nullptr, 10));
}

std::string Inflate(const std::string& compressed) {
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    std::string out(compressed.size() * 8 + 1024, '\0');
    for (;;) {
        std::size_t size = 0;
        const libdeflate_result result = libdeflate_zlib_decompress(
            decompressor, compressed.data(), compressed.size(), out.data(), out.size(), &size);
        if (result == LIBDEFLATE_INSUFFICIENT_SPACE) {
            out.resize(out.size() * 2);
            continue;
        }
        libdeflate_free_decompressor(decompressor);
        EXPECT_EQ(result, LIBDEFLATE_SUCCESS);
        out.resize(result == LIBDEFLATE_SUCCESS ? size : 0);
        return out;
    }
}

void ReadContent(const std::string& content, ReadPdf& pdf) {
    std::istringstream words(content);
    std::vector<double> numbers;
    Path path;
    std::string word;
    while (words >> word) {
        if (word == "m" || word == "l") {
            EXPECT_EQ(word == "m", path.corners.empty());
            const double x = numbers.at(numbers.size() - 2);
            const double y = numbers.back();
            if (x != static_cast<std::int32_t>(x) || y != static_cast<std::int32_t>(y)) {
                pdf.farCorners.push_back(x);
                pdf.farCorners.push_back(y);
            }
            path.corners.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
            numbers.clear();
        } else if (word == "b" || word == "b*") {
            path.paint = word;
            pdf.paths.push_back(path);
            path = {};
        } else if (word.find_first_not_of("0123456789.-") == std::string::npos) {
            numbers.push_back(std::stod(word));
        } else {
            numbers.clear(); // an operator that draws no path: colours, widths, the white ground
        }
    }
    EXPECT_TRUE(path.corners.empty()) << "a path left open";
}

ReadPdf Read(const std::string& pdf) {
    ReadPdf read;
    EXPECT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
    const std::size_t startxref = pdf.rfind("startxref\n");
    EXPECT_NE(startxref, std::string::npos);
    EXPECT_TRUE(pdf.ends_with("\n%%EOF\n"));
    const std::size_t table = NumberAt(pdf, startxref + 10);
    EXPECT_EQ(pdf.compare(table, 7, "xref\n0 "), 0);
    const std::size_t objects = NumberAt(pdf, table + 7);
    const std::size_t entries = pdf.find('\n', table + 5) + 1 + 20; // after the free entry
    std::string content;
    for (std::size_t object = 1; object < objects; ++object) {
        const std::string entry = pdf.substr(entries + (object - 1) * 20, 20);
        EXPECT_TRUE(entry.ends_with(" 00000 n \n")) << entry;
        const std::size_t at = NumberAt(entry, 0);
        const std::string head = std::to_string(object) + " 0 obj\n";
        if (pdf.compare(at, head.size(), head) != 0) {
            ADD_FAILURE() << "object " << object << " is not where the table says";
            return read;
        }
        const std::size_t body = at + head.size();
        if (pdf.compare(body, 11, "<< /Length ") != 0) {
            continue;
        }
        const std::size_t length = NumberAt(pdf, body + 11);
        const std::size_t data = pdf.find("stream\n", body) + 7;
        EXPECT_EQ(pdf.compare(data + length, 18, "\nendstream\nendobj\n"), 0);
        content += Inflate(pdf.substr(data, length));
        ++read.contentObjects;
    }
    EXPECT_NE(pdf.find("/Contents ["), std::string::npos);
    ReadContent(content, read);
    return read;
}

std::string Bytes(const std::function<void(PdfSurface&)>& draw, int width, int height) {
    std::string bytes;
    // The surface keeps the sink it is given, so the sink outlives it.
    const ByteSink sink = [&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    };
    PdfSurface surface(sink, width, height);
    draw(surface);
    EXPECT_TRUE(surface.Finish());
    return bytes;
}

TEST(PdfSurfaceTest, HoldsEveryPolygonOnThePageInDrawingOrderAcrossContentPieces) {
    TreeOrder tree{kExampleTree, 1000000006};
    tree.parameters.levels = 8;
    tree.path = GrowthPath::Literal;
    RecordingSurface recording(false);
    DrawTree(recording, tree);

    const ReadPdf pdf = Read(Bytes([&](PdfSurface& s) { DrawTree(s, tree); }, 560, 670));
    EXPECT_GT(pdf.contentObjects, 1u) << "a large tree's content comes in several pieces";
    std::vector<Path> expected;
    for (const auto& corners : recording.Polygons()) {
        bool onPage = false;
        for (const SurfacePoint& corner : corners) {
            onPage =
                onPage || (corner.x >= -1 && corner.x <= 560 && corner.y >= -1 && corner.y <= 670);
        }
        if (onPage) {
            expected.push_back({corners, "b"});
        }
    }
    ASSERT_EQ(pdf.paths.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(pdf.paths[i].corners, expected[i].corners) << "polygon " << i;
        ASSERT_EQ(pdf.paths[i].paint, "b");
    }
}

TEST(PdfSurfaceTest, CutsFarPolygonsToAMarginAndLeavesOutWhatCannotShow) {
    const ReadPdf pdf = Read(Bytes(
        [](PdfSurface& s) {
            s.SelectObject(s.CreatePen(PenStyle::Solid, 1, {0, 0, 0}));
            s.SelectObject(s.CreateSolidBrush({141, 105, 20}));
            s.SetPolyFillMode(PolyFillMode::Alternate);
            const SurfacePoint off[] = {{-50, -50}, {-10, -50}, {-10, -10}};
            s.Polygon(off, 3);
            const SurfacePoint far[] = {{10, 10}, {2147483647, 20}, {20, -2147483647 - 1}};
            s.Polygon(far, 3);
            const SurfacePoint near[] = {{0, 0}, {99, 0}, {99, 99}, {0, 99}};
            s.Polygon(near, 4);
        },
        100, 100));
    ASSERT_EQ(pdf.paths.size(), 2u) << "the polygon off the page is left out";
    EXPECT_EQ(pdf.paths[0].paint, "b*");
    EXPECT_GE(pdf.paths[0].corners.size(), 3u);
    for (const SurfacePoint& corner : pdf.paths[0].corners) {
        EXPECT_LE(std::abs(static_cast<std::int64_t>(corner.x)), 100 + 65536);
        EXPECT_LE(std::abs(static_cast<std::int64_t>(corner.y)), 100 + 65536);
    }
    EXPECT_NE(
        std::find(pdf.paths[0].corners.begin(), pdf.paths[0].corners.end(), SurfacePoint{10, 10}),
        pdf.paths[0].corners.end())
        << "the corner on the page is kept";
    EXPECT_EQ(pdf.paths[1].corners,
              (std::vector<SurfacePoint>{{0, 0}, {99, 0}, {99, 99}, {0, 99}}));
}

} // namespace
} // namespace arbolith
