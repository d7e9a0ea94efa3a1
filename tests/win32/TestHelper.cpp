// What the end-to-end test needs from inside Wine, one command per run:
//   render SECOND XY YZ XZ SCALE LIMBS RX RY RZ VX VY VZ LEVELS OUT.bmp
//       draws the tree of that second into a memory bitmap of the canvas's client size
//   locate
//       prints the visible part of the canvas's client area, the dialog's client area and the
//       centres of the fields and buttons, in screen pixels
//   grid-digests
//       prints the digests of the pixel grid's pictures as the Windows drawing system draws
//       them, as tests/render/GdiGridDigests.inc holds them
//   cover X Y W H UNTIL-FILE
//       keeps a topmost magenta window over that screen area until the file exists, then has
//       the dialog repaint everything

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/render/GdiGrid.h"
#include "tests/win32/GdiGridPicture.h"
#include "tree/DrawingRun.h"
#include "ui/DialogLayout.h"
#include "ui/win32/GdiSurface.h"
#include "ui/win32/HandleOwners.h"

namespace {

using arbolith::TreeParameters;

// The canvas's client area: its window less the one-pixel border.
constexpr int kClientWidth = arbolith::kCanvasWidth - 2;
constexpr int kClientHeight = arbolith::kCanvasHeight - 2;

bool WriteBmp24(const char* path, const void* bottomUpRows, int width, int height) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * height);
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(bottomUpRows, static_cast<std::size_t>(rowBytes), static_cast<std::size_t>(height),
                out);
    return std::fclose(out) == 0;
}

int Render(int argc, char** argv) {
    if (argc != 16) {
        std::fprintf(stderr, "render needs a second, twelve values and a file\n");
        return 2;
    }
    const auto second = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const auto integer = [&](int index) {
        return std::atoi(argv[index]);
    };
    TreeParameters tree{integer(3),
                        integer(4),
                        integer(5),
                        std::strtod(argv[6], nullptr),
                        integer(7),
                        {integer(8), integer(9), integer(10)},
                        {integer(11), integer(12), integer(13)},
                        integer(14)};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kClientWidth;
    info.bmiHeader.biHeight = kClientHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const arbolith::MemoryDC context(nullptr);
    const arbolith::GdiObject<HBITMAP> bitmap(
        CreateDIBSection(context.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (context.Get() == nullptr || bitmap.Get() == nullptr) {
        std::fprintf(stderr, "no memory bitmap\n");
        return 1;
    }
    const arbolith::SelectedObject selection(context.Get(), bitmap.Get());
    {
        arbolith::GdiSurface surface(context.Get());
        arbolith::DrawTree(surface, {tree, second});
    }
    GdiFlush();
    return WriteBmp24(argv[15], bits, kClientWidth, kClientHeight) ? 0 : 1;
}

void PrintCentre(const char* kind, HWND dialog, int id) {
    RECT area{};
    GetWindowRect(GetDlgItem(dialog, id), &area);
    std::printf("%s %d %ld %ld\n", kind, id, (area.left + area.right) / 2,
                (area.top + area.bottom) / 2);
}

int Locate() {
    HWND dialog = FindWindowA(nullptr, arbolith::kDialogHeader.title);
    HWND canvas = dialog != nullptr
                      ? FindWindowExA(dialog, nullptr, nullptr, arbolith::kCanvasCaption)
                      : nullptr;
    if (canvas == nullptr) {
        std::fprintf(stderr, "no dialog with a canvas\n");
        return 1;
    }
    // Only the part of the canvas inside the dialog's client area shows; how much that is
    // depends on the dialog font.
    RECT client{};
    GetClientRect(canvas, &client);
    RECT dialogClient{};
    GetClientRect(dialog, &dialogClient);
    MapWindowPoints(dialog, canvas, reinterpret_cast<POINT*>(&dialogClient), 2);
    RECT visible{};
    IntersectRect(&visible, &client, &dialogClient);
    POINT origin{0, 0};
    ClientToScreen(canvas, &origin);
    std::printf("canvas %ld %ld %ld %ld\n", origin.x, origin.y, visible.right, visible.bottom);
    RECT dialogArea{};
    GetClientRect(dialog, &dialogArea);
    POINT dialogOrigin{0, 0};
    ClientToScreen(dialog, &dialogOrigin);
    std::printf("dialog %ld %ld %ld %ld\n", dialogOrigin.x, dialogOrigin.y, dialogArea.right,
                dialogArea.bottom);
    for (const int id : arbolith::kFieldReadOrder) {
        PrintCentre("field", dialog, id);
    }
    PrintCentre("button", dialog, arbolith::kButtonGenerate);
    PrintCentre("button", dialog, arbolith::kButtonExit);
    return 0;
}

int Cover(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "cover needs x, y, width, height and a file\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const arbolith::GdiObject<HBRUSH> magenta(CreateSolidBrush(RGB(255, 0, 255)));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = magenta.Get();
    windowClass.lpszClassName = "ArbolithCover";
    RegisterClassA(&windowClass);
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                 "cover", WS_POPUP | WS_VISIBLE, std::atoi(argv[2]),
                                 std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                 nullptr, nullptr, instance, nullptr);
    if (cover == nullptr) {
        return 1;
    }
    const std::string until = argv[6];
    const DWORD deadline = GetTickCount() + 60000;
    while (GetFileAttributesA(until.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() < deadline) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    DestroyWindow(cover);
    // Windows asks every uncovered window to repaint what was hidden; Wine keeps a copy of each
    // top-level window and repaints the screen from it without asking. Ask for the repaint
    // here, so that the program has to show the tree again by itself.
    HWND dialog = FindWindowA(nullptr, arbolith::kDialogHeader.title);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

int GridDigests() {
    std::printf(
        "// The digests of the pictures of GdiGridCases(), in order, as the Windows drawing\n"
        "// system draws them: made under Wine by `arbolith_win32_helper grid-digests`.\n");
    for (const arbolith::testing::GridCase& gridCase : arbolith::testing::GdiGridCases()) {
        std::printf("0x%016llxULL, // %s\n",
                    static_cast<unsigned long long>(arbolith::testing::GdiDigestOf(gridCase)),
                    gridCase.name.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "render") {
        return Render(argc, argv);
    }
    if (command == "locate") {
        return Locate();
    }
    if (command == "cover") {
        return Cover(argc, argv);
    }
    if (command == "grid-digests") {
        return GridDigests();
    }
    std::fprintf(stderr, "usage: %s render|locate|cover|grid-digests ...\n", argv[0]);
    return 2;
}
