#pragma once

#include <filesystem>
#include <string>

namespace carlume::test {

/// The folder for the running test's files (pictures of failed image checks, printed PDFs):
/// $CARLUME_TEST_OUTPUT/<suite>.<test>; each test binary sets the variable to the output/ folder of its
/// build folder unless it is given. Created on first use.
std::filesystem::path TestOutputFolder();

/// A name that is safe as a file name: characters other than letters, digits, "-", "_" and "." become "_".
std::string SafeFileName(const std::string& name);

} // namespace carlume::test
