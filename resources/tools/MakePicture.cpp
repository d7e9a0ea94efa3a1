// Draws bitmap 102, the dialog's decorative picture: a sample tree grown by our own core from
// a fixed second, the program's name down the right edge and a credit line at the bottom left,
// black on white, written as a 4-bit bitmap with the standard palette.
//
//   arbolith_make_picture OUTPUT.bmp [SECOND]

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Bmp4.h"
#include "surface/DrawingSurface.h"
#include "tree/DrawingRun.h"

namespace {

constexpr int kWidth = 179;
constexpr int kHeight = 299;
// Any second will do; this one forks into a well-spread crown. Fixed so that the picture can be
// remade byte for byte.
constexpr std::uint32_t kSampleSecond = 1767225603; // 2026-01-01 00:00:03 UTC
constexpr const char* kCaption = "Arbolith generator";
constexpr const char* kCredit = "Arbolith developers, 2026";

// A trunk rising from the lower right, leaning left, its depth growing with every level so
// that the branches grow thinner towards the top.
arbolith::TreeParameters SampleTree() {
    arbolith::TreeParameters tree;
    tree.maxAngleXY = 35;
    tree.maxAngleYZ = 20;
    tree.maxAngleXZ = 20;
    tree.scaleFactor = 0.74;
    tree.limbsDegree = 2;
    tree.referencePoint = {128, 286, -130};
    tree.firstVector = {-52, -66, 24};
    tree.levels = 6;
    return tree;
}

// Paints each branch's polygon black, outline and fill alike; the run's pens, brushes and its
// white background are the bitmap's own business here.
class BlackPolygons final : public arbolith::DrawingSurface {
public:
    explicit BlackPolygons(QPainter& painter) : painter_(painter) {
        painter_.setPen(QPen(Qt::black, 0));
        painter_.setBrush(Qt::black);
    }
    void FillRectWhite(const arbolith::SurfaceRect&) override {}
    arbolith::SurfaceObject CreatePen(arbolith::PenStyle, int, arbolith::Rgb) override { return 1; }
    arbolith::SurfaceObject CreateSolidBrush(arbolith::Rgb) override { return 2; }
    void SetPolyFillMode(arbolith::PolyFillMode) override {}
    arbolith::SurfaceObject SelectObject(arbolith::SurfaceObject) override { return 0; }
    bool DeleteObject(arbolith::SurfaceObject) override { return true; }
    void Polygon(const arbolith::SurfacePoint* points, int count) override {
        QPolygon polygon;
        for (int i = 0; i < count; ++i) {
            polygon << QPoint(points[i].x, points[i].y);
        }
        painter_.drawPolygon(polygon, Qt::WindingFill);
    }

private:
    QPainter& painter_;
};

void DrawTree(QPainter& painter, std::uint32_t second) {
    BlackPolygons surface(painter);
    arbolith::DrawTree(surface, {SampleTree(), second});
}

QFont PlainFont(int pixelSize, bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void DrawCaption(QPainter& painter) {
    painter.save();
    painter.setFont(PlainFont(13, true));
    painter.setPen(Qt::black);
    // Reading from top to bottom along the right edge.
    painter.translate(kWidth - 4, 4);
    painter.rotate(90);
    painter.drawText(QRect(0, 0, kHeight - 8, 14), Qt::AlignLeft | Qt::AlignTop, kCaption);
    painter.restore();
}

void DrawCredit(QPainter& painter) {
    painter.setFont(PlainFont(9, false));
    painter.setPen(Qt::black);
    painter.drawText(QRect(3, kHeight - 13, kWidth - 24, 12), Qt::AlignLeft | Qt::AlignBottom,
                     kCredit);
}

arbolith::IndexedPicture ToBlackAndWhite(const QImage& image) {
    arbolith::IndexedPicture picture{kWidth, kHeight, {}};
    picture.pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool dark = qGray(image.pixel(x, y)) < 128;
            picture.pixels.push_back(dark ? arbolith::kPaletteBlack : arbolith::kPaletteWhite);
        }
    }
    return picture;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp [SECOND]\n", argv[0]);
        return 2;
    }
    // Text needs the font machinery, which needs an application object; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const std::uint32_t second =
        argc == 3 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : kSampleSecond;

    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        DrawTree(painter, second);
        DrawCaption(painter);
        DrawCredit(painter);
    }
    if (!arbolith::WriteFile(argv[1], arbolith::EncodeBmp4(ToBlackAndWhite(image)))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
