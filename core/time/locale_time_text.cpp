#include "time/locale_time_text.h"

#include "time/time_forms.h"

namespace bellwick {

const LocaleWords& LocaleTimeText::words() const
{
    if (!looked_ || wordsKey() != key_) {
        words_ = lookUpWords();
        // After the lookup, which may itself change what the key reads.
        key_ = wordsKey();
        looked_ = true;
    }
    return words_;
}

std::string LocaleTimeText::format(const TimeOfDay& t) const
{
    const LocaleWords& w = words();
    return writeForm(w.time, w, {2000, 1, 1}, t);
}

std::optional<TimeReading> LocaleTimeText::read(std::string_view text) const { return readTimeText(text, words()); }

}  // namespace bellwick
