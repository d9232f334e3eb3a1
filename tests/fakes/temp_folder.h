#pragma once
// A new, empty folder under the system's temporary folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace bellwick::testing_support {

inline std::filesystem::path makeTempFolder(const std::string& prefix)
{
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    const char* made = ::mkdtemp(tmpl.data());
    EXPECT_NE(made, nullptr) << "cannot make a folder in " << std::filesystem::temp_directory_path();
    return made ? std::filesystem::path(made) : std::filesystem::path();
}

}  // namespace bellwick::testing_support
