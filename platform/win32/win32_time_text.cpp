#include "win32/win32_time_text.h"

#include "rules/time_forms.h"
#include "win32/utf16.h"
#include "win32/win_api.h"

#include <vector>

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

bool isField(char c) { return c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't'; }

// The picture's fields as [start, end) ranges with their letter; quoted
// text ('...') and other characters are literal.
struct Field {
    char letter;
    std::size_t start, end;
};

std::vector<Field> fieldsOf(const std::string& picture)
{
    std::vector<Field> fields;
    for (std::size_t i = 0; i < picture.size();) {
        if (picture[i] == '\'') {
            const std::size_t close = picture.find('\'', i + 1);
            i = close == std::string::npos ? picture.size() : close + 1;
        } else if (isField(picture[i])) {
            std::size_t end = i;
            while (end < picture.size() && picture[end] == picture[i])
                ++end;
            fields.push_back({picture[i], i, end});
            i = end;
        } else {
            ++i;
        }
    }
    return fields;
}

}  // namespace

std::string withSeconds(const std::string& picture)
{
    const std::vector<Field> fields = fieldsOf(picture);
    const Field* hour = nullptr;
    const Field* minute = nullptr;
    for (const Field& f : fields) {
        if (f.letter == 's') return picture;
        if (f.letter == 'h' || f.letter == 'H') hour = &f;
        if (f.letter == 'm') minute = &f;
    }
    if (!minute) return picture;
    // The minutes' own separator when it is plain punctuation, else ":".
    std::string separator = ":";
    if (hour && hour->end < minute->start) {
        const std::string between = picture.substr(hour->end, minute->start - hour->end);
        if (between.find_first_of("'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos)
            separator = between;
    }
    std::string out = picture;
    out.insert(minute->end, separator + "ss");
    return out;
}

std::string userTimePicture() { return withSeconds(localeInfo(LOCALE_STIMEFORMAT)); }

LocaleWords userLocaleWords()
{
    LocaleWords words;
    words.am = localeInfo(LOCALE_S1159);
    words.pm = localeInfo(LOCALE_S2359);
    words.time = formFromWindowsPicture(userTimePicture());
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

std::string Win32TimeText::format(const TimeOfDay& t) const
{
    SYSTEMTIME st{};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    const std::wstring picture = win32::toUtf16(userTimePicture());
    // An empty picture: the user's format as the system has it.
    const wchar_t* format = picture.empty() ? nullptr : picture.c_str();
    const int n = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, format, nullptr, 0);
    if (n <= 0) return {};
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    const int got = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, format, text.data(), n);
    if (got <= 0) return {};
    text.resize(static_cast<std::size_t>(got - 1));
    return win32::toUtf8(text);
}

std::optional<TimeReading> Win32TimeText::read(std::string_view text) const
{
    return readTimeText(text, userLocaleWords());
}

}  // namespace bellwick
