#include "win32/win32_messages.h"

#include "win32/utf16.h"
#include "win32/win_api.h"

#include <algorithm>

namespace bellwick {

void Win32Messages::show(std::string_view text, std::string_view title, int style)
{
    // A NUL would end the text early; show it as a space instead.
    std::wstring body = win32::toUtf16(text);
    std::replace(body.begin(), body.end(), L'\0', L' ');
    std::wstring caption = win32::toUtf16(title);
    std::replace(caption.begin(), caption.end(), L'\0', L' ');
    MessageBoxW(GetActiveWindow(), body.c_str(), caption.c_str(), static_cast<UINT>(style));
}

}  // namespace bellwick
