#pragma once

#include <string_view>

namespace bellwick {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;  // stop icon, one OK button

class Messages {
public:
    virtual ~Messages() = default;
    // Modal; returns when the user has dismissed it.
    virtual void show(std::string_view text, std::string_view title, int style) = 0;
};

}  // namespace bellwick
