#include "window/layout.h"

#include <array>
#include <optional>

namespace bellwick {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kNone{1, 2, 3};  // marker: no colour of its own

enum FontId { DefaultFont, Bold825, Regular975 };

struct Row {
    ControlKind kind;
    const char* name;
    int index;
    // twips; a negative width means the control has no size
    int left, top, width, height;
    const char* text;
    FontId font;
    Rgb back, fore;
    int tab;  // -1: none
    PictureId picture = PictureId::None;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

constexpr int kNoSize = -1;

// Front to back. Pixel values (at 15 twips per pixel) in the comments.
// clang-format off
constexpr std::array<Row, 13> kLayout{{
    // kind                     name        idx  left  top   width   height  text                     font        back    fore     tab  picture
    {ControlKind::CommandButton, "cmdBrowse", -1, 2295, 5115, 2265, 240, "Browse", Bold825, kRed, kNone, 5},            // 153,341 151x16
    {ControlKind::FileDialog, "cdb", -1, 0, 0, kNoSize, 0, "", DefaultFont, kNone, kNone, -1},
    {ControlKind::TextBox, "txtFile", -1, 2070, 4290, 2640, 315, "File to Play for Alarm", DefaultFont, kBlack, kWhite, 4},  // 138,286 176x21
    {ControlKind::CheckBox, "Check1", -1, 2205, 1650, 2295, 375, "Set Alarm", DefaultFont, kRed, kWhite, 2},             // 147,110 153x25
    {ControlKind::TextBox, "Text1", -1, 2040, 1095, 2655, 375, "Text1", Regular975, kBlack, kWhite, 1},                  // 136,73 177x25
    {ControlKind::Timer, "Timer1", -1, 0, 0, kNoSize, 0, "", DefaultFont, kNone, kNone, -1},
    {ControlKind::Image, "Image3", -1, 2640, 2685, 1575, 1440, "", DefaultFont, kNone, kNone, -1, PictureId::Badge},  // 176,179 105x96
    {ControlKind::Image, "Image2", 1, 4740, 2445, 450, 2160, "", DefaultFont, kNone, kNone, -1, PictureId::Bar},  // 316,163 30x144
    {ControlKind::Image, "Image2", 0, 1605, 2430, 450, 2160, "", DefaultFont, kNone, kNone, -1, PictureId::Bar},  // 107,162 30x144
    {ControlKind::Line, "Line1", 0, 0, 0, kNoSize, 0, "", DefaultFont, kNone, kRed, -1, PictureId::None, 3405, 4635, 3405, 5115},  // 227,309 - 227,341
    {ControlKind::Label, "Label1", -1, 2115, 720, 2535, 255, "Label1", Bold825, kNone, kYellow, 0},                      // 141,48 169x17
    {ControlKind::MediaPlayer, "Media", -1, 8130, 5520, 3135, 2175, "", DefaultFont, kNone, kNone, 3},                   // 542,368 209x145
    {ControlKind::Image, "Image1", -1, 195, 270, 6480, 2160, "", DefaultFont, kNone, kNone, -1, PictureId::Banner},  // 13,18 432x144
}};
// clang-format on

std::optional<Font> fontOf(FontId id)
{
    switch (id) {
    case Bold825: return Font{"MS Sans Serif", 8.25, 11, 700};
    case Regular975: return Font{"MS Sans Serif", 9.75, 13, 400};
    case DefaultFont: break;
    }
    return std::nullopt;
}

std::optional<Rgb> colourOf(Rgb c)
{
    if (c == kNone) return std::nullopt;
    return c;
}

Control controlOf(const Row& row, int stacking)
{
    Control c;
    c.kind = row.kind;
    c.name = row.name;
    c.index = row.index;
    if (row.kind == ControlKind::Line) {
        c.x1 = row.x1;
        c.y1 = row.y1;
        c.x2 = row.x2;
        c.y2 = row.y2;
        c.lineWidth = 2;
    } else if (row.width != kNoSize) {
        c.left = row.left;
        c.top = row.top;
        c.width = row.width;
        c.height = row.height;
    }
    c.text = row.text;
    c.font = fontOf(row.font);
    c.backColor = colourOf(row.back);
    c.foreColor = colourOf(row.fore);
    c.stacking = stacking;
    c.tabIndex = row.tab;
    c.picture = row.picture;
    if (row.kind == ControlKind::Timer) c.intervalMs = 50;
    return c;
}

}  // namespace

Window makeSnoozardLayout()
{
    Window w;
    w.title = "Bellwick";
    w.clientWidth = 6870;   // 458 px
    w.clientHeight = 5655;  // 377 px
    w.backColor = kBlack;
    w.borderStyle = 0;
    w.scaleMode = ScaleMode::Twips;
    w.defaultFont = Font{"MS Sans Serif", 8.25, 11, 400};
    w.controls.reserve(kLayout.size());
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        w.controls.push_back(controlOf(kLayout[i], static_cast<int>(i)));
    // The sound-file box always shows the file that will play; Browse changes it.
    w.control("txtFile").locked = true;
    return w;
}

}  // namespace bellwick
