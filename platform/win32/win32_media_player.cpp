#include "win32/win32_media_player.h"

#include "sound/sound_file.h"
#include "win32/callback_guard.h"
#include "win32/patched_wav.h"
#include "win32/utf16.h"
#include "win32/win32_sound_reader.h"
#include "win32/win_api.h"

#include <atomic>
#include <cstring>

namespace bellwick {

namespace {

constexpr wchar_t kNotifyClass[] = L"BellwickMciNotify";

HWND hwnd(const win32::OwnedWindow& window) { return window.get(); }

// Nothing thrown may unwind through the system's frames.
LRESULT CALLBACK notifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return win32::guarded([&]() -> LRESULT {
        auto* player = reinterpret_cast<Win32MediaPlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == MM_MCINOTIFY && (wParam == MCI_NOTIFY_SUCCESSFUL || wParam == MCI_NOTIFY_FAILURE)) {
            if (player) player->finished(wParam == MCI_NOTIFY_SUCCESSFUL);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

// A message-only window that receives MCI's end-of-play notice; null if it
// cannot be made (each play then goes on from keepRinging()).
win32::OwnedWindow makeNotifyWindow(Win32MediaPlayer* player)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = notifyProc;
    wc.hInstance = instance;
    wc.lpszClassName = kNotifyClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    win32::OwnedWindow window(
        CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
    if (window) SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(player));
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

// MCI's waveaudio opens files through mmio, which fails on long names
// (documented: 128 characters; under Wine from MAX_PATH on). A longer name
// goes by its short (8.3) form where the file system has one.
std::wstring mciName(const std::wstring& path)
{
    if (path.size() < 128) return path;
    const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return path;
    std::wstring shortName(n, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortName.data(), n);
    if (written == 0 || written >= n) return path;
    shortName.resize(written);
    return shortName.size() < path.size() ? shortName : path;
}

// The tone's format, from its WAV image's fmt chunk, which the core writes
// first; all zero (which no device takes) otherwise.
WAVEFORMATEX toneFormat(const Tone& tone)
{
    WAVEFORMATEX format{};
    if (tone.wav.size() >= 36 && std::memcmp(&tone.wav[12], "fmt ", 4) == 0) std::memcpy(&format, &tone.wav[20], 16);
    return format;
}

// "" when the default output opens for format, else the system's words.
std::string outputProblem(const WAVEFORMATEX& format)
{
    HWAVEOUT out = nullptr;
    const MMRESULT code = waveOutOpen(&out, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    if (code == MMSYSERR_NOERROR) {
        waveOutClose(out);
        return {};
    }
    wchar_t text[MAXERRORLENGTH] = {};
    if (waveOutGetErrorTextW(code, text, MAXERRORLENGTH) != MMSYSERR_NOERROR || !text[0])
        return "waveOut error " + std::to_string(code);
    return win32::toUtf8(text) + " (waveOut error " + std::to_string(code) + ")";
}

}  // namespace

Win32MediaPlayer::Win32MediaPlayer() : alias_(uniqueAlias()), notifyWindow_(makeNotifyWindow(this)) {}

Win32MediaPlayer::~Win32MediaPlayer()
{
    close();  // the notify window goes after
}

std::string Win32MediaPlayer::send(const std::wstring& command, bool notify) const
{
    const MCIERROR code = mciSendStringW(command.c_str(), nullptr, 0, notify ? hwnd(notifyWindow_) : nullptr);
    return code == 0 ? std::string() : mciText(code);
}

void Win32MediaPlayer::stopTone()
{
    if (!toneOn_) return;
    toneOn_ = false;
    PlaySoundW(nullptr, nullptr, 0);
}

void Win32MediaPlayer::loop(const Tone& tone)
{
    close();
    if (waveOutGetNumDevs() == 0) throw PlayError("there is no audio output device");
    // PlaySound says it plays even when the device then fails to open: one
    // is opened for the tone's format first.
    if (const std::string problem = outputProblem(toneFormat(tone)); !problem.empty())
        throw PlayError("the sound device could not be opened: " + problem);
    // Asynchronous from memory: the tone's bytes live as long as the program.
    if (!PlaySoundW(reinterpret_cast<LPCWSTR>(tone.wav.data()), nullptr,
                    SND_MEMORY | SND_ASYNC | SND_LOOP | SND_NODEFAULT))
        throw PlayError("the system could not play it");
    toneOn_ = true;
}

void Win32MediaPlayer::closeDevice()
{
    if (!open_) return;
    send(L"close " + alias_);
    open_ = false;
}

void Win32MediaPlayer::close()
{
    stopTone();
    ringing_ = false;
    closeDevice();
    patched_.reset();  // after the device has let go of it
}

std::string Win32MediaPlayer::start(const std::wstring& element)
{
    closeDevice();
    if (std::string error = send(L"open " + element + L" alias " + alias_); !error.empty()) return error;
    open_ = true;
    const bool notify = notifyWindow_ != nullptr;
    if (std::string error = send(L"play " + alias_ + (notify ? L" notify" : L""), notify); !error.empty()) {
        closeDevice();
        return error;
    }
    ++plays_;
    return {};
}

bool Win32MediaPlayer::replay()
{
    // Stopped first: Wine's mpegvideo sends no further notice for a device
    // that has played to the end until it has been stopped.
    send(L"stop " + alias_);
    const bool notify = notifyWindow_ != nullptr;
    if (!send(L"play " + alias_ + L" from 0" + (notify ? L" notify" : L""), notify).empty()) return false;
    ++plays_;
    return true;
}

void Win32MediaPlayer::finished(bool succeeded)
{
    // The notice names no device reliably (mpegvideo under Wine says 0), and
    // one from an earlier play may arrive after a stop or after a new play
    // has started: only a play of the file that rings, and has ended, goes on.
    if (!ringing_ || !open_ || mode() == "playing") return;
    // Otherwise keepRinging() opens it again.
    if (!succeeded || !replay()) closeDevice();
}

bool Win32MediaPlayer::keepRinging()
{
    if (toneOn_) return true;
    if (!ringing_) return false;
    if (open_ && mode() == "playing") return true;
    // Played to the end with its notice still to come (or none to come), or
    // failed and closed: on again, from a new open after a failure. A play
    // that MCI takes may still fail at once (waveaudio opens its output
    // then): what counts is that it plays.
    if (!open_ || !replay()) start(element_);
    return mode() == "playing";
}

void Win32MediaPlayer::fail(const std::string& why)
{
    close();
    throw PlayError(cannotPlayMessage(fileName_, why));
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
    plays_ = 0;
    if (const std::string problem = soundFileNameProblem(fileName_); !problem.empty()) fail(problem);
    const auto path = win32::toUtf16Exact(fileName_);
    if (!path) fail("the name is not valid UTF-8 text");
    // The name goes into the MCI command between quotation marks, and no
    // Windows file name can hold one.
    if (path->find(L'"') != std::wstring::npos) fail("the name holds a quotation mark (\")");
    CheckedSoundFile sound = checkSoundFile(*path);
    if (!sound.check.problem.empty()) fail(sound.check.problem);
    if (waveOutGetNumDevs() == 0) fail("there is no audio output device");

    if (sound.check.patches.empty()) {
        element_ = L"\"" + mciName(*path) + L"\"";
    } else {
        // waveaudio refuses a WAV with placeholder sizes: it gets the file
        // as the check reads it.
        patched_ = PatchedWav::serve(std::move(sound.file), std::move(sound.check.patches));
        if (!patched_) fail("the system took no reader for its corrected header");
        element_ = L"\"" + patched_->name() + L"\" type waveaudio";
    }
    if (const std::string error = start(element_); !error.empty()) fail(error);
    ringing_ = true;
}

}  // namespace bellwick
