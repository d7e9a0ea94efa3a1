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

TEST(DialogTemplate, ControlsAreTheSharedLayoutsControls) {
    const BYTE* bytes = LoadResourceBytes(MAKEINTRESOURCEA(kDialogTemplateId), MAKEINTRESOURCEA(5));
    ASSERT_NE(bytes, nullptr);
    TemplateReader reader(bytes);
    reader.Word();
    reader.Word();
    reader.Dword();
    reader.Dword();
    reader.Dword();
    reader.Word();
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

    for (const DialogControl& control : kDialogControls) {
        SCOPED_TRACE(control.text);
        reader.AlignToDword();
        EXPECT_EQ(reader.Dword(), 0u); // help id
        EXPECT_EQ(reader.Dword(), control.extendedStyle);
        EXPECT_EQ(reader.Dword(), control.style);
        EXPECT_EQ(reader.Short(), control.x);
        EXPECT_EQ(reader.Short(), control.y);
        EXPECT_EQ(reader.Short(), control.width);
        EXPECT_EQ(reader.Short(), control.height);
        EXPECT_EQ(static_cast<int>(reader.Dword()), control.id);
        EXPECT_EQ(ClassOrdinalName(reader.NameOrOrdinal()), control.windowClass);
        const std::string text = reader.NameOrOrdinal();
        if (control.kind == ControlKind::Picture) {
            EXPECT_EQ(text, Ordinal(kPictureBitmapId));
        } else {
            EXPECT_EQ(text, control.text);
        }
        EXPECT_EQ(reader.Word(), 0); // no creation data
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
