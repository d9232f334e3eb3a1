#include "text/utf8.h"

namespace bellwick {

Utf8Step decodeUtf8(std::string_view utf8, std::size_t at)
{
    const auto byte = [utf8](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    struct Form {
        unsigned char mask, bits;
        std::size_t length;
        char32_t least;
    };
    static constexpr Form kForms[] = {
        {0x80, 0x00, 1, 0}, {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
    constexpr Utf8Step kInvalid{0xFFFD, 1, false};
    const unsigned char lead = byte(at);
    for (const Form& f : kForms) {
        if ((lead & f.mask) != f.bits) continue;
        if (f.length > utf8.size() - at) return kInvalid;
        char32_t cp = lead & static_cast<unsigned char>(~f.mask);
        for (std::size_t k = 1; k < f.length; ++k) {
            if ((byte(at + k) & 0xC0) != 0x80) return kInvalid;
            cp = (cp << 6) | (byte(at + k) & 0x3F);
        }
        const bool valid = cp >= f.least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        return valid ? Utf8Step{cp, f.length, true} : kInvalid;
    }
    return kInvalid;
}

}  // namespace bellwick
