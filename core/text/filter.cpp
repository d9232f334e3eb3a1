#include "text/filter.h"

#include <utility>

namespace bellwick {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::string_view trimmed(std::string_view s)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

std::vector<FilterEntry> splitFilter(std::string_view filter)
{
    const std::vector<std::string_view> parts = split(filter, '|');
    std::vector<FilterEntry> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FilterEntry entry{std::string(trimmed(parts[i])), {}};
        for (std::string_view pattern : split(parts[i + 1], ';'))
            if (const std::string_view p = trimmed(pattern); !p.empty()) entry.patterns.emplace_back(p);
        if (entry.patterns.empty()) entry.patterns.emplace_back("*.*");
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace bellwick
