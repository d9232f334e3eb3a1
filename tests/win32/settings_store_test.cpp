// Win32SettingsStore on the registry of Wine's prefix. Every test works under
// a key of its own, HKCU\Software\<unique application>, removed afterwards.
#include "win32/utf16.h"
#include "win32/win32_settings_store.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace bellwick {
namespace {

using win32::toUtf16;

constexpr char kSection[] = "SoundFile";
constexpr char kKey[] = "Sound";
constexpr char kFallback[] = "File to play for alarm";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};

void PrintTo(const RawValue& v, std::ostream* os)
{
    *os << "type " << v.type << ", bytes";
    for (BYTE b : v.data)
        *os << ' ' << static_cast<int>(b);
}

RawValue wideValue(DWORD type, const std::wstring& text, std::size_t bytes)
{
    RawValue v{type, std::vector<BYTE>(bytes)};
    std::memcpy(v.data.data(), text.c_str(), std::min(bytes, (text.size() + 1) * sizeof(wchar_t)));
    return v;
}

RawValue bytes(DWORD type, std::vector<BYTE> data) { return RawValue{type, std::move(data)}; }

RawValue sz(const std::wstring& text) { return wideValue(REG_SZ, text, (text.size() + 1) * sizeof(wchar_t)); }

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        application_ = std::string("Bellwick test ") + std::to_string(GetCurrentProcessId()) + " " +
                       info->test_suite_name() + "." + info->name();
        for (char& c : application_)
            if (c == '/' || c == '\\') c = '_';
    }
    void TearDown() override
    {
        HKEY software = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software) == ERROR_SUCCESS) {
            RegDeleteTreeW(software, toUtf16(application_).c_str());
            RegCloseKey(software);
        }
    }

    std::wstring sectionPath() const { return toUtf16(Win32SettingsStore::keyPath(application_, kSection)); }

    void put(const RawValue& v)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        // A string's writer looks one character past the given size for a terminator it may add
        // itself; make that character defined and not a terminator, so the value stored is the bytes given.
        std::vector<BYTE> padded = v.data;
        padded.insert(padded.end(), 2, 0xFF);
        ASSERT_EQ(RegSetValueExW(key, L"Sound", 0, v.type, padded.data(), static_cast<DWORD>(v.data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // The value's raw bytes as the registry holds them; REG_NONE when absent.
    // RegGetValueW would mend a string without its terminator, hiding the bytes.
    RawValue stored() const
    {
        RawValue v;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return {};
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key, L"Sound", nullptr, &v.type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            v.data.resize(size);
            status = RegQueryValueExW(key, L"Sound", nullptr, &v.type, v.data.data(), &size);
            v.data.resize(size);
        }
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? v : RawValue{};
    }

    std::string application_;
    Win32SettingsStore store_;
};

// --- round trips ---

struct RoundTrip {
    const char* name;
    std::string value;
};

std::string longPath()
{
    std::string path = "C:\\";
    path.append(4096, 'n').append(".wav");
    return path;
}

void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class SettingsRoundTrip : public Settings, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SettingsRoundTrip, ReadsBackWhatWasSavedAsUtf16Text)
{
    const std::string& value = GetParam().value;
    store_.save(application_, kSection, kKey, value);
    EXPECT_EQ(store_.read(application_, kSection, kKey, kFallback), value);
    EXPECT_EQ(stored(), sz(toUtf16(value)));
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsRoundTrip,
                         ::testing::Values(RoundTrip{"PlainPath", "C:\\Sounds\\alarm.wav"},
                                           // Beyond the ANSI code page, and a pair of surrogates.
                                           RoundTrip{"NonAscii",
                                                     "C:\\M\xC3\xBCsik\\\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB5.mp3"},
                                           RoundTrip{"IniSyntax", "[SoundFile]\nSound=a;b ; c = d"},
                                           RoundTrip{"LineBreaks", "one\r\ntwo\nthree\r"}, RoundTrip{"Empty", ""},
                                           RoundTrip{"Blanks", "  C:\\a b.wav  "}, RoundTrip{"FourKiB", longPath()}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- reading what others wrote ---

struct Stored {
    const char* name;
    RawValue value;  // REG_NONE: no value at all
    std::string expected;
};

void PrintTo(const Stored& c, std::ostream* os) { *os << c.name; }

class SettingsRead : public Settings, public ::testing::WithParamInterface<Stored> {};

TEST_P(SettingsRead, GivesTheTextOrTheFallbackAndLeavesTheValue)
{
    const RawValue& v = GetParam().value;
    if (v.type != REG_NONE) put(v);
    EXPECT_EQ(store_.read(application_, kSection, kKey, kFallback), GetParam().expected);
    EXPECT_EQ(stored(), v);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsRead,
    ::testing::Values(Stored{"Absent", bytes(REG_NONE, {}), kFallback}, Stored{"EmptyString", sz(L""), ""},
                      Stored{"NoBytesAtAll", wideValue(REG_SZ, L"", 0), ""},
                      Stored{"WithoutTerminatingNul", wideValue(REG_SZ, L"C:\\a.wav", 16), "C:\\a.wav"},
                      Stored{"OddByteCount", wideValue(REG_SZ, L"C:\\a.wav", 17), "C:\\a.wav"},
                      Stored{"EndsAtFirstNul", wideValue(REG_SZ, std::wstring(L"C:\\a.wav\0junk", 13), 28),
                             "C:\\a.wav"},
                      Stored{"UnpairedSurrogate", sz(L"C:\\\xD800.wav"), "C:\\\xEF\xBF\xBD.wav"},
                      Stored{"Number", bytes(REG_DWORD, {1, 0, 0, 0}), kFallback},
                      Stored{"Binary", bytes(REG_BINARY, {'C', ':', '\\'}), kFallback},
                      Stored{"ExpandableString", wideValue(REG_EXPAND_SZ, L"%TEMP%\\a.wav", 26), kFallback},
                      Stored{"MultiString", wideValue(REG_MULTI_SZ, std::wstring(L"a\0b\0", 4), 10), kFallback}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Settings, KeyWithoutTheValueGivesTheFallback)
{
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(store_.read(application_, kSection, kKey, kFallback), kFallback);
}

// --- saves that cannot be made ---

struct BadSave {
    const char* name;
    std::string section;
    std::string value;
    std::string reason;  // a part of what()
};

void PrintTo(const BadSave& c, std::ostream* os) { *os << c.name; }

class SettingsBadSave : public Settings, public ::testing::WithParamInterface<BadSave> {};

TEST_P(SettingsBadSave, ThrowsWithTheReasonAndKeepsTheOldValue)
{
    store_.save(application_, kSection, kKey, "C:\\old.wav");
    try {
        store_.save(application_, GetParam().section, kKey, GetParam().value);
        FAIL() << "no SaveError";
    } catch (const SaveError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("HKEY_CURRENT_USER\\Software\\" + application_), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(store_.read(application_, kSection, kKey, kFallback), "C:\\old.wav");
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsBadSave,
                         ::testing::Values(BadSave{"InvalidUtf8", kSection, "C:\\\xFF\xFE.wav", "not valid UTF-8"},
                                           BadSave{"NulInside", kSection, std::string("C:\\a\0b.wav", 10), "NUL"},
                                           BadSave{"SectionOfTwoLevels", "Sound\\File", "C:\\new.wav", "backslash"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A key the system refuses to make gives the system's own words for it.
TEST_F(Settings, RefusedKeyGivesTheSystemsReason)
{
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, toUtf16("Software\\" + application_).c_str(), 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    try {
        store_.save(application_, kSection, kKey, "C:\\new.wav");
        FAIL() << "no SaveError";
    } catch (const SaveError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("(error 1021)"), std::string::npos) << what;
        EXPECT_NE(what.find("volatile"), std::string::npos) << what;
    }
    EXPECT_EQ(store_.read(application_, kSection, kKey, kFallback), kFallback);
}

}  // namespace
}  // namespace bellwick
