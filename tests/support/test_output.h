#pragma once

#include <filesystem>
#include <string>

namespace carlume::test {

/// The folder for the running test's files (pictures of failed image checks, printed PDFs):
/// $CARLUME_TEST_OUTPUT/<suite>.<test>, or below the temporary folder when the variable is not set.
/// Created on first use.
std::filesystem::path TestOutputFolder();

/// A name that is safe as a file name: characters other than letters, digits, "-", "_" and "." become "_".
std::string SafeFileName(const std::string& name);

} // namespace carlume::test
