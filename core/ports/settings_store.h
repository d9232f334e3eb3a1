#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace bellwick {

// A save the store could not carry out; what() says why.
struct SaveError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or fallback when the entry is absent. An entry that
    // exists with an empty value reads as empty.
    virtual std::string read(std::string_view application, std::string_view section, std::string_view key,
                             std::string_view fallback) = 0;
    // Throws SaveError when the value could not be stored.
    virtual void save(std::string_view application, std::string_view section, std::string_view key,
                      std::string_view value) = 0;
};

}  // namespace bellwick
