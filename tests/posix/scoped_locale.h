#pragma once
// Sets the whole C locale for a test and puts the old one back.

#include <clocale>
#include <string>

namespace bellwick {

class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : old_(std::setlocale(LC_ALL, nullptr))
    {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    // False when the machine lacks the locale.
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

}  // namespace bellwick
