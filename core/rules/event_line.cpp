#include "rules/event_line.h"

#include "rules/date_time.h"

#include <cstdio>

namespace bellwick {

namespace {

std::string stamp(std::int64_t epochMs)
{
    const std::int64_t msOfDay = ((epochMs % 86400000) + 86400000) % 86400000;
    const Date d = civilFromDays((epochMs - msOfDay) / 86400000);
    const auto part = [msOfDay](std::int64_t unit, std::int64_t of) { return static_cast<int>(msOfDay / unit % of); };
    char utc[40];
    std::snprintf(utc, sizeof utc, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", d.year, d.month, d.day,
                  part(3600000, 24), part(60000, 60), part(1000, 60), part(1, 1000));
    return "epoch_ms=" + std::to_string(epochMs) + " utc=" + utc;
}

// Length of the UTF-8 sequence at s[i], with its code point in cp; 0 when
// the bytes there are not UTF-8.
std::size_t decode(std::string_view s, std::size_t i, char32_t& cp)
{
    const auto byte = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    struct Form {
        unsigned char mask, bits;
        std::size_t length;
        char32_t least;
    };
    static constexpr Form kForms[] = {{0x80, 0x00, 1, 0}, {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800},
                                      {0xF8, 0xF0, 4, 0x10000}};
    for (const Form& f : kForms) {
        if ((lead & f.mask) != f.bits) continue;
        if (i + f.length > s.size()) return 0;
        cp = lead & static_cast<unsigned char>(~f.mask);
        for (std::size_t k = 1; k < f.length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) return 0;
            cp = (cp << 6) | (byte(i + k) & 0x3F);
        }
        const bool valid = cp >= f.least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        return valid ? f.length : 0;
    }
    return 0;
}

std::string oneLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t n = decode(text, i, cp);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp == 0x2028 || cp == 0x2029)
            out += ' ';
        else
            out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

}  // namespace

std::string firedLine(std::int64_t epochMs) { return "fired " + stamp(epochMs); }

std::string failedLine(std::int64_t epochMs, std::string_view reason)
{
    return "failed " + stamp(epochMs) + " reason=" + oneLine(reason);
}

}  // namespace bellwick
