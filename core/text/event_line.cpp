#include "text/event_line.h"

#include "text/utf8.h"
#include "time/date_time.h"

#include <cstdio>

namespace bellwick {

namespace {

std::string stamp(std::int64_t epochMs)
{
    const std::int64_t msOfDay = ((epochMs % 86400000) + 86400000) % 86400000;
    const Date d = civilFromDays((epochMs - msOfDay) / 86400000);
    const auto part = [msOfDay](std::int64_t unit, std::int64_t of) { return static_cast<int>(msOfDay / unit % of); };
    char utc[40];
    std::snprintf(utc, sizeof utc, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", d.year, d.month, d.day, part(3600000, 24),
                  part(60000, 60), part(1000, 60), part(1, 1000));
    return "epoch_ms=" + std::to_string(epochMs) + " utc=" + utc;
}

std::string oneLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Step step = decodeUtf8(text, i);
        const char32_t cp = step.codePoint;
        const std::size_t n = step.length;
        if (!step.valid)
            out += "\xEF\xBF\xBD";
        else if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp == 0x2028 || cp == 0x2029)
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
