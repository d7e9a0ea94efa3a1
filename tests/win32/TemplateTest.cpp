#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "UpperCase.h"
#include "ui/DialogLayout.h"

// The resources compiled into this test program are the program's own: template 101 is read
// back out and compared with the shared dialog layout field by field, and bitmap 102 pixel by
// pixel.

namespace arbolith {
namespace {

std::string Ordinal(int value) {
    std::string text(1, '#');
    text.append(std::to_string(value));
    return text;
}

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}

    WORD Word() {
        WORD value = 0;
        std::memcpy(&value, at_, sizeof(value));
        at_ += sizeof(value);
        return value;
    }
    DWORD Dword() {
        const WORD low = Word();
        return static_cast<DWORD>(low) | static_cast<DWORD>(Word()) << 16;
    }
    short Short() { return static_cast<short>(Word()); }
    // A string, or 0xFFFF and an ordinal, given as "#ordinal".
    std::string NameOrOrdinal() {
        const WORD first = Word();
        if (first == 0xFFFF) {
            return Ordinal(Word());
        }
        std::string text;
        for (WORD c = first; c != 0; c = Word()) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }
    void AlignToDword() {
        while ((at_ - start_) % 4 != 0) {
            ++at_;
        }
    }

private:
    const BYTE* start_;
    const BYTE* at_;
};

const BYTE* LoadResourceBytes(LPCSTR name, LPCSTR type, DWORD* size = nullptr) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr) {
        return nullptr;
    }
    if (size != nullptr) {
        *size = SizeofResource(module, found);
    }
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

std::string ClassOrdinalName(const std::string& name) {
    if (name == "#128") {
        return "BUTTON";
    }
    if (name == "#129") {
        return "EDIT";
    }
    if (name == "#130") {
        return "STATIC";
    }
    return UpperCase(name);
}

TEST(DialogTemplate, HeaderIsTheSharedLayoutsHeader) {
    const BYTE* bytes = LoadResourceBytes(MAKEINTRESOURCEA(kDialogTemplateId), MAKEINTRESOURCEA(5));
    ASSERT_NE(bytes, nullptr);
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.Word(), 1);      // version
    EXPECT_EQ(reader.Word(), 0xFFFF); // extended template
    EXPECT_EQ(reader.Dword(), 0u);    // help id
    EXPECT_EQ(reader.Dword(), kDialogHeader.extendedStyle);
    EXPECT_EQ(reader.Dword(), kDialogHeader.style);
    EXPECT_EQ(reader.Word(), kDialogControls.size());
    EXPECT_EQ(reader.Short(), kDialogHeader.x);
    EXPECT_EQ(reader.Short(), kDialogHeader.y);
    EXPECT_EQ(reader.Short(), kDialogHeader.width);
    EXPECT_EQ(reader.Short(), kDialogHeader.height);
    EXPECT_EQ(reader.NameOrOrdinal(), ""); // no menu
    EXPECT_EQ(reader.NameOrOrdinal(), ""); // the standard dialog class
    EXPECT_EQ(reader.NameOrOrdinal(), kDialogHeader.title);
    EXPECT_EQ(reader.Word(), kDialogHeader.fontPoints);
    EXPECT_EQ(reader.Word(), 0); // weight
    const WORD italicAndCharset = reader.Word();
    EXPECT_EQ(LOBYTE(italicAndCharset), 0);
    EXPECT_EQ(HIBYTE(italicAndCharset), 1);
    EXPECT_EQ(reader.NameOrOrdinal(), kDialogHeader.fontName);
}

// One control as the template holds it.
struct TemplateControl {
    DWORD extendedStyle;
    DWORD style;
    short x, y, width, height;
    int id;
    std::string windowClass;
    std::string text;
    WORD creationData;
};

std::vector<TemplateControl> TemplateControls() {
    const BYTE* bytes = LoadResourceBytes(MAKEINTRESOURCEA(kDialogTemplateId), MAKEINTRESOURCEA(5));
    if (bytes == nullptr) {
        return {};
    }
    TemplateReader reader(bytes);
    reader.Word();
    reader.Word();
    reader.Dword();
    reader.Dword();
    reader.Dword();
    const WORD count = reader.Word();
    for (int i = 0; i < 4; ++i) {
        reader.Short();
    }
    reader.NameOrOrdinal();
    reader.NameOrOrdinal();
    reader.NameOrOrdinal();
    reader.Word();
    reader.Word();
    reader.Word();
    reader.NameOrOrdinal();

    std::vector<TemplateControl> controls;
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        reader.Dword(); // help id
        TemplateControl control{};
        control.extendedStyle = reader.Dword();
        control.style = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.width = reader.Short();
        control.height = reader.Short();
        control.id = static_cast<int>(reader.Dword());
        control.windowClass = ClassOrdinalName(reader.NameOrOrdinal());
        control.text = reader.NameOrOrdinal();
        control.creationData = reader.Word();
        controls.push_back(control);
    }
    return controls;
}

