#include "win32/win32_media_player.h"

#include "win32/utf16.h"
#include "win32/win_api.h"

#include <atomic>

namespace bellwick {

namespace {

constexpr wchar_t kNotifyClass[] = L"BellwickMciNotify";

HWND hwnd(void* window) { return static_cast<HWND>(window); }

LRESULT CALLBACK notifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MM_MCINOTIFY && (wParam == MCI_NOTIFY_SUCCESSFUL || wParam == MCI_NOTIFY_FAILURE)) {
        if (auto* player = reinterpret_cast<Win32MediaPlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            player->finished();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window that receives MCI's end-of-play notice; null if it
// cannot be made (playback then holds the device until the next call).
HWND makeNotifyWindow(Win32MediaPlayer* player)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = notifyProc;
    wc.hInstance = instance;
    wc.lpszClassName = kNotifyClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    HWND window = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(player));
    return window;
}

std::wstring uniqueAlias()
{
    static std::atomic<unsigned> next{0};
    return L"bellwick_sound_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++next);
}

std::string mciText(MCIERROR code)
{
    wchar_t text[256] = {};
    if (!mciGetErrorStringW(code, text, 256) || !text[0]) return "MCI error " + std::to_string(code);
    return win32::toUtf8(text) + " (MCI error " + std::to_string(code) + ")";
}

// The name as the message shows it: a NUL as \0, a very long name shortened
// in the middle, at character bounds.
std::string shown(const std::string& name)
{
    std::wstring wide = win32::toUtf16(name);
    std::wstring s;
    for (wchar_t c : wide)
        s += c == L'\0' ? std::wstring(L"\\0") : std::wstring(1, c);
    constexpr std::size_t kHead = 200, kTail = 100;
    if (s.size() <= kHead + kTail + 50) return win32::toUtf8(s);
    std::size_t head = kHead, tail = s.size() - kTail;
    if (IS_LOW_SURROGATE(s[head])) --head;
    if (IS_LOW_SURROGATE(s[tail])) ++tail;
    return win32::toUtf8(s.substr(0, head)) + "\u2026(" + std::to_string(tail - head) + " characters)\u2026" +
           win32::toUtf8(s.substr(tail));
}

}  // namespace

Win32MediaPlayer::Win32MediaPlayer() : alias_(uniqueAlias()), notifyWindow_(makeNotifyWindow(this)) {}

Win32MediaPlayer::~Win32MediaPlayer()
{
    close();
    if (notifyWindow_) DestroyWindow(hwnd(notifyWindow_));
}

std::string Win32MediaPlayer::send(const std::wstring& command, bool notify) const
{
    const MCIERROR code = mciSendStringW(command.c_str(), nullptr, 0, notify ? hwnd(notifyWindow_) : nullptr);
    return code == 0 ? std::string() : mciText(code);
}

void Win32MediaPlayer::close()
{
    if (!open_) return;
    send(L"close " + alias_);
    open_ = false;
}

void Win32MediaPlayer::finished()
{
    // The notice names no device reliably (mpegvideo under Wine says 0), and
    // one from an earlier play may arrive after a new one has started.
    if (mode() != "playing") close();
}

void Win32MediaPlayer::fail(const std::string& why)
{
    close();
    throw PlayError("cannot play '" + shown(fileName_) + "': " + why);
}

void Win32MediaPlayer::setFileName(const std::string& name)
{
    close();
    fileName_ = name;
}

void Win32MediaPlayer::stop() { close(); }

std::string Win32MediaPlayer::mode() const
{
    if (!open_) return {};
    wchar_t answer[64] = {};
    if (mciSendStringW((L"status " + alias_ + L" mode").c_str(), answer, 64, nullptr) != 0) return {};
    return win32::toUtf8(answer);
}

void Win32MediaPlayer::play()
{
    close();
    if (fileName_.empty()) fail("no file is chosen");
    const auto wide = win32::toUtf16Exact(fileName_);
    if (!wide) fail("the name is not valid UTF-8 text");
    if (wide->find(L'\0') != std::wstring::npos) fail("the name holds a NUL character");
    // The name goes into the MCI command between quotation marks, and no
    // Windows file name can hold one.
    if (wide->find(L'"') != std::wstring::npos) fail("the name holds a quotation mark (\")");
    if (waveOutGetNumDevs() == 0) fail("there is no audio output device");

    if (const std::string error = send(L"open \"" + *wide + L"\" alias " + alias_); !error.empty()) {
        throw PlayError("cannot play '" + shown(fileName_) + "': " + error);
    }
    open_ = true;
    const bool notify = notifyWindow_ != nullptr;
    if (const std::string error = send(L"play " + alias_ + (notify ? L" notify" : L""), notify); !error.empty())
        fail(error);
}

}  // namespace bellwick
