#include "win32/win32_time_text.h"

#include "time/time_forms.h"
#include "win32/utf16.h"
#include "win32/win_api.h"

namespace bellwick {

namespace {

std::string localeInfo(LCTYPE type)
{
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, nullptr, 0);
    if (n <= 0) return {};
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    const int got = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text.data(), n);
    if (got <= 0) return {};
    text.resize(static_cast<std::size_t>(got - 1));  // without the NUL
    return win32::toUtf8(text);
}

}  // namespace

LocaleWords userLocaleWords()
{
    LocaleWords words;
    words.am = localeInfo(LOCALE_S1159);
    words.pm = localeInfo(LOCALE_S2359);
    words.time = clockForm(formFromWindowsPicture(localeInfo(LOCALE_STIMEFORMAT)), words);
    words.date = formFromWindowsPicture(localeInfo(LOCALE_SSHORTDATE));
    for (int i = 0; i < 12; ++i) {
        words.months[i] = localeInfo(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i));
        words.shortMonths[i] = localeInfo(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i));
    }
    // The system's week starts on Monday, the reader's on Sunday.
    for (int i = 0; i < 7; ++i) {
        words.weekdays[i] = localeInfo(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + (i + 6) % 7));
        words.shortWeekdays[i] = localeInfo(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + (i + 6) % 7));
    }
    DWORD lastYear = 0;
    if (GetCalendarInfoEx(LOCALE_NAME_USER_DEFAULT, CAL_GREGORIAN, nullptr, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER,
                          nullptr, 0, &lastYear) > 0 &&
        lastYear >= 99 && lastYear <= 9999)
        words.lastTwoDigitYear = static_cast<int>(lastYear);
    return words;
}

// The user may change any of these while the program runs.
std::string Win32TimeText::wordsKey() const
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    std::string key = win32::toUtf8(name);
    for (LCTYPE type : {LOCALE_STIMEFORMAT, LOCALE_SSHORTDATE, LOCALE_S1159, LOCALE_S2359})
        key.append(1, '\n').append(localeInfo(type));
    return key;
}

}  // namespace bellwick