TEST(DialogTemplate, ControlsAreTheSharedLayoutsControls) {
    const std::vector<TemplateControl> controls = TemplateControls();
    ASSERT_EQ(controls.size(), kDialogControls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& expected = kDialogControls[i];
        const TemplateControl& control = controls[i];
        SCOPED_TRACE(expected.text);
        EXPECT_EQ(control.extendedStyle, expected.extendedStyle);
        EXPECT_EQ(control.style, expected.style);
        EXPECT_EQ(control.x, expected.x);
        EXPECT_EQ(control.y, expected.y);
        EXPECT_EQ(control.width, expected.width);
        EXPECT_EQ(control.height, expected.height);
        EXPECT_EQ(control.id, expected.id);
        EXPECT_EQ(control.windowClass, expected.windowClass);
        if (expected.kind == ControlKind::Picture) {
            EXPECT_EQ(control.text, Ordinal(kPictureBitmapId));
        } else {
            EXPECT_EQ(control.text, expected.text);
        }
        EXPECT_EQ(control.creationData, 0);
    }
}

// The controls' places in dialog units, typed once more from the dialog's own table and
// independently of ui/DialogLayout.h: id, x, y, width, height, in template order.
constexpr int kControlPlaces[29][5] = {
    {1002, 83, 15, 46, 13},  {1003, 83, 29, 46, 13},  {1004, 83, 43, 46, 13},
    {1006, 83, 71, 46, 13},  {1007, 83, 90, 46, 13},  {1008, 19, 119, 23, 13},
    {1009, 57, 118, 23, 13}, {1014, 96, 118, 23, 13}, {1010, 19, 149, 23, 13},
    {1011, 57, 148, 23, 13}, {1017, 96, 148, 23, 13}, {1012, 7, 186, 128, 18},
    {1013, 7, 204, 128, 18}, {1000, 13, 18, 60, 12},  {1001, 13, 31, 60, 12},
    {-1, 13, 46, 60, 12},    {1005, 13, 73, 58, 11},  {-1, 13, 93, 53, 9},
    {-1, 15, 108, 58, 9},    {-1, 7, 119, 9, 10},     {-1, 47, 119, 9, 10},
    {-1, 15, 137, 58, 9},    {-1, 7, 223, 126, 190},  {-1, 86, 119, 9, 10},
    {-1, 7, 149, 9, 10},     {-1, 47, 149, 9, 10},    {-1, 86, 149, 9, 10},
    {-1, 19, 168, 25, 13},   {1015, 53, 166, 47, 13},
};

TEST(DialogTemplate, ControlsSitWhereTheDialogsTableSays) {
    const std::vector<TemplateControl> controls = TemplateControls();
    ASSERT_EQ(controls.size(), std::size(kControlPlaces));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& [id, x, y, width, height] = kControlPlaces[i];
        const TemplateControl& control = controls[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(control.id, id);
        EXPECT_EQ(control.x, x);
        EXPECT_EQ(control.y, y);
        EXPECT_EQ(control.width, width);
        EXPECT_EQ(control.height, height);
    }
}

TEST(PictureBitmap, IsFourBitBlackAndWhiteOfItsOwnSize) {
    DWORD size = 0;
    const BYTE* bytes =
        LoadResourceBytes(MAKEINTRESOURCEA(kPictureBitmapId), MAKEINTRESOURCEA(2), &size);
    ASSERT_NE(bytes, nullptr);
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bytes, sizeof(header));
    EXPECT_EQ(header.biWidth, 179);
    EXPECT_EQ(header.biHeight, 299);
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(bytes + header.biSize);
    EXPECT_EQ(palette[0].rgbRed + palette[0].rgbGreen + palette[0].rgbBlue, 0);
    EXPECT_EQ(palette[15].rgbRed & palette[15].rgbGreen & palette[15].rgbBlue, 255);
    EXPECT_EQ(palette[9].rgbRed, 255); // the standard palette's bright red
    EXPECT_EQ(palette[9].rgbGreen, 0);

    const BYTE* pixels = bytes + header.biSize + 16 * sizeof(RGBQUAD);
    const int rowBytes = (179 * 4 + 31) / 32 * 4;
    ASSERT_GE(size, header.biSize + 16 * sizeof(RGBQUAD) + static_cast<DWORD>(rowBytes * 299));
    int black = 0;
    int white = 0;
    for (int y = 0; y < 299; ++y) {
        for (int x = 0; x < 179; ++x) {
            const BYTE pair = pixels[y * rowBytes + x / 2];
            const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            black += index == 0;
            white += index == 15;
        }
    }
    EXPECT_EQ(black + white, 179 * 299);
    EXPECT_GT(black, 179 * 299 / 20); // a tree and text, not a blank
    EXPECT_GT(white, 179 * 299 / 2);
}

} // namespace
} // namespace arbolith
