#pragma once

#include <array>
#include <cstdint>

namespace arbolith {

// The parameter dialog as both desktop front ends build it: the template's header and its 29
// controls in template order, which is also creation and tab order. Positions and sizes are
// in dialog units.

inline constexpr int kNoId = -1;

inline constexpr int kFieldMaxAngleXZ = 1002;
inline constexpr int kFieldMaxAngleYZ = 1003;
inline constexpr int kFieldMaxAngleXY = 1004;
inline constexpr int kFieldScaleFactor = 1006;
inline constexpr int kFieldLimbsDegree = 1007;
inline constexpr int kFieldReferenceX = 1008;
inline constexpr int kFieldReferenceY = 1009;
inline constexpr int kFieldReferenceZ = 1014;
inline constexpr int kFieldVectorX = 1010;
inline constexpr int kFieldVectorY = 1011;
inline constexpr int kFieldVectorZ = 1017;
inline constexpr int kFieldLevels = 1015;
inline constexpr int kButtonGenerate = 1012;
inline constexpr int kButtonExit = 1013;

// The order in which "Generate new tree" reads the fields.
inline constexpr std::array<int, 12> kFieldReadOrder{
    kFieldMaxAngleXY,  kFieldMaxAngleXZ, kFieldMaxAngleYZ, kFieldScaleFactor,
    kFieldLimbsDegree, kFieldReferenceX, kFieldReferenceY, kFieldReferenceZ,
    kFieldVectorX,     kFieldVectorY,    kFieldVectorZ,    kFieldLevels};

inline constexpr int kPictureBitmapId = 102;
inline constexpr int kDialogTemplateId = 101;

enum class ControlKind { InputField, Label, DefaultButton, PushButton, Picture };

struct DialogControl {
    int id;
    ControlKind kind;
    const char* windowClass; // "EDIT", "STATIC" or "BUTTON"
    std::uint32_t style;
    std::uint32_t extendedStyle;
    const char* text; // the picture's text is the bitmap's resource ordinal instead
    int x;
    int y;
    int width;
    int height;
};

inline constexpr std::uint32_t kInputFieldStyle = 0x50810080;
inline constexpr std::uint32_t kLabelStyle = 0x50020000;
inline constexpr std::uint32_t kDefaultButtonStyle = 0x50010001;
inline constexpr std::uint32_t kPushButtonStyle = 0x50010000;
inline constexpr std::uint32_t kPictureStyle = 0x5080180E;
inline constexpr std::uint32_t kPictureExtendedStyle = 0x00020201;

struct DialogHeader {
    std::uint32_t style;
    std::uint32_t extendedStyle;
    int x;
    int y;
    int width;
    int height;
    const char* title;
    const char* fontName;
    int fontPoints;
};

inline constexpr DialogHeader kDialogHeader{
    0x80CB00C2, 0, 0, 0, 558, 429, "Arbolith generator", "MS Sans Serif", 8};

namespace detail {
constexpr DialogControl Field(int id, int x, int y, int w, int h) {
    return {id, ControlKind::InputField, "EDIT", kInputFieldStyle, 0, "", x, y, w, h};
}
constexpr DialogControl Label(int id, const char* text, int x, int y, int w, int h) {
    return {id, ControlKind::Label, "STATIC", kLabelStyle, 0, text, x, y, w, h};
}
} // namespace detail

inline constexpr std::array<DialogControl, 29> kDialogControls{{
    detail::Field(kFieldMaxAngleXZ, 83, 15, 46, 13),
    detail::Field(kFieldMaxAngleYZ, 83, 29, 46, 13),
    detail::Field(kFieldMaxAngleXY, 83, 43, 46, 13),
    detail::Field(kFieldScaleFactor, 83, 71, 46, 13),
    detail::Field(kFieldLimbsDegree, 83, 90, 46, 13),
    detail::Field(kFieldReferenceX, 19, 119, 23, 13),
    detail::Field(kFieldReferenceY, 57, 118, 23, 13),
    detail::Field(kFieldReferenceZ, 96, 118, 23, 13),
    detail::Field(kFieldVectorX, 19, 149, 23, 13),
    detail::Field(kFieldVectorY, 57, 148, 23, 13),
    detail::Field(kFieldVectorZ, 96, 148, 23, 13),
    {kButtonGenerate, ControlKind::DefaultButton, "BUTTON", kDefaultButtonStyle, 0,
     "Generate new tree", 7, 186, 128, 18},
    {kButtonExit, ControlKind::PushButton, "BUTTON", kPushButtonStyle, 0, "Exit", 7, 204, 128, 18},
    detail::Label(1000, "Maximal XZ angle:", 13, 18, 60, 12),
    detail::Label(1001, "Maximal YZ angle:", 13, 31, 60, 12),
    detail::Label(kNoId, "Maximal XYangle:", 13, 46, 60, 12),
    detail::Label(1005, "Scale factor:", 13, 73, 58, 11),
    detail::Label(kNoId, "Limbs degree:", 13, 93, 53, 9),
    detail::Label(kNoId, "Reference point:", 15, 108, 58, 9),
    detail::Label(kNoId, "X:", 7, 119, 9, 10),
    detail::Label(kNoId, "Y:", 47, 119, 9, 10),
    detail::Label(kNoId, "First vector:", 15, 137, 58, 9),
    {kNoId, ControlKind::Picture, "STATIC", kPictureStyle, kPictureExtendedStyle, "", 7, 223, 126,
     190},
    detail::Label(kNoId, "Z:", 86, 119, 9, 10),
    detail::Label(kNoId, "X:", 7, 149, 9, 10),
    detail::Label(kNoId, "Y:", 47, 149, 9, 10),
    detail::Label(kNoId, "Z:", 86, 149, 9, 10),
    detail::Label(kNoId, "Levels:", 19, 168, 25, 13),
    detail::Field(kFieldLevels, 53, 166, 47, 13),
}};

// The canvas, in pixels of the dialog's client area; not part of the template.
inline constexpr int kCanvasX = 250;
inline constexpr int kCanvasY = 10;
inline constexpr int kCanvasWidth = 560;
inline constexpr int kCanvasHeight = 670;
inline constexpr const char* kCanvasCaption = "Arbolith";

} // namespace arbolith
