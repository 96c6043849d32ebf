#include "tests/support/test_output.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <system_error>

namespace carlume::test {

std::string SafeFileName(const std::string& name)
{
    std::string out = name;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '-' && c != '_' && c != '.') {
            c = '_';
        }
    }
    return out;
}

std::filesystem::path TestOutputFolder()
{
    const char* root = std::getenv("CARLUME_TEST_OUTPUT");
    std::filesystem::path folder = root != nullptr && *root != '\0'
                                       ? std::filesystem::path(root)
                                       : std::filesystem::temp_directory_path() / "carlume-test-output";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        folder /= SafeFileName(std::string(info->test_suite_name()) + "." + info->name());
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

} // namespace carlume::test
