// Reads the input as alarm text in each locale, and with hand-built words
// of other forms, and checks the invariants.

#include "form_time_text.h"
#include "posix/posix_time_text.h"
#include "time_text_invariants.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    for (const char* name : bellwick::kTimeTextLocales) {
        if (std::setlocale(LC_TIME, name) == nullptr) std::fprintf(stderr, "fuzz_time_text: no locale %s\n", name);
    }
    std::setlocale(LC_TIME, "C");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bellwick::PosixTimeText timeText;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* name : bellwick::kTimeTextLocales) {
        if (std::setlocale(LC_TIME, name) == nullptr) continue;
        const std::string failure = bellwick::timeTextInvariantFailure(timeText, text);
        if (!failure.empty()) {
            std::fprintf(stderr, "fuzz_time_text [%s]: %s\n", name, failure.c_str());
            std::abort();
        }
    }
    std::setlocale(LC_TIME, "C");
    for (const auto& [name, formText] : bellwick::formTimeTexts()) {
        const std::string failure = bellwick::timeTextInvariantFailure(formText, text);
        if (!failure.empty()) {
            std::fprintf(stderr, "fuzz_time_text [%s]: %s\n", name, failure.c_str());
            std::abort();
        }
    }
    return 0;
}
