#include "view/look.h"

namespace bellwick::look {

Rgb back(const Control& c) { return c.backColor.value_or(Rgb{}); }

Rgb fore(const Control& c) { return c.foreColor.value_or(Rgb{}); }

Rgb buttonFace(const Control& button, bool pressed)
{
    const Rgb face = back(button);
    if (!pressed) return face;
    const auto darker = [](std::uint8_t v) { return static_cast<std::uint8_t>(v * 3 / 4); };
    return {darker(face.r), darker(face.g), darker(face.b)};
}

std::string_view pictureFile(PictureId p)
{
    switch (p) {
    case PictureId::Banner: return "banner.gif";
    case PictureId::Bar: return "bar.jpg";
    case PictureId::Badge: return "badge.jpg";
    case PictureId::None: break;
    }
    return {};
}

}  // namespace bellwick::look
