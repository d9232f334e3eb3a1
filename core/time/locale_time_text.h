#pragma once
// A TimeText over a locale's words: writes the clock's form, reads with the
// strict reader. A platform says where the words come from and what they
// depend on; they are looked up again only when that changes.

#include "ports/time_text.h"
#include "time/time_reader.h"

#include <string>

namespace bellwick {

class LocaleTimeText : public TimeText {
public:
    std::string format(const TimeOfDay& t) const final;
    std::optional<TimeReading> read(std::string_view text) const final;

protected:
    // The locale's words; their time form is the clock's (time/time_forms.h: clockForm).
    virtual LocaleWords lookUpWords() const = 0;
    // A cheap key that changes whenever lookUpWords() would give other words.
    virtual std::string wordsKey() const = 0;

private:
    const LocaleWords& words() const;

    mutable std::string key_;
    mutable LocaleWords words_;
    mutable bool looked_ = false;
};

}  // namespace bellwick
