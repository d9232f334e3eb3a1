// Win32Process ends the program at once with the status, output flushed.
#include "host_paths.h"
#include "process_paths.h"
#include "win32/utf16.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <string>

namespace bellwick {
namespace {

struct Ended {
    DWORD status = 0;
    std::string output;
};

Ended runChild(const std::string& argument)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION child{};
    std::wstring command =
        L"\"" + win32::toUtf16(testing_win32::hostPath(BELLWICK_PROCESS_CHILD)) + L"\" " + win32::toUtf16(argument);
    EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child));
    CloseHandle(writeEnd);
    Ended ended;
    char buffer[256];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
        ended.output.append(buffer, n);
    WaitForSingleObject(child.hProcess, INFINITE);
    GetExitCodeProcess(child.hProcess, &ended.status);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CloseHandle(readEnd);
    return ended;
}

TEST(Process, EndGivesTheStatusAndKeepsWhatWasWritten)
{
    for (const char* status : {"0", "3"}) {
        const Ended ended = runChild(status);
        EXPECT_EQ(ended.status, static_cast<DWORD>(std::stoul(status)));
        EXPECT_EQ(ended.output, "written before the end");
    }
}

}  // namespace
}  // namespace bellwick
