#include "win32/win32_event_log.h"

#include "win32/utf16.h"
#include "win32/win_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace bellwick {

namespace {

std::string stamp()
{
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const ULONGLONG ticks = (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;  // 100 ns since 1601
    const ULONGLONG ms = ticks / 10000;
    const ULONGLONG epochMs = ms - 11644473600000ULL;
    // The same instant, cut to the millisecond, as a calendar time.
    const ULONGLONG cut = ms * 10000;
    FILETIME whole{static_cast<DWORD>(cut), static_cast<DWORD>(cut >> 32)};
    SYSTEMTIME st{};
    FileTimeToSystemTime(&whole, &st);
    char utc[32];
    std::snprintf(utc, sizeof utc, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", st.wYear, st.wMonth, st.wDay, st.wHour,
                  st.wMinute, st.wSecond, st.wMilliseconds);
    return "epoch_ms=" + std::to_string(epochMs) + " utc=" + utc;
}

// Keeps the event on one line: C0 and C1 controls, DEL, U+2028 and U+2029
// become spaces.
std::string oneLine(std::string_view text)
{
    std::wstring wide = win32::toUtf16(text);
    for (wchar_t& c : wide) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029) c = L' ';
    }
    return win32::toUtf8(wide);
}

bool enabledByEnvironment()
{
    const char* value = std::getenv("BELLWICK_EVENT_LOG");
    return value && *value && std::strcmp(value, "0") != 0;
}

void toStderrAndDebugger(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    OutputDebugStringW(win32::toUtf16(line + "\n").c_str());
}

}  // namespace

Win32EventLog::Win32EventLog()
    : firedSink_(enabledByEnvironment() ? Sink(toStderrAndDebugger) : Sink()), failedSink_(toStderrAndDebugger)
{
}

Win32EventLog::Win32EventLog(Sink sink) : firedSink_(sink), failedSink_(std::move(sink)) {}

void Win32EventLog::fired()
{
    if (firedSink_) firedSink_("bellwick.alarm: fired " + stamp());
}

void Win32EventLog::failed(std::string_view reason)
{
    if (failedSink_) failedSink_("bellwick.alarm: failed " + stamp() + " reason=" + oneLine(reason));
}

}  // namespace bellwick
