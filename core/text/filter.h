#pragma once
// A file dialog's filter text, "Sounds (*.wav)|*.wav;*.mp3|All files|*.*":
// description and patterns in turns, separated by "|"; patterns separated
// by ";".

#include <string>
#include <string_view>
#include <vector>

namespace bellwick {

struct FilterEntry {
    std::string description;            // trimmed
    std::vector<std::string> patterns;  // trimmed, none empty; at least one
    friend bool operator==(const FilterEntry&, const FilterEntry&) = default;
};

// One entry per description/pattern pair; a description without patterns
// at the end is dropped. A pair whose patterns are all blank lists every
// file ("*.*").
std::vector<FilterEntry> splitFilter(std::string_view filter);

}  // namespace bellwick
