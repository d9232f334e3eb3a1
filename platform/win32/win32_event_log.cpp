#include "win32/win32_event_log.h"

#include "text/event_line.h"
#include "win32/utf16.h"
#include "win32/win_api.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace bellwick {

namespace {

// Milliseconds since 1970-01-01T00:00Z.
std::int64_t nowEpochMs()
{
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const ULONGLONG ticks = (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;  // 100 ns since 1601
    return static_cast<std::int64_t>(ticks / 10000) - 11644473600000LL;
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
    if (firedSink_) firedSink_("bellwick.alarm: " + firedLine(nowEpochMs()));
}

void Win32EventLog::failed(std::string_view reason)
{
    if (failedSink_) failedSink_("bellwick.alarm: " + failedLine(nowEpochMs(), reason));
}

}  // namespace bellwick
