// The message box and the file-open dialog as the user meets them, under
// Wine on Xvfb: a helper thread finds the dialog, looks at it and answers.
#include "host_paths.h"
#include "sound_paths.h"
#include "win32/utf16.h"
#include "win32/win32_file_dialog.h"
#include "win32/win32_messages.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <thread>

namespace bellwick {
namespace {

using win32::toUtf16;

std::wstring textOf(HWND window)
{
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK visit(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<Search*>(search);
    if (IsWindowVisible(window) && textOf(window) == s->title) s->found = window;
    return s->found ? FALSE : TRUE;
}

// Runs answer on another thread with the visible window titled title of
// this thread, once it is there (null after about 20 s).
std::thread answerDialog(std::wstring title, std::function<void(HWND)> answer)
{
    const DWORD thread = GetCurrentThreadId();
    return std::thread([thread, title, answer] {
        Search search{title};
        for (int i = 0; i < 1000 && !search.found; ++i) {
            EnumThreadWindows(thread, visit, reinterpret_cast<LPARAM>(&search));
            if (!search.found) Sleep(20);
        }
        answer(search.found);
        if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);  // never left open
    });
}

// An ordinary, active window of this thread, to own the dialogs.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr) << "no display (run under xvfb-run)";
        SetActiveWindow(owner_);
    }
    void TearDown() override { DestroyWindow(owner_); }
    HWND owner_ = nullptr;
};

// --- message box ---

struct BoxCase {
    const char* name;
    int style;
    bool icon;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class MessageBoxShows : public Dialogs, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxShows, TextTitleIconAndOneOkButtonOwnedByTheActiveWindow)
{
    const std::string text = "The alarm time cannot be read: \xE2\x80\x9E"
                             "7 \xC3\xBChr\xE2\x80\x9C";
    HWND box = nullptr, owner = nullptr, icon = nullptr, cancel = nullptr;
    std::wstring shown, ok;
    std::thread helper = answerDialog(L"Bellwick \u00C4", [&](HWND found) {
        box = found;
        if (!found) return;
        owner = GetWindow(found, GW_OWNER);
        shown = textOf(GetDlgItem(found, 0xFFFF));
        ok = textOf(GetDlgItem(found, IDOK));
        cancel = GetDlgItem(found, IDCANCEL);
        HWND iconControl = GetDlgItem(found, 1088);
        if (iconControl && IsWindowVisible(iconControl))
            icon = reinterpret_cast<HWND>(SendMessageW(iconControl, STM_GETICON, 0, 0));
        PostMessageW(found, WM_COMMAND, IDOK, 0);
    });
    Win32Messages().show(text, "Bellwick \xC3\x84", GetParam().style);
    helper.join();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(owner, owner_);
    EXPECT_EQ(shown, toUtf16(text));
    EXPECT_EQ(ok, L"OK");
    EXPECT_EQ(cancel, nullptr);
    EXPECT_EQ(icon != nullptr, GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(Styles, MessageBoxShows,
                         ::testing::Values(BoxCase{"Critical", 16, true}, BoxCase{"OkOnly", 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- file-open dialog ---

const std::string kTone = testing_win32::hostPath(BELLWICK_TEST_SOUNDS) + "\\tone.wav";

// The dialog's file name box (an edit inside a ComboBoxEx).
HWND fileNameEdit(HWND dialog)
{
    HWND box = GetDlgItem(dialog, 1148);
    HWND edit = box ? FindWindowExW(box, nullptr, L"ComboBox", nullptr) : nullptr;
    edit = edit ? FindWindowExW(edit, nullptr, L"Edit", nullptr) : nullptr;
    if (!edit && box) edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    return edit ? edit : box;
}

TEST_F(Dialogs, ChoosingAFileKeepsItAndLeavesTheCurrentFolder)
{
    Win32FileDialog dialog;
    dialog.setTitle("Select sound to wake up to");
    dialog.setFilter("Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*");
    wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    HWND owner = nullptr, readOnly = nullptr;
    std::wstring type;
    std::thread helper = answerDialog(L"Select sound to wake up to", [&](HWND found) {
        if (!found) return;
        owner = GetWindow(found, GW_OWNER);
        readOnly = GetDlgItem(found, 1040);
        readOnly = readOnly && IsWindowVisible(readOnly) ? readOnly : nullptr;
        type = textOf(GetDlgItem(found, 1136));
        SendMessageW(fileNameEdit(found), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toUtf16(kTone).c_str()));
        PostMessageW(found, WM_COMMAND, IDOK, 0);
    });
    dialog.open();
    helper.join();
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(dialog.fileName(), kTone);
    EXPECT_EQ(dialog.lastError(), "");
    EXPECT_EQ(owner, owner_);
    EXPECT_EQ(readOnly, nullptr) << "read-only box shown";
    EXPECT_EQ(type, L"Sound Resources (*.wav;*.mp3;)");
    EXPECT_STREQ(after, before);
}

TEST_F(Dialogs, CancelKeepsTheLastChoiceAndTheDialogStartsWithIt)
{
    Win32FileDialog dialog;
    dialog.setTitle("Pick");
    std::thread choose = answerDialog(L"Pick", [&](HWND found) {
        if (!found) return;
        SendMessageW(fileNameEdit(found), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toUtf16(kTone).c_str()));
        PostMessageW(found, WM_COMMAND, IDOK, 0);
    });
    dialog.open();
    choose.join();
    ASSERT_EQ(dialog.fileName(), kTone);

    std::wstring offered;
    std::thread cancel = answerDialog(L"Pick", [&](HWND found) {
        if (!found) return;
        offered = textOf(fileNameEdit(found));
        PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.open();
    cancel.join();
    EXPECT_EQ(dialog.fileName(), kTone);
    EXPECT_EQ(dialog.lastError(), "");
    EXPECT_NE(offered.find(L"tone.wav"), std::wstring::npos) << "offered: " << win32::toUtf8(offered);
}

}  // namespace
}  // namespace bellwick
